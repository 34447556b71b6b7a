#include "RecordReader.h"
#include "tabulon/NativeExcel.h"
#include "tabulon/Workbook.h"

#include <gtest/gtest.h>

using namespace tabulon;

namespace {

std::vector<XlsRecord> records(const TNativeExcel& w)
{
    bool complete = false;
    auto r = splitRecords(w.Buffer(), &complete);
    EXPECT_TRUE(complete) << "the buffer ends inside a record";
    return r;
}

}

TEST(CellOptionsText, WordsCaseOrderAndAlignmentPriority)
{
    struct Case {
        const char* text;
        std::uint8_t borders;
        bool shaded;
        TExcelAlignment alignment;
    };
    const Case cases[] = {
        { "", 0, false, TExcelAlignment::eaGeneral },
        { "bordertop,shaded", ebTop, true, TExcelAlignment::eaGeneral },
        { "BorderLeft,BorderRight,BorderTop,BorderBottom,Shaded", ebLeft | ebRight | ebTop | ebBottom, true,
            TExcelAlignment::eaGeneral },
        { "ALIGNCENTER ALIGNLEFT", 0, false, TExcelAlignment::eaLeft },
        { "AlignFill,alignRight", 0, false, TExcelAlignment::eaRight },
        { "alignCenter,ALIGNFILL", 0, false, TExcelAlignment::eaFill },
        { "  aligncenter ,, borderbottom ", ebBottom, false, TExcelAlignment::eaCenter },
        { "ALIGNGENERAL,ALIGNCENTER", 0, false, TExcelAlignment::eaCenter },
        { "BORDER,LEFT,SHADE,BORDERLEFTX,bold", 0, false, TExcelAlignment::eaGeneral },
    };
    for (const auto& c : cases) {
        const CellOptions o = ParseCellOptions(c.text);
        EXPECT_EQ(o.borders, c.borders) << c.text;
        EXPECT_EQ(o.shaded, c.shaded) << c.text;
        EXPECT_EQ(o.alignment, c.alignment) << c.text;
    }
}

TEST(FontText, NameSizeAndStyleWords)
{
    struct Case {
        const char* text;
        const char* name;
        int size;
        bool bold, italic, underline;
    };
    const Case cases[] = {
        { "MS Sans Serif,8,Bold,", "MS Sans Serif", 8, true, false, false },
        { "MS Sans Serif,8,", "MS Sans Serif", 8, false, false, false },
        { "Arial,12,underline,ITALIC,bOlD", "Arial", 12, true, true, true },
        { "Arial,10.5,Italic", "Arial", 8, false, true, false },
        { "Arial,big,Bold", "Arial", 8, true, false, false },
        { "Arial,Bold", "Arial", 8, false, false, false }, // the first word is always the size
        { "Arial, 14 ,Strong,Bold", "Arial", 14, true, false, false },
        { "Arial,0", "Arial", 8, false, false, false },
        { "Arial,-3", "Arial", 8, false, false, false },
        { "Arial,99999", "Arial", 8, false, false, false },
        { "Tahoma", "", 8, false, false, false },
        { "", "", 8, false, false, false },
    };
    for (const auto& c : cases) {
        const FontDesc f = ParseFontText(c.text);
        EXPECT_EQ(f.name, c.name) << c.text;
        EXPECT_EQ(f.size, c.size) << c.text;
        EXPECT_EQ(f.bold, c.bold) << c.text;
        EXPECT_EQ(f.italic, c.italic) << c.text;
        EXPECT_EQ(f.underline, c.underline) << c.text;
    }
}

TEST(NativeExcel, FileNameExtensionIsForcedToXls)
{
    struct Case {
        const char* given;
        const char* stored;
    };
    const Case cases[] = {
        { "/tmp/out.csv", "/tmp/out.XLS" },
        { "/tmp/out.xls", "/tmp/out.xls" },
        { "/tmp/out.XlS", "/tmp/out.XlS" },
        { "/tmp/out", "/tmp/out.XLS" },
        { "/tmp/a.b/out", "/tmp/a.b/out.XLS" },
        { "/tmp/out.", "/tmp/out.XLS" },
        { "/tmp/out.xlsx", "/tmp/out.XLS" },
        { "out.tar.gz", "out.tar.XLS" },
    };
    for (const auto& c : cases) {
        TNativeExcel w;
        w.SetFileName(c.given);
        EXPECT_EQ(w.FileName(), c.stored) << c.given;
    }
}

