#pragma once

#include "tabulon/NativeExcel.h"

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

/// The format words of a cell options text.
struct CellOptions {
    std::uint8_t borders = 0;
    bool shaded = false;
    TExcelAlignment alignment = TExcelAlignment::eaGeneral;
};

/// Reads an options text: words separated by commas or blanks, any case; unknown words are
/// ignored; of the alignment words the first present of LEFT, RIGHT, FILL, CENTER wins.
CellOptions ParseCellOptions(std::string_view text);

/// Reads a font text "name,size,words...": size 8 when it is not a whole number in range; BOLD,
/// ITALIC and UNDERLINE in any case and position after the size. No comma: empty name, size 8.
FontDesc ParseFontText(std::string_view text);

/// The workbook between _XlsInit and _XlsDeinit: the writer plus the list of font texts in order of
/// first use (entry 0, the empty text, is the default font).
class XlsWorkbook {
public:
    explicit XlsWorkbook(std::string_view path);

    void AddStringCell(
        int row, int column, std::string_view options, std::string_view font, std::string_view text);
    void AddDoubleCell(int row, int column, std::string_view options, std::string_view font, double value);
    void AddIntegerCell(
        int row, int column, std::string_view options, std::string_view font, std::int32_t value);
    /// Writes EOF and the buffer; false with errno set when the file cannot be written.
    bool SaveToFile(std::string_view path);
    bool Save();

    TNativeExcel& Writer() { return m_writer; }
    const std::vector<std::string>& Fonts() const { return m_fonts; }

private:
    void prepareCell(std::string_view options, std::string_view font);
    void selectFont(std::string_view font);

    TNativeExcel m_writer;
    std::vector<std::string> m_fonts;
    // Callers send the same options and font texts cell after cell; remembering the last ones
    // spares parsing and searching them again. The font list only grows, so a text's number
    // (or its fall-back to 0) never changes within a workbook.
    std::string m_lastOptions;
    CellOptions m_lastParsed;
    bool m_haveLastOptions = false;
    std::string m_lastFont;
    int m_lastFontNumber = -1;
};

}
