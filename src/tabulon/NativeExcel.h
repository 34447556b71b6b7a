#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulon {

enum class TExcelAlignment { eaGeneral, eaLeft, eaRight, eaCenter, eaFill, eaMultiPlan };

/// Border bits of the `Borders` set.
enum TExcelBorders : std::uint8_t { ebTop = 1, ebBottom = 2, ebLeft = 4, ebRight = 8 };

enum class TMoveAfterEnter { maNone, maUp, maDown, maLeft, maRight };

enum class TBIFFVersion { bvBIFF2, bvBIFF3, bvBIFF4, bvBIFF5 };

enum class TMargin { Left, Right, Top, Bottom };

/// A font as the FONT record stores it.
struct FontDesc {
    std::string name;
    int size = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

/// Record bytes in fixed-size chunks: appending never moves what is already written, so a large
/// sheet costs no re-copying as it grows.
class ChunkBuffer {
public:
    static constexpr std::size_t kChunkSize = 256 * 1024;

    /// Room for n more bytes (n at most kChunkSize), contiguous, uninitialised.
    std::uint8_t* append(std::size_t n);
    /// Empties the buffer, keeping the chunks for reuse.
    void clear();
    std::size_t size() const { return m_size; }
    /// The bytes in order, as (pointer, length) pieces.
    std::vector<std::pair<const std::uint8_t*, std::size_t>> pieces() const;
    std::vector<std::uint8_t> toVector() const;

private:
    struct Chunk {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t used = 0;
    };
    std::vector<Chunk> m_chunks;
    std::size_t m_current = 0;
    std::size_t m_size = 0;
};

/// Builds one BIFF2 worksheet stream in memory, record by record, and writes it to a file in one
/// piece. Rows and columns are 1-based here and 0-based in the records.
class TNativeExcel {
public:
    static constexpr int kMaxRow = 65535;
    static constexpr int kMaxColumn = 256;
    static constexpr int kMaxFonts = 4;
    static constexpr std::size_t kMaxText = 255;

    TNativeExcel();

    // Cell format applied to the next cell records.
    TExcelAlignment Alignment = TExcelAlignment::eaGeneral;
    std::uint8_t Borders = 0;
    bool Shading = false;
    bool Locked = true;
    bool Hidden = false;
    TMoveAfterEnter MoveAfterEnter = TMoveAfterEnter::maRight;
    TBIFFVersion BIFF = TBIFFVersion::bvBIFF5;

    const std::string& FileName() const { return m_fileName; }
    /// Stores the name with its extension forced to ".XLS" unless it already is ".xls" in any case.
    void SetFileName(std::string_view name);

    int Row() const { return m_row; }
    int Column() const { return m_column; }
    /// Out-of-range values (0, negative or above the sheet limits) leave the position unchanged.
    void SetRow(int row);
    void SetColumn(int column);

    int ActiveFont() const { return m_activeFont; }
    /// Accepted only for a number not above the count of fonts written.
    void SetActiveFont(int font);
    int FontCount() const { return m_fontCount; }

    /// Clears the buffer and the font count and writes BOF and DIMENSIONS.
    void BeginWorksheet();
    /// Writes a FONT record; returns false (writing nothing) once kMaxFonts fonts are written.
    bool AddFont(const FontDesc& font);

    void WriteInteger(int row, int column, std::uint16_t value);
    void WriteNumber(int row, int column, double value);
    void WriteLabel(int row, int column, std::string_view text);
    void SetColumnsWidth(int firstColumn, int lastColumn, int width);
    void WriteHeader(std::string_view text);
    void WriteFooter(std::string_view text);
    void WriteMargin(TMargin margin, double inches);
    void WriteProtect(bool on);
    /// Ends the worksheet with EOF; the next record written begins a new worksheet.
    void Close();
    bool IsOpen() const { return m_open; }

    /// Writes the buffer to FileName atomically. Returns false with errno set when the file cannot
    /// be written; the existing file is then left as it was.
    bool SaveToFile() const;

    /// A copy of the record buffer, for inspection.
    std::vector<std::uint8_t> Buffer() const { return m_buffer.toVector(); }

    /// The extension rule of SetFileName, on its own.
    static std::string ForceXlsExtension(std::string_view name);

private:
    /// Appends a record header and room for its data; returns where the data goes.
    std::uint8_t* beginRecord(std::uint16_t number, std::uint16_t length);
    std::uint8_t* beginCell(std::uint16_t number, std::uint16_t length, int row, int column);
    void moveAfterCell();
    void writeText(std::uint16_t number, std::string_view text);

    ChunkBuffer m_buffer;
    std::string m_fileName;
    int m_row = 1;
    int m_column = 1;
    int m_activeFont = 0;
    int m_fontCount = 0;
    bool m_open = false;
};

/// Writes the pieces, in order, to path through a temporary file in the same folder and a rename.
/// Returns false with errno set on failure, leaving any existing file untouched.
bool WriteFileAtomically(
    const std::string& path, const std::vector<std::pair<const std::uint8_t*, std::size_t>>& pieces);

}