TEST(NativeExcel, PositionRulesAndMovesAfterEachCell)
{
    // Each step writes one cell at (row, column) and expects the 0-based coordinates in its record
    // and the position left for the next cell.
    struct Step {
        int row, column;
        int recRow, recColumn;
        int nextRow, nextColumn;
    };
    const Step steps[] = {
        { 0, 0, 0, 0, 1, 2 }, // defaults 1,1
        { 3, 5, 2, 4, 3, 6 }, // explicit position
        { 0, 0, 2, 5, 3, 7 }, // 0 keeps the moved position
        { 65536, 257, 2, 6, 3, 8 }, // above the limits: ignored
        { -1, -5, 2, 7, 3, 9 }, // negative: ignored
        { 7, 256, 6, 255, 8, 1 }, // last column wraps to the next row
        { 65535, 256, 65534, 255, 65535, 256 }, // the last cell does not move
        { 65535, 0, 65534, 255, 65535, 256 },
    };
    TNativeExcel w;
    for (const auto& s : steps) {
        w.WriteLabel(s.row, s.column, "x");
        const auto last = records(w).back();
        EXPECT_EQ(last.data[0] | (last.data[1] << 8), s.recRow) << s.row << "," << s.column;
        EXPECT_EQ(last.data[2] | (last.data[3] << 8), s.recColumn) << s.row << "," << s.column;
        EXPECT_EQ(w.Row(), s.nextRow);
        EXPECT_EQ(w.Column(), s.nextColumn);
    }
}

TEST(NativeExcel, OtherMoveDirectionsStayInsideTheSheet)
{
    struct Case {
        TMoveAfterEnter move;
        int row, column, nextRow, nextColumn;
    };
    const Case cases[] = {
        { TMoveAfterEnter::maNone, 4, 4, 4, 4 },
        { TMoveAfterEnter::maDown, 4, 4, 5, 4 },
        { TMoveAfterEnter::maUp, 4, 4, 3, 4 },
        { TMoveAfterEnter::maUp, 1, 4, 1, 4 },
        { TMoveAfterEnter::maLeft, 4, 4, 4, 3 },
        { TMoveAfterEnter::maLeft, 4, 1, 4, 1 },
        { TMoveAfterEnter::maDown, 65535, 2, 65535, 2 },
    };
    for (const auto& c : cases) {
        TNativeExcel w;
        w.MoveAfterEnter = c.move;
        w.WriteNumber(c.row, c.column, 1.0);
        EXPECT_EQ(w.Row(), c.nextRow);
        EXPECT_EQ(w.Column(), c.nextColumn);
    }
}

TEST(NativeExcel, CellAttributeBytesFollowTheFormat)
{
    struct Case {
        bool locked, hidden;
        int font;
        TExcelAlignment alignment;
        std::uint8_t borders;
        bool shaded;
        std::uint8_t a1, a2, a3;
    };
    const Case cases[] = {
        { true, false, 0, TExcelAlignment::eaGeneral, 0, false, 0x40, 0x00, 0x00 },
        { false, true, 3, TExcelAlignment::eaLeft, ebLeft, false, 0x80, 0xC0, 0x09 },
        { false, false, 2, TExcelAlignment::eaCenter, ebRight, false, 0x00, 0x80, 0x12 },
        { true, true, 1, TExcelAlignment::eaRight, ebTop, true, 0xC0, 0x40, 0xA3 },
        { true, false, 0, TExcelAlignment::eaFill, ebBottom, false, 0x40, 0x00, 0x44 },
        { true, false, 0, TExcelAlignment::eaMultiPlan, ebTop | ebBottom | ebLeft | ebRight, true, 0x40, 0x00,
            0xFF },
    };
    for (const auto& c : cases) {
        TNativeExcel w;
        for (int i = 0; i < 3; ++i)
            w.AddFont(FontDesc { "F", 10 });
        w.Locked = c.locked;
        w.Hidden = c.hidden;
        w.SetActiveFont(c.font);
        w.Alignment = c.alignment;
        w.Borders = c.borders;
        w.Shading = c.shaded;
        w.WriteInteger(1, 1, 7);
        EXPECT_EQ(records(w).back(), integerRecord(0, 0, c.a1, c.a2, c.a3, 7)) << int(c.a3);
    }
}

