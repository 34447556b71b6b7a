#include "storage/TableFile.h"

#include "storage/FieldConvert.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace contivo {
namespace {
enum Tag : unsigned char {
    kNull = 0x00,
    kList = 0x01,
    kInt8 = 0x02,
    kInt16 = 0x03,
    kInt32 = 0x04,
    kExtended = 0x05,
    kString = 0x06,
    kFalse = 0x08,
    kTrue = 0x09,
    kLString = 0x0C,
};

constexpr char kSignature[4] = { 'T', 'P', 'F', '0' };

[[noreturn]] void fail(const char* message)
{
    throw DatabaseError(QString::fromLatin1(message));
}

bool isDateType(FieldType t)
{
    return t == FieldType::Date || t == FieldType::Time || t == FieldType::DateTime;
}

// Reads tagged values from a byte range; every read checks the remaining length first, so a
// length field can never make it allocate more than the input holds.
class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : m_p(reinterpret_cast<const unsigned char*>(bytes.constData()))
        , m_end(m_p + bytes.size())
    {
    }

    void need(qint64 n) const
    {
        if (m_end - m_p < n)
            fail("Stream read error");
    }
    unsigned char peek() const
    {
        need(1);
        return *m_p;
    }
    unsigned char byte()
    {
        need(1);
        return *m_p++;
    }
    const unsigned char* take(qint64 n)
    {
        need(n);
        const unsigned char* p = m_p;
        m_p += n;
        return p;
    }
    qint64 integerPayload(unsigned char tag)
    {
        switch (tag) {
        case kInt8:
            return static_cast<qint8>(byte());
        case kInt16: {
            const unsigned char* p = take(2);
            return static_cast<qint16>(static_cast<quint16>(p[0] | (p[1] << 8)));
        }
        case kInt32: {
            const unsigned char* p = take(4);
            return static_cast<qint32>(static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8)
                | (static_cast<quint32>(p[2]) << 16) | (static_cast<quint32>(p[3]) << 24));
        }
        default:
            fail("Invalid property value");
        }
    }
    qint64 integer() { return integerPayload(byte()); }
    QString string()
    {
        const unsigned char tag = byte();
        qint64 length = 0;
        if (tag == kString) {
            length = byte();
        } else if (tag == kLString) {
            const unsigned char* p = take(4);
            length = static_cast<qint64>(static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8)
                | (static_cast<quint32>(p[2]) << 16) | (static_cast<quint32>(p[3]) << 24));
        } else {
            fail("Invalid property value");
        }
        const unsigned char* text = take(length);
        return cp1252::decode(reinterpret_cast<const char*>(text), length);
    }
    double floating()
    {
        const unsigned char tag = byte();
        if (tag == kExtended)
            return extendedToDouble(take(10));
        return static_cast<double>(integerPayload(tag));
    }
    // Any byte other than "true" reads as false and only that byte is consumed.
    bool boolean() { return byte() == kTrue; }
    bool endOfList() const { return peek() == kNull; }
    void listBegin()
    {
        if (byte() != kList)
            fail("Invalid property value");
    }
    void listEnd()
    {
        if (byte() != kNull)
            fail("Invalid property value");
    }

private:
    const unsigned char* m_p;
    const unsigned char* m_end;
};

class Writer {
public:
    explicit Writer(qsizetype reserve) { m_out.reserve(reserve); }

