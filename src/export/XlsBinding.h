#pragma once

#include <QString>

#include <memory>
#include <stdexcept>

namespace contivo {

namespace platform {
class DynamicLibrary;
}

/// An error of the spreadsheet export: the library or one of its functions is missing, or the
/// library could not write the file. what() is the text shown to the user.
class XlsExportError : public std::runtime_error {
public:
    explicit XlsExportError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

/// A font as the spreadsheet library takes it.
struct XlsFont {
    QString name = QStringLiteral("MS Sans Serif");
    int size = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    /// "name,size," then "Bold,", "Italic,", "Underline," as set, in that order.
    QString fontText() const;
};

/// The fixed fonts of exported sheets: the same on every machine, whatever the desktop's font.
XlsFont XlsHeadingFont();
XlsFont XlsDataFont();

/// The spreadsheet library's file name on this platform ("libTabulon.so").
QString XlsLibraryFileName();
/// Where the library is loaded from: the application folder's "Libs" subfolder (created when
/// missing) and the file name.
QString XlsLibraryPath();

/// The library loaded for one export. Each call resolves its function by name when it is made;
/// destroying the handle unloads the library.
class XlsLibrary {
public:
    ~XlsLibrary();
    XlsLibrary(const XlsLibrary&) = delete;
    XlsLibrary& operator=(const XlsLibrary&) = delete;

private:
    XlsLibrary();
    friend std::unique_ptr<XlsLibrary> OpenXlsLibrary(const QString&);
    friend void CloseXlsLibrary(std::unique_ptr<XlsLibrary>);
    friend struct XlsCalls;
    std::unique_ptr<platform::DynamicLibrary> m_lib;
};

using XlsHandle = std::unique_ptr<XlsLibrary>;

/// Loads the library from XlsLibraryPath() and starts a workbook for the file (_XlsInit).
/// Throws XlsExportError "Impossibile trovare la libreria di esportazione.\nLibreria '<file>' non
/// trovata" when it cannot be loaded, or the function-missing error of XlsInit.
XlsHandle OpenXlsLibrary(const QString& filePath);

/// Cell calls (1-based row and column). Texts go to the library as cp1252. Each throws
/// "Impossibile trovare la funzione di esportazione.\nFunzione '<name>' non trovata" when the
/// library lacks its function.
void XlsAddStringCell(
    XlsLibrary& lib, int row, int column, const QString& options, const XlsFont& font, const QString& text);
void XlsAddIntegerCell(
    XlsLibrary& lib, int row, int column, const QString& options, const XlsFont& font, qint32 value);
void XlsAddDoubleCell(
    XlsLibrary& lib, int row, int column, const QString& options, const XlsFont& font, double value);
/// Writes the workbook to the file; throws XlsExportError 'Cannot create file "<path>". <reason>'
/// when the library reports that the file could not be written.
void XlsSaveToFile(XlsLibrary& lib, const QString& filePath);
/// Ends the workbook (_XlsDeinit) and unloads the library.
void CloseXlsLibrary(XlsHandle lib);

}
