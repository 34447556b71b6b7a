#include "tabulon/NativeExcel.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon {

namespace {

enum : std::uint16_t {
    kBof5 = 0x0809,
    kBof2 = 0x0009,
    kBof3 = 0x0209,
    kBof4 = 0x0409,
    kDimensions = 0x0200,
    kDimensions2 = 0x0000,
    kFont = 0x0031,
    kInteger = 0x0002,
    kNumber = 0x0003,
    kLabel = 0x0004,
    kColWidth = 0x0024,
    kHeader = 0x0014,
    kFooter = 0x0015,
    kLeftMargin = 0x0026,
    kRightMargin = 0x0027,
    kTopMargin = 0x0028,
    kBottomMargin = 0x0029,
    kProtect = 0x0012,
    kEof = 0x000A,
};

std::uint8_t alignmentBits(TExcelAlignment a)
{
    switch (a) {
    case TExcelAlignment::eaGeneral:
        return 0;
    case TExcelAlignment::eaLeft:
        return 1;
    case TExcelAlignment::eaCenter:
        return 2;
    case TExcelAlignment::eaRight:
        return 3;
    case TExcelAlignment::eaFill:
        return 4;
    case TExcelAlignment::eaMultiPlan:
        return 7;
    }
    return 0;
}

std::uint8_t* store16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v & 0xFF);
    p[1] = std::uint8_t(v >> 8);
    return p + 2;
}

std::uint8_t* storeDouble(std::uint8_t* p, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[i] = std::uint8_t(bits >> (8 * i));
    return p + 8;
}

std::uint8_t* storeText(std::uint8_t* p, std::string_view text)
{
    *p++ = std::uint8_t(text.size());
    if (!text.empty())
        std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

std::string_view cut(std::string_view text)
{
    return text.substr(0, std::min(text.size(), TNativeExcel::kMaxText));
}

}

std::uint8_t* ChunkBuffer::append(std::size_t n)
{
    while (m_current < m_chunks.size() && m_chunks[m_current].used + n > kChunkSize)
        ++m_current;
    if (m_current == m_chunks.size())
        m_chunks.push_back(Chunk { std::unique_ptr<std::uint8_t[]>(new std::uint8_t[kChunkSize]), 0 });
    Chunk& c = m_chunks[m_current];
    std::uint8_t* p = c.data.get() + c.used;
    c.used += n;
    m_size += n;
    return p;
}

void ChunkBuffer::clear()
{
    for (Chunk& c : m_chunks)
        c.used = 0;
    m_current = 0;
    m_size = 0;
}

std::vector<std::pair<const std::uint8_t*, std::size_t>> ChunkBuffer::pieces() const
{
    std::vector<std::pair<const std::uint8_t*, std::size_t>> out;
    for (const Chunk& c : m_chunks)
        if (c.used)
            out.emplace_back(c.data.get(), c.used);
    return out;
}

std::vector<std::uint8_t> ChunkBuffer::toVector() const
{
    std::vector<std::uint8_t> out;
    out.reserve(m_size);
    for (const auto& [data, size] : pieces())
        out.insert(out.end(), data, data + size);
    return out;
}

TNativeExcel::TNativeExcel()
{
    BeginWorksheet();
}

std::string TNativeExcel::ForceXlsExtension(std::string_view name)
{
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    const bool hasExtension
        = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    std::string_view stem = hasExtension ? name.substr(0, dot) : name;
    if (hasExtension) {
        const std::string_view ext = name.substr(dot);
        if (ext.size() == 4 && (ext[1] | 0x20) == 'x' && (ext[2] | 0x20) == 'l' && (ext[3] | 0x20) == 's')
            return std::string(name);
    }
    std::string result(stem);
    result += ".XLS";
    return result;
}

void TNativeExcel::SetFileName(std::string_view name)
{
    if (name != m_fileName)
        m_fileName = ForceXlsExtension(name);
}

void TNativeExcel::SetRow(int row)
{
    if (row >= 1 && row <= kMaxRow)
        m_row = row;
}

void TNativeExcel::SetColumn(int column)
{
    if (column >= 1 && column <= kMaxColumn)
        m_column = column;
}

void TNativeExcel::SetActiveFont(int font)
{
    if (font >= 0 && font <= m_fontCount)
        m_activeFont = font;
}

void TNativeExcel::BeginWorksheet()
{
    m_buffer.clear();
    m_fontCount = 0;
    m_open = true;
    const bool biff2 = BIFF == TBIFFVersion::bvBIFF2;
    static constexpr std::uint16_t bofNumbers[] = { kBof2, kBof3, kBof4, kBof5 };
    std::uint8_t* p = m_buffer.append(biff2 ? 8 : 10);
    p = store16(p, bofNumbers[int(BIFF)]);
    p = store16(p, biff2 ? 4 : 6);
    p = store16(p, 0x0200);
    p = store16(p, 0x0010);
    if (!biff2)
        store16(p, 0);
    p = m_buffer.append(biff2 ? 12 : 14);
    p = store16(p, biff2 ? kDimensions2 : kDimensions);
    p = store16(p, biff2 ? 8 : 10);
    p = store16(p, 0);
    p = store16(p, 0xFFFF);
    p = store16(p, 0);
    p = store16(p, 0x0100);
    if (!biff2)
        store16(p, 0);
}