    void raw(const char* data, qsizetype n) { m_out.append(data, n); }
    void byte(unsigned char b) { m_out.append(static_cast<char>(b)); }
    void integer(qint64 v)
    {
        if (v >= -128 && v <= 127) {
            const char b[2] = { char(kInt8), char(static_cast<qint8>(v)) };
            raw(b, 2);
        } else if (v >= -32768 && v <= 32767) {
            const auto u = static_cast<quint16>(static_cast<qint16>(v));
            const char b[3] = { char(kInt16), char(u & 0xFF), char(u >> 8) };
            raw(b, 3);
        } else {
            if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
                throw DatabaseError(QStringLiteral("%1 is not a valid integer value").arg(v));
            const auto u = static_cast<quint32>(static_cast<qint32>(v));
            const char b[5] = { char(kInt32), char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF),
                char(u >> 24) };
            raw(b, 5);
        }
    }
    void string(const QString& text)
    {
        const QByteArray bytes = cp1252::encode(text);
        const auto n = static_cast<quint32>(bytes.size());
        if (n <= 255) {
            const char b[2] = { char(kString), char(n) };
            raw(b, 2);
        } else {
            const char b[5] = { char(kLString), char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF),
                char(n >> 24) };
            raw(b, 5);
        }
        m_out.append(bytes);
    }
    void floating(double v)
    {
        byte(kExtended);
        const auto ext = doubleToExtended(v);
        raw(reinterpret_cast<const char*>(ext.data()), 10);
    }
    void boolean(bool v) { byte(v ? kTrue : kFalse); }
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_out;
};

FieldValue readValue(Reader& in, const FieldDef& def)
{
    switch (storageOf(def.type)) {
    case ValueStorage::Integer:
        return FieldValue::fromInteger(in.integer());
    case ValueStorage::Boolean:
        return FieldValue::fromBoolean(in.boolean());
    case ValueStorage::Double: {
        const double v = in.floating();
        if (isDateType(def.type) && v == 0.0)
            return {};
        return FieldValue::fromDouble(v);
    }
    case ValueStorage::Text: {
        QString text = in.string();
        if (def.type == FieldType::String && def.size >= 0 && text.size() > def.size)
            text.truncate(def.size);
        return FieldValue::fromText(std::move(text));
    }
    }
    return {};
}

void readValues(Reader& in, int version, const std::vector<FieldDef>& fields, std::vector<FieldValue>& values)
{
    values.clear();
    values.reserve(fields.size());
    for (const FieldDef& def : fields) {
        if (version >= 249 && in.boolean()) {
            values.emplace_back();
            continue;
        }
        values.push_back(readValue(in, def));
    }
}

void writeValue(Writer& out, const FieldValue& v, FieldType type)
{
    switch (storageOf(type)) {
    case ValueStorage::Integer:
        out.integer(v.integer());
        break;
    case ValueStorage::Boolean:
        out.boolean(v.boolean());
        break;
    case ValueStorage::Double:
        out.floating(v.number());
        break;
    case ValueStorage::Text:
        out.string(v.text());
        break;
    }
}

bool savedKind(FieldKind kind)
{
    return kind == FieldKind::Data || kind == FieldKind::InternalCalc;
}

void writeHeader(Writer& out, const std::vector<FieldDef>& fields, const std::vector<IndexDef>& indexes)
{
    out.raw(kSignature, 4);
    out.integer(TableFileFormat::kVersion);
    out.byte(kList);
    for (const FieldDef& f : fields) {
        out.string(f.name);
        out.string(fieldTypeName(f.type));
        out.integer(f.size);
        out.string(f.effectiveDisplayLabel());
        out.string(f.editMask);
        out.integer(f.effectiveDisplayWidth());
        out.boolean(f.required);
        out.boolean(f.readOnly);
        out.string(fieldKindName(f.kind));
        out.string(QString());
    }
    out.byte(kNull);
    out.byte(kList);
    for (const IndexDef& i : indexes) {
        out.string(i.name);
        out.string(i.fields);
        out.string(i.name);
        out.boolean(i.options.descending);
        out.boolean(i.options.caseInsensitive);
        out.boolean(false);
        out.boolean(i.options.unique);
    }
    out.byte(kNull);
    out.byte(kList);
}

void writeRow(Writer& out, const std::vector<FieldValue>& values, const std::vector<int>& saved,
    const std::vector<FieldDef>& fields)
{
    out.byte(kList);
    out.integer(0);
    for (int i : saved) {
        const FieldValue& v = values[static_cast<size_t>(i)];
        out.boolean(v.isNull());
        if (!v.isNull())
            writeValue(out, v, fields[static_cast<size_t>(i)].type);
    }
    out.byte(kNull);
}
}

