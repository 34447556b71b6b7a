#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Splits an XLS stream into its records, so tests compare records instead of raw offsets.
struct XlsRecord {
    std::uint16_t number = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const XlsRecord&) const = default;
};

inline std::vector<XlsRecord> splitRecords(const std::vector<std::uint8_t>& bytes, bool* complete = nullptr)
{
    std::vector<XlsRecord> out;
    std::size_t i = 0;
    while (i + 4 <= bytes.size()) {
        const std::uint16_t number = std::uint16_t(bytes[i] | (bytes[i + 1] << 8));
        const std::size_t length = std::size_t(bytes[i + 2] | (bytes[i + 3] << 8));
        if (i + 4 + length > bytes.size())
            break;
        out.push_back({ number,
            std::vector<std::uint8_t>(bytes.begin() + long(i) + 4, bytes.begin() + long(i + 4 + length)) });
        i += 4 + length;
    }
    if (complete)
        *complete = i == bytes.size();
    return out;
}

inline std::vector<std::uint16_t> recordNumbers(const std::vector<XlsRecord>& records)
{
    std::vector<std::uint16_t> n;
    for (const auto& r : records)
        n.push_back(r.number);
    return n;
}

// Builders of record data, little-endian like the file.
inline void add16(std::vector<std::uint8_t>& v, unsigned x)
{
    v.push_back(std::uint8_t(x & 0xFF));
    v.push_back(std::uint8_t((x >> 8) & 0xFF));
}

inline void addText(std::vector<std::uint8_t>& v, const std::string& s)
{
    v.push_back(std::uint8_t(s.size()));
    v.insert(v.end(), s.begin(), s.end());
}

inline std::vector<std::uint8_t> cellHead(
    int row0, int col0, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3)
{
    std::vector<std::uint8_t> v;
    add16(v, unsigned(row0));
    add16(v, unsigned(col0));
    v.push_back(a1);
    v.push_back(a2);
    v.push_back(a3);
    return v;
}

inline XlsRecord labelRecord(
    int row0, int col0, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3, const std::string& text)
{
    auto v = cellHead(row0, col0, a1, a2, a3);
    addText(v, text);
    return { 0x0004, v };
}

inline XlsRecord integerRecord(
    int row0, int col0, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3, unsigned value)
{
    auto v = cellHead(row0, col0, a1, a2, a3);
    add16(v, value);
    return { 0x0002, v };
}

inline XlsRecord fontRecord(unsigned height, unsigned attributes, const std::string& name)
{
    std::vector<std::uint8_t> v;
    add16(v, height);
    add16(v, attributes);
    addText(v, name);
    return { 0x0031, v };
}

inline double numberValue(const XlsRecord& r)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t(r.data.at(std::size_t(7 + i))) << (8 * i);
    double d;
    static_assert(sizeof d == sizeof bits);
    __builtin_memcpy(&d, &bits, sizeof d);
    return d;
}

inline const XlsRecord kBof { 0x0809, { 0x00, 0x02, 0x10, 0x00, 0x00, 0x00 } };
inline const XlsRecord kDimensions { 0x0200, { 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00 } };
inline const XlsRecord kEof { 0x000A, {} };
