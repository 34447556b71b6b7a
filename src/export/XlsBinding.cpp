#include "export/XlsBinding.h"

#include "base/Cp1252.h"
#include "platform/DynamicLibrary.h"
#include "platform/Folders.h"

#include <QFile>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace contivo {

// The library's C interface as called here: 32-bit integers, doubles, zero-terminated 8-bit texts.
struct XlsCalls {
    using Init = bool (*)(const char*);
    using Deinit = bool (*)();
    using SaveToFile = bool (*)(const char*);
    using AddString
        = bool (*)(std::int32_t, std::int32_t, const char*, const char*, std::int32_t, const char*);
    using AddInteger
        = bool (*)(std::int32_t, std::int32_t, const char*, const char*, std::int32_t, std::int32_t);
    using AddDouble = bool (*)(std::int32_t, std::int32_t, const char*, const char*, std::int32_t, double);

    /// The exported function "_" + name, or the function-missing error naming it.
    template <typename Fn> static Fn resolve(XlsLibrary& lib, const char* name)
    {
        const QByteArray exported = QByteArray("_") + name;
        if (const auto fn = lib.m_lib->resolveAs<Fn>(exported.constData()))
            return fn;
        throw XlsExportError(
            QStringLiteral("Impossibile trovare la funzione di esportazione.\nFunzione '%1' non trovata")
                .arg(QLatin1String(name)));
    }
};

QString XlsFont::fontText() const
{
    QString text = name + QLatin1Char(',') + QString::number(size) + QLatin1Char(',');
    if (bold)
        text += QLatin1String("Bold,");
    if (italic)
        text += QLatin1String("Italic,");
    if (underline)
        text += QLatin1String("Underline,");
    return text;
}

XlsFont XlsHeadingFont()
{
    XlsFont f;
    f.bold = true;
    return f;
}

XlsFont XlsDataFont()
{
    return XlsFont {};
}

QString XlsLibraryFileName()
{
    return platform::DynamicLibrary::platformFileName(QStringLiteral("Tabulon"));
}

QString XlsLibraryPath()
{
    return SottocartellaProgramma(QStringLiteral("Libs")) + XlsLibraryFileName();
}

XlsLibrary::XlsLibrary()
    : m_lib(std::make_unique<platform::DynamicLibrary>())
{
}

XlsLibrary::~XlsLibrary() = default;

XlsHandle OpenXlsLibrary(const QString& filePath)
{
    XlsHandle lib(new XlsLibrary);
    if (!lib->m_lib->load(XlsLibraryPath()))
        throw XlsExportError(
            QStringLiteral("Impossibile trovare la libreria di esportazione.\nLibreria '%1' non trovata")
                .arg(XlsLibraryFileName()));
    XlsCalls::resolve<XlsCalls::Init>(*lib, "XlsInit")(QFile::encodeName(filePath).constData());
    return lib;
}

void XlsAddStringCell(
    XlsLibrary& lib, int row, int column, const QString& options, const XlsFont& font, const QString& text)
{
    const auto fn = XlsCalls::resolve<XlsCalls::AddString>(lib, "AddStringCell");
    fn(row, column, cp1252::encode(options).constData(), cp1252::encode(font.fontText()).constData(), 0,
        cp1252::encode(text).constData());
}

void XlsAddIntegerCell(
    XlsLibrary& lib, int row, int column, const QString& options, const XlsFont& font, qint32 value)
{
    const auto fn = XlsCalls::resolve<XlsCalls::AddInteger>(lib, "AddIntegerCell");
    fn(row, column, cp1252::encode(options).constData(), cp1252::encode(font.fontText()).constData(), 0,
        value);
}

void XlsAddDoubleCell(
    XlsLibrary& lib, int row, int column, const QString& options, const XlsFont& font, double value)
{
    const auto fn = XlsCalls::resolve<XlsCalls::AddDouble>(lib, "AddDoubleCell");
    fn(row, column, cp1252::encode(options).constData(), cp1252::encode(font.fontText()).constData(), -1,
        value);
}

void XlsSaveToFile(XlsLibrary& lib, const QString& filePath)
{
    const auto fn = XlsCalls::resolve<XlsCalls::SaveToFile>(lib, "SaveToFile");
    errno = 0;
    if (!fn(QFile::encodeName(filePath).constData())) {
        const int error = errno;
        QString message = QStringLiteral("Cannot create file \"%1\".").arg(filePath);
        if (error != 0)
            message += QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(error));
        throw XlsExportError(message);
    }
}

void CloseXlsLibrary(XlsHandle lib)
{
    if (!lib)
        return;
    XlsCalls::resolve<XlsCalls::Deinit>(*lib, "XlsDeinit")();
    lib->m_lib->unload();
}

}