TEST(NativeExcel, FontLimitAndActiveFontRange)
{
    TNativeExcel w;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.AddFont(FontDesc { "F" + std::to_string(i), 9 + i, i == 1, i == 2, i == 3 }), i < 4) << i;
    const auto r = records(w);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[2], fontRecord(180, 0, "F0"));
    EXPECT_EQ(r[3], fontRecord(200, 1, "F1"));
    EXPECT_EQ(r[4], fontRecord(220, 2, "F2"));
    EXPECT_EQ(r[5], fontRecord(240, 4, "F3"));

    TNativeExcel one;
    one.AddFont(FontDesc { "A", 8 });
    one.SetActiveFont(1);
    EXPECT_EQ(one.ActiveFont(), 1);
    one.SetActiveFont(2); // above the fonts written: refused
    EXPECT_EQ(one.ActiveFont(), 1);
}

TEST(NativeExcel, SheetSettingRecords)
{
    TNativeExcel w;
    w.SetColumnsWidth(3, 3, 12);
    w.SetColumnsWidth(1, 4, 255);
    w.WriteHeader("Pagina &P");
    w.WriteFooter(std::string(300, 'f'));
    w.WriteMargin(TMargin::Left, 0.75);
    w.WriteMargin(TMargin::Right, 1.5);
    w.WriteMargin(TMargin::Top, 0.0);
    w.WriteMargin(TMargin::Bottom, -2.25);
    w.WriteProtect(true);
    w.WriteProtect(false);
    std::vector<std::uint8_t> header;
    addText(header, "Pagina &P");
    std::vector<std::uint8_t> footer;
    addText(footer, std::string(255, 'f'));
    const auto r = records(w);
    ASSERT_EQ(r.size(), 12u);
    EXPECT_EQ(r[2], (XlsRecord { 0x0024, { 0x02, 0x02, 0x00, 0x0C } }));
    EXPECT_EQ(r[3], (XlsRecord { 0x0024, { 0x00, 0x03, 0x00, 0xFF } }));
    EXPECT_EQ(r[4], (XlsRecord { 0x0014, header }));
    EXPECT_EQ(r[5], (XlsRecord { 0x0015, footer }));
    const std::uint16_t margins[] = { 0x26, 0x27, 0x28, 0x29 };
    const double values[] = { 0.75, 1.5, 0.0, -2.25 };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r[std::size_t(6 + i)].number, margins[i]);
        ASSERT_EQ(r[std::size_t(6 + i)].data.size(), 8u);
        XlsRecord asCell { 0x0003, std::vector<std::uint8_t>(7, 0) };
        asCell.data.insert(
            asCell.data.end(), r[std::size_t(6 + i)].data.begin(), r[std::size_t(6 + i)].data.end());
        EXPECT_EQ(numberValue(asCell), values[i]);
    }
    EXPECT_EQ(r[10], (XlsRecord { 0x0012, { 0x01, 0x00 } }));
    EXPECT_EQ(r[11], (XlsRecord { 0x0012, { 0x00, 0x00 } }));
}

TEST(NativeExcel, BofVariantsOfTheOtherVersions)
{
    struct Case {
        TBIFFVersion version;
        XlsRecord bof, dimensions;
    };
    const XlsRecord dim2 { 0x0000, { 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01 } };
    const Case cases[] = {
        { TBIFFVersion::bvBIFF2, { 0x0009, { 0x00, 0x02, 0x10, 0x00 } }, dim2 },
        { TBIFFVersion::bvBIFF3, { 0x0209, { 0x00, 0x02, 0x10, 0x00, 0x00, 0x00 } }, kDimensions },
        { TBIFFVersion::bvBIFF4, { 0x0409, { 0x00, 0x02, 0x10, 0x00, 0x00, 0x00 } }, kDimensions },
        { TBIFFVersion::bvBIFF5, kBof, kDimensions },
    };
    for (const auto& c : cases) {
        TNativeExcel w;
        w.BIFF = c.version;
        w.BeginWorksheet();
        w.Close();
        EXPECT_EQ(records(w), (std::vector<XlsRecord> { c.bof, c.dimensions, kEof })) << int(c.version);
    }
}

