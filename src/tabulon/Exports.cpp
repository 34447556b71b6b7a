#include "tabulon/Tabulon.h"
#include "tabulon/Workbook.h"

#include <cerrno>
#include <memory>

using tabulon::TMargin;
using tabulon::XlsWorkbook;

namespace {

// One workbook per process, from _XlsInit to _XlsDeinit.
std::unique_ptr<XlsWorkbook> g_book;

std::string_view text(const char* s)
{
    return s ? std::string_view(s) : std::string_view();
}

// Sheet settings outside the 1..256 column range cannot be stored in the record's byte.
bool validColumn(int32_t c)
{
    return c >= 1 && c <= tabulon::TNativeExcel::kMaxColumn;
}

int32_t margin(TMargin which, double inches)
{
    if (g_book)
        g_book->Writer().WriteMargin(which, inches);
    return 8;
}

}

extern "C" {

bool _XlsInit(const char* fileName)
{
    g_book = std::make_unique<XlsWorkbook>(text(fileName));
    return true;
}

bool _XlsDeinit(void)
{
    g_book.reset();
    return true;
}

bool _SaveToFile(const char* fileName)
{
    if (!g_book) {
        errno = EINVAL;
        return false;
    }
    return g_book->SaveToFile(text(fileName));
}

bool _Save(void)
{
    if (!g_book) {
        errno = EINVAL;
        return false;
    }
    return g_book->Save();
}

bool _AddStringCell(
    int32_t row, int32_t column, const char* options, const char* font, int32_t, const char* value)
{
    if (!g_book)
        return false;
    g_book->AddStringCell(row, column, text(options), text(font), text(value));
    return true;
}

bool _AddDoubleCell(int32_t row, int32_t column, const char* options, const char* font, int32_t, double value)
{
    if (!g_book)
        return false;
    g_book->AddDoubleCell(row, column, text(options), text(font), value);
    return true;
}

bool _AddIntegerCell(
    int32_t row, int32_t column, const char* options, const char* font, int32_t, int32_t value)
{
    if (!g_book)
        return false;
    g_book->AddIntegerCell(row, column, text(options), text(font), value);
    return true;
}

bool _SetColumnWidth(int32_t column, int32_t width)
{
    return _SetColumnsWidth(column, column, width);
}

bool _SetColumnsWidth(int32_t firstColumn, int32_t lastColumn, int32_t width)
{
    if (!g_book)
        return false;
    if (validColumn(firstColumn) && validColumn(lastColumn) && width >= 0 && width <= 255)
        g_book->Writer().SetColumnsWidth(firstColumn, lastColumn, width);
    return true;
}

bool _SetPrintHeader(const char* value)
{
    if (!g_book)
        return false;
    g_book->Writer().WriteHeader(text(value));
    return true;
}

bool _SetPrintFooter(const char* value)
{
    if (!g_book)
        return false;
    g_book->Writer().WriteFooter(text(value));
    return true;
}

int32_t _SetLeftMargin(double inches)
{
    return margin(TMargin::Left, inches);
}

int32_t _SetRightMargin(double inches)
{
    return margin(TMargin::Right, inches);
}

int32_t _SetTopMargin(double inches)
{
    return margin(TMargin::Top, inches);
}

int32_t _SetBottomMargin(double inches)
{
    return margin(TMargin::Bottom, inches);
}

bool _ProtectSheet(int32_t on)
{
    if (!g_book)
        return false;
    g_book->Writer().WriteProtect(on != 0);
    return true;
}

bool _IsFileOpened(void)
{
    return g_book && g_book->Writer().IsOpen();
}
}