std::uint8_t* TNativeExcel::beginRecord(std::uint16_t number, std::uint16_t length)
{
    // A record written after EOF starts a fresh worksheet rather than trailing the closed one.
    if (!m_open)
        BeginWorksheet();
    std::uint8_t* p = m_buffer.append(4 + std::size_t(length));
    p = store16(p, number);
    return store16(p, length);
}

bool TNativeExcel::AddFont(const FontDesc& font)
{
    if (m_open && m_fontCount >= kMaxFonts)
        return false;
    const std::string_view name = cut(font.name);
    std::uint8_t* p = beginRecord(kFont, std::uint16_t(5 + name.size()));
    p = store16(p, std::uint16_t(font.size * 20));
    p = store16(p,
        std::uint16_t((font.bold ? 0x1 : 0) | (font.italic ? 0x2 : 0) | (font.underline ? 0x4 : 0)
            | (font.strikeOut ? 0x8 : 0)));
    storeText(p, name);
    ++m_fontCount;
    return true;
}

std::uint8_t* TNativeExcel::beginCell(std::uint16_t number, std::uint16_t length, int row, int column)
{
    SetRow(row);
    SetColumn(column);
    std::uint8_t* p = beginRecord(number, length);
    p = store16(p, std::uint16_t(m_row - 1));
    p = store16(p, std::uint16_t(m_column - 1));
    *p++ = std::uint8_t((Locked ? 0x40 : 0) | (Hidden ? 0x80 : 0));
    *p++ = std::uint8_t((m_activeFont & 0x3) << 6);
    std::uint8_t format = alignmentBits(Alignment);
    if (Borders & ebLeft)
        format |= 0x08;
    if (Borders & ebRight)
        format |= 0x10;
    if (Borders & ebTop)
        format |= 0x20;
    if (Borders & ebBottom)
        format |= 0x40;
    if (Shading)
        format |= 0x80;
    *p++ = format;
    return p;
}

void TNativeExcel::moveAfterCell()
{
    switch (MoveAfterEnter) {
    case TMoveAfterEnter::maNone:
        break;
    case TMoveAfterEnter::maRight:
        if (m_column < kMaxColumn)
            ++m_column;
        else if (m_row < kMaxRow) {
            m_column = 1;
            ++m_row;
        }
        break;
    case TMoveAfterEnter::maLeft:
        if (m_column > 1)
            --m_column;
        break;
    case TMoveAfterEnter::maDown:
        if (m_row < kMaxRow)
            ++m_row;
        break;
    case TMoveAfterEnter::maUp:
        if (m_row > 1)
            --m_row;
        break;
    }
}

void TNativeExcel::WriteInteger(int row, int column, std::uint16_t value)
{
    store16(beginCell(kInteger, 9, row, column), value);
    moveAfterCell();
}

void TNativeExcel::WriteNumber(int row, int column, double value)
{
    storeDouble(beginCell(kNumber, 15, row, column), value);
    moveAfterCell();
}

void TNativeExcel::WriteLabel(int row, int column, std::string_view text)
{
    text = cut(text);
    storeText(beginCell(kLabel, std::uint16_t(8 + text.size()), row, column), text);
    moveAfterCell();
}

void TNativeExcel::SetColumnsWidth(int firstColumn, int lastColumn, int width)
{
    std::uint8_t* p = beginRecord(kColWidth, 4);
    *p++ = std::uint8_t(firstColumn - 1);
    *p++ = std::uint8_t(lastColumn - 1);
    store16(p, std::uint16_t(width * 256));
}

void TNativeExcel::writeText(std::uint16_t number, std::string_view text)
{
    text = cut(text);
    storeText(beginRecord(number, std::uint16_t(1 + text.size())), text);
}

void TNativeExcel::WriteHeader(std::string_view text)
{
    writeText(kHeader, text);
}

void TNativeExcel::WriteFooter(std::string_view text)
{
    writeText(kFooter, text);
}

void TNativeExcel::WriteMargin(TMargin margin, double inches)
{
    static constexpr std::uint16_t numbers[] = { kLeftMargin, kRightMargin, kTopMargin, kBottomMargin };
    storeDouble(beginRecord(numbers[int(margin)], 8), inches);
}

void TNativeExcel::WriteProtect(bool on)
{
    store16(beginRecord(kProtect, 2), on ? 1 : 0);
}

void TNativeExcel::Close()
{
    beginRecord(kEof, 0);
    m_open = false;
}

bool TNativeExcel::SaveToFile() const
{
    return WriteFileAtomically(m_fileName, m_buffer.pieces());
}

bool WriteFileAtomically(
    const std::string& path, const std::vector<std::pair<const std::uint8_t*, std::size_t>>& pieces)
{
    static std::atomic<unsigned> counter { 0 };
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat existing { };
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return false;
    }
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".~tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    auto fail = [&]() {
        const int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    };
    if (replacing && ::fchmod(fd, existing.st_mode & 07777) != 0)
        return fail();
    for (const auto& [data, size] : pieces) {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd, data + done, size - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fail();
            }
            done += std::size_t(n);
        }
    }
    if (::fdatasync(fd) != 0)
        return fail();
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    return true;
}

}