std::array<unsigned char, 10> doubleToExtended(double value)
{
    const auto bits = std::bit_cast<quint64>(value);
    const quint64 sign = bits >> 63;
    const int exp = static_cast<int>((bits >> 52) & 0x7FF);
    const quint64 frac = bits & ((quint64(1) << 52) - 1);
    quint64 mantissa = 0;
    int e = 0;
    if (exp == 0x7FF) {
        e = 0x7FFF;
        mantissa = (quint64(1) << 63) | (frac << 11);
    } else if (exp == 0) {
        if (frac != 0) {
            // Subnormal double: normal in the wider exponent range.
            const int msb = 63 - std::countl_zero(frac);
            mantissa = frac << (63 - msb);
            e = 15309 + msb;
        }
    } else {
        e = exp - 1023 + 16383;
        mantissa = (quint64(1) << 63) | (frac << 11);
    }
    std::array<unsigned char, 10> out {};
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<unsigned char>(mantissa >> (8 * i));
    const auto se = static_cast<quint16>((sign << 15) | static_cast<quint64>(e));
    out[8] = static_cast<unsigned char>(se & 0xFF);
    out[9] = static_cast<unsigned char>(se >> 8);
    return out;
}

double extendedToDouble(const unsigned char* bytes)
{
    quint64 m = 0;
    for (int i = 0; i < 8; ++i)
        m |= quint64(bytes[i]) << (8 * i);
    const unsigned se = bytes[8] | (unsigned(bytes[9]) << 8);
    const quint64 sign = quint64(se >> 15) << 63;
    const int e = static_cast<int>(se & 0x7FFF);
    const quint64 inf = quint64(0x7FF) << 52;
    if (e == 0x7FFF) {
        if ((m & ~(quint64(1) << 63)) == 0)
            return std::bit_cast<double>(sign | inf);
        quint64 frac = (m >> 11) & ((quint64(1) << 52) - 1);
        if (frac == 0)
            frac = quint64(1) << 51;
        return std::bit_cast<double>(sign | inf | frac);
    }
    if (m == 0)
        return std::bit_cast<double>(sign);
    // value = m * 2^(e' - 16383 - 63), with e' = 1 for the wider format's denormals.
    const int lz = std::countl_zero(m);
    m <<= lz;
    const int exp2 = (e == 0 ? 1 : e) - 16383 - lz;
    int be = exp2 + 1023;
    if (be >= 0x7FF)
        return std::bit_cast<double>(sign | inf);
    quint64 mant = 0;
    if (be >= 1) {
        mant = m >> 11;
        const quint64 rem = m & 0x7FF;
        if (rem > 0x400 || (rem == 0x400 && (mant & 1)))
            ++mant;
        if (mant == (quint64(1) << 53)) {
            mant >>= 1;
            if (++be >= 0x7FF)
                return std::bit_cast<double>(sign | inf);
        }
        return std::bit_cast<double>(sign | (quint64(be) << 52) | (mant & ((quint64(1) << 52) - 1)));
    }
    const int shift = 11 + (1 - be);
    if (shift > 64)
        return std::bit_cast<double>(sign);
    quint64 rem = 0;
    quint64 half = 0;
    if (shift == 64) {
        mant = 0;
        rem = m;
        half = quint64(1) << 63;
    } else {
        mant = m >> shift;
        rem = m & ((quint64(1) << shift) - 1);
        half = quint64(1) << (shift - 1);
    }
    if (rem > half || (rem == half && (mant & 1)))
        ++mant;
    // A carry into bit 52 yields the smallest normal number, which the same bits encode.
    return std::bit_cast<double>(sign | mant);
}

