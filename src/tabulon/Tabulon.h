/* The C interface of the Tabulon spreadsheet library: one XLS worksheet built cell by cell
 * between _XlsInit and _XlsDeinit and written to a file by _SaveToFile or _Save. Texts are
 * zero-terminated 8-bit (cp1252) strings owned by the caller; rows and columns are 1-based. */
#pragma once

#include <stdbool.h>
#include <stdint.h>

#if defined(TABULON_BUILDING)
#define TABULON_API __attribute__((visibility("default")))
#else
#define TABULON_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

TABULON_API bool _XlsInit(const char* fileName);
TABULON_API bool _XlsDeinit(void);
/* Returns false, with errno set, when the file cannot be written. */
TABULON_API bool _SaveToFile(const char* fileName);
TABULON_API bool _Save(void);
TABULON_API bool _AddStringCell(
    int32_t row, int32_t column, const char* options, const char* font, int32_t unused, const char* text);
TABULON_API bool _AddDoubleCell(
    int32_t row, int32_t column, const char* options, const char* font, int32_t unused, double value);
TABULON_API bool _AddIntegerCell(
    int32_t row, int32_t column, const char* options, const char* font, int32_t unused, int32_t value);
TABULON_API bool _SetColumnWidth(int32_t column, int32_t width);
TABULON_API bool _SetColumnsWidth(int32_t firstColumn, int32_t lastColumn, int32_t width);
TABULON_API bool _SetPrintHeader(const char* text);
TABULON_API bool _SetPrintFooter(const char* text);
TABULON_API int32_t _SetLeftMargin(double inches);
TABULON_API int32_t _SetRightMargin(double inches);
TABULON_API int32_t _SetTopMargin(double inches);
TABULON_API int32_t _SetBottomMargin(double inches);
TABULON_API bool _ProtectSheet(int32_t on);
TABULON_API bool _IsFileOpened(void);

#ifdef __cplusplus
}
#endif