TEST(NativeExcel, RecordAfterCloseBeginsANewWorksheet)
{
    TNativeExcel w;
    w.AddFont(FontDesc { "A", 8 });
    w.WriteLabel(1, 1, "a");
    w.Close();
    EXPECT_FALSE(w.IsOpen());
    EXPECT_EQ(
        recordNumbers(records(w)), (std::vector<std::uint16_t> { 0x0809, 0x0200, 0x0031, 0x0004, 0x000A }));
    w.WriteLabel(2, 2, "b");
    EXPECT_TRUE(w.IsOpen());
    EXPECT_EQ(w.FontCount(), 0);
    EXPECT_EQ(
        records(w), (std::vector<XlsRecord> { kBof, kDimensions, labelRecord(1, 1, 0x40, 0x00, 0x00, "b") }));
}

TEST(Workbook, FontListSelectsFallsBackAndIgnoresCase)
{
    XlsWorkbook book("/tmp/unused");
    const char* fonts[] = { "A,8,", "B,9,Bold,", "a,8,", "C,10,", "D,11,", "" };
    const int expectedFont[] = { 1, 2, 1, 3, 0, 0 };
    for (int i = 0; i < 6; ++i) {
        book.AddStringCell(1, 0, "", fonts[i], "x");
        const auto last = splitRecords(book.Writer().Buffer()).back();
        EXPECT_EQ(last.data[5], std::uint8_t(expectedFont[i] << 6)) << fonts[i];
    }
    const auto r = splitRecords(book.Writer().Buffer());
    int fontRecords = 0;
    for (const auto& rec : r)
        fontRecords += rec.number == 0x0031;
    EXPECT_EQ(fontRecords, 4); // the default and three more; "D,11," is never written
    EXPECT_EQ(book.Fonts(), (std::vector<std::string> { "", "A,8,", "B,9,Bold,", "C,10," }));
}

TEST(Workbook, EachCellSetsItsFormatAnew)
{
    XlsWorkbook book("/tmp/unused");
    book.AddStringCell(1, 1, "BorderLeft,Shaded,AlignRight", "", "a");
    book.AddStringCell(1, 2, "", "", "b");
    const auto r = splitRecords(book.Writer().Buffer());
    EXPECT_EQ(r[r.size() - 2], labelRecord(0, 0, 0x40, 0x00, 0x8B, "a"));
    EXPECT_EQ(r.back(), labelRecord(0, 1, 0x40, 0x00, 0x00, "b"));
}

TEST(Workbook, IntegerCellsChooseTheRecordThatHoldsTheValue)
{
    struct Case {
        std::int32_t value;
        bool asInteger;
    };
    const Case cases[] = { { 0, true }, { 12, true }, { 65535, true }, { 65536, false }, { -1, false },
        { 0xFFFFFF, false }, { INT32_MIN, false }, { INT32_MAX, false } };
    for (const auto& c : cases) {
        XlsWorkbook book("/tmp/unused");
        book.AddIntegerCell(2, 3, "", "", c.value);
        const auto last = splitRecords(book.Writer().Buffer()).back();
        if (c.asInteger) {
            EXPECT_EQ(last, integerRecord(1, 2, 0x40, 0x00, 0x00, unsigned(c.value)));
        } else {
            ASSERT_EQ(last.number, 0x0003) << c.value;
            ASSERT_EQ(last.data.size(), 15u);
            EXPECT_EQ(numberValue(last), double(c.value));
        }
    }
}

TEST(NativeExcel, LargeSheetsSpanManyBufferChunksIntact)
{
    TNativeExcel w;
    const int rows = 20000; // about 5 MB of labels, well over one chunk
    for (int r = 1; r <= rows; ++r) {
        w.WriteLabel(r, 1, std::string(std::size_t(200 + r % 56), char('a' + r % 26)));
        w.WriteNumber(r, 2, r / 4.0);
    }
    w.Close();
    bool complete = false;
    const auto recs = splitRecords(w.Buffer(), &complete);
    ASSERT_TRUE(complete);
    ASSERT_EQ(recs.size(), std::size_t(2 + 2 * rows + 1));
    for (int r = 1; r <= rows; r += 997) {
        const auto& label = recs[std::size_t(2 * r)];
        EXPECT_EQ(label,
            labelRecord(
                r - 1, 0, 0x40, 0x00, 0x00, std::string(std::size_t(200 + r % 56), char('a' + r % 26))));
        EXPECT_EQ(numberValue(recs[std::size_t(2 * r + 1)]), r / 4.0);
    }
    EXPECT_EQ(recs.back(), kEof);
}