TableFileContent TableFileFormat::Parse(const QByteArray& bytes, const std::vector<FieldDef>& fallbackFields)
{
    Reader in(bytes);
    in.need(4);
    if (std::memcmp(in.take(4), kSignature, 4) != 0)
        fail("Invalid stream format");
    TableFileContent content;
    content.version = in.peek() == kList ? 100 : static_cast<int>(in.integer());
    const int version = content.version;

    in.listBegin();
    while (!in.endOfList()) {
        FieldDef f;
        f.name = in.string();
        const QString typeName = in.string();
        f.size = static_cast<int>(in.integer());
        f.displayLabel = in.string();
        f.editMask = in.string();
        f.displayWidth = static_cast<int>(in.integer());
        f.required = in.boolean();
        f.readOnly = in.boolean();
        if (version >= 250)
            f.kind = fieldKindFromName(in.string());
        if (version >= 251)
            in.string();
        FieldType type = FieldType::Unknown;
        if (!fieldTypeFromName(typeName, type) || type < FieldType::String || type > FieldType::TypedBinary)
            throw DatabaseError(QStringLiteral("Unknown field type (%1)").arg(typeName));
        f.type = type;
        content.fields.push_back(std::move(f));
    }
    in.listEnd();
    if (content.fields.empty()) {
        content.fields = fallbackFields;
        content.fieldsFromFile = false;
    }

    content.indexesFromFile = false;
    if (version >= 200) {
        in.listBegin();
        while (!in.endOfList()) {
            IndexDef i;
            i.name = in.string();
            i.fields = in.string();
            in.string();
            i.options.descending = in.boolean();
            i.options.caseInsensitive = in.boolean();
            in.boolean();
            i.options.unique = in.boolean();
            content.indexes.push_back(std::move(i));
        }
        in.listEnd();
        content.indexesFromFile = !content.indexes.empty();
    }

    if (content.fields.empty())
        fail("Couldnt determine field count for load.");

    in.listBegin();
    std::vector<FieldValue> discarded;
    while (!in.endOfList()) {
        RowData row;
        if (version >= 230) {
            in.listBegin();
            row.changeState = static_cast<int>(in.integer());
            readValues(in, version, content.fields, row.values);
            // Older versions of the same row: read and dropped, the first one is the row.
            while (!in.endOfList()) {
                in.integer();
                readValues(in, version, content.fields, discarded);
            }
            in.listEnd();
        } else {
            readValues(in, version, content.fields, row.values);
        }
        content.rows.push_back(std::move(row));
    }
    in.listEnd();
    return content;
}

QByteArray TableFileFormat::Serialize(const TableFileContent& content)
{
    std::vector<FieldDef> fields;
    std::vector<int> saved;
    for (size_t i = 0; i < content.fields.size(); ++i) {
        if (savedKind(content.fields[i].kind)) {
            saved.push_back(static_cast<int>(i));
            fields.push_back(content.fields[i]);
        }
    }
    Writer out(
        256 + static_cast<qsizetype>(content.rows.size()) * static_cast<qsizetype>(16 + 12 * saved.size()));
    writeHeader(out, fields, content.indexes);
    for (const RowData& row : content.rows)
        writeRow(out, row.values, saved, content.fields);
    out.byte(kNull);
    return out.take();
}

QByteArray TableFileFormat::Serialize(const RecordTable& table)
{
    if (!table.Active())
        throw DatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const std::vector<FieldDef> all = table.FieldDefs();
    std::vector<FieldDef> fields;
    std::vector<int> saved;
    for (size_t i = 0; i < all.size(); ++i) {
        if (savedKind(all[i].kind)) {
            saved.push_back(static_cast<int>(i));
            fields.push_back(all[i]);
        }
    }
    Writer out(
        256 + static_cast<qsizetype>(table.TotalRowCount()) * static_cast<qsizetype>(16 + 12 * saved.size()));
    writeHeader(out, fields, table.IndexDefs());
    table.ForEachRowInOrder([&](const RowData& row) { writeRow(out, row.values, saved, all); });
    out.byte(kNull);
    return out.take();
}

void TableFileFormat::Deserialize(const QByteArray& bytes, RecordTable& table)
{
    TableFileContent content = Parse(bytes, table.FieldDefs());
    std::vector<IndexDef> indexes = content.indexesFromFile ? std::move(content.indexes) : table.IndexDefs();
    table.ReplaceContent(std::move(content.fields), std::move(indexes), std::move(content.rows));
}

void TableFileFormat::Save(const RecordTable& table, const QString& fileName) const
{
    const QByteArray bytes = Serialize(table);
    writeFileAtomically(fileName, bytes);
}

void TableFileFormat::Load(RecordTable& table, const QString& fileName) const
{
    Deserialize(readWholeFile(fileName), table);
}

}
