#include "tabulon/Workbook.h"

#include <algorithm>
#include <charconv>

namespace tabulon {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool sameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

template <typename F> void forEachWord(std::string_view text, std::string_view separators, F f)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find_first_of(separators, start);
        const std::string_view word
            = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        f(word);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
}

// Largest size whose height in twentieths of a point still fits the record's 16 bits.
constexpr int kMaxFontSize = 0xFFFF / 20;

}

CellOptions ParseCellOptions(std::string_view text)
{
    CellOptions o;
    bool left = false, right = false, fill = false, center = false;
    forEachWord(text, ", \t", [&](std::string_view w) {
        if (sameText(w, "BORDERLEFT"))
            o.borders |= ebLeft;
        else if (sameText(w, "BORDERRIGHT"))
            o.borders |= ebRight;
        else if (sameText(w, "BORDERTOP"))
            o.borders |= ebTop;
        else if (sameText(w, "BORDERBOTTOM"))
            o.borders |= ebBottom;
        else if (sameText(w, "SHADED"))
            o.shaded = true;
        else if (sameText(w, "ALIGNLEFT"))
            left = true;
        else if (sameText(w, "ALIGNRIGHT"))
            right = true;
        else if (sameText(w, "ALIGNFILL"))
            fill = true;
        else if (sameText(w, "ALIGNCENTER"))
            center = true;
    });
    o.alignment = left ? TExcelAlignment::eaLeft
        : right        ? TExcelAlignment::eaRight
        : fill         ? TExcelAlignment::eaFill
        : center       ? TExcelAlignment::eaCenter
                       : TExcelAlignment::eaGeneral;
    return o;
}

FontDesc ParseFontText(std::string_view text)
{
    FontDesc f;
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return f;
    f.name = std::string(text.substr(0, comma));
    bool first = true;
    forEachWord(text.substr(comma + 1), ",", [&](std::string_view raw) {
        const std::string_view w = trimmed(raw);
        if (first) {
            first = false;
            int size = 0;
            const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), size);
            if (ec == std::errc() && end == w.data() + w.size() && size >= 1 && size <= kMaxFontSize)
                f.size = size;
            return;
        }
        if (sameText(w, "BOLD"))
            f.bold = true;
        else if (sameText(w, "ITALIC"))
            f.italic = true;
        else if (sameText(w, "UNDERLINE"))
            f.underline = true;
    });
    return f;
}

XlsWorkbook::XlsWorkbook(std::string_view path)
    : m_fonts { std::string() }
{
    m_writer.SetFileName(path);
    m_writer.BeginWorksheet();
    m_writer.AddFont(FontDesc { "MS Sans Serif", 8 });
}

void XlsWorkbook::selectFont(std::string_view font)
{
    if (m_lastFontNumber >= 0 && font == m_lastFont) {
        m_writer.SetActiveFont(m_lastFontNumber);
        return;
    }
    m_lastFont.assign(font);
    const auto found = std::find_if(
        m_fonts.begin(), m_fonts.end(), [&](const std::string& known) { return sameText(known, font); });
    if (found != m_fonts.end()) {
        m_lastFontNumber = int(found - m_fonts.begin());
    } else if (m_fonts.size() < std::size_t(TNativeExcel::kMaxFonts)) {
        m_fonts.emplace_back(font);
        m_writer.AddFont(ParseFontText(font));
        m_lastFontNumber = int(m_fonts.size() - 1);
    } else {
        m_lastFontNumber = 0;
    }
    m_writer.SetActiveFont(m_lastFontNumber);
}

void XlsWorkbook::prepareCell(std::string_view options, std::string_view font)
{
    if (!m_haveLastOptions || options != m_lastOptions) {
        m_lastOptions.assign(options);
        m_lastParsed = ParseCellOptions(options);
        m_haveLastOptions = true;
    }
    const CellOptions& o = m_lastParsed;
    m_writer.Borders = o.borders;
    m_writer.Shading = o.shaded;
    m_writer.Alignment = o.alignment;
    selectFont(font);
}

void XlsWorkbook::AddStringCell(
    int row, int column, std::string_view options, std::string_view font, std::string_view text)
{
    prepareCell(options, font);
    m_writer.WriteLabel(row, column, text);
}

void XlsWorkbook::AddDoubleCell(
    int row, int column, std::string_view options, std::string_view font, double value)
{
    prepareCell(options, font);
    m_writer.WriteNumber(row, column, value);
}

void XlsWorkbook::AddIntegerCell(
    int row, int column, std::string_view options, std::string_view font, std::int32_t value)
{
    prepareCell(options, font);
    // The INTEGER record holds only 0..65535; other values (24-bit colours, negatives) go into a
    // NUMBER record, which holds every 32-bit integer exactly.
    if (value >= 0 && value <= 0xFFFF)
        m_writer.WriteInteger(row, column, std::uint16_t(value));
    else
        m_writer.WriteNumber(row, column, double(value));
}

bool XlsWorkbook::SaveToFile(std::string_view path)
{
    m_writer.SetFileName(path);
    m_writer.Close();
    return m_writer.SaveToFile();
}

bool XlsWorkbook::Save()
{
    m_writer.Close();
    return m_writer.SaveToFile();
}

}
