#include "ExportFixture.h"
#include "tabulon/RecordReader.h"

#include <QFileInfo>

#include <functional>

using namespace contivo;
using contivo::testing::ExportFixture;
using contivo::testing::libraryMapped;

namespace {

std::vector<XlsRecord> readRecords(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    bool complete = false;
    auto r = splitRecords(std::vector<std::uint8_t>(b.begin(), b.end()), &complete);
    EXPECT_TRUE(complete);
    return r;
}

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const XlsExportError& e) {
        return QString::fromStdString(e.what());
    }
    return QStringLiteral("<no error>");
}

const QString kFunctionMissing
    = "Impossibile trovare la funzione di esportazione.\nFunzione '%1' non trovata";

}

TEST(XlsFontText, NameSizeThenStylesInOrder)
{
    struct Case {
        XlsFont font;
        const char* text;
    };
    const Case cases[] = {
        { XlsHeadingFont(), "MS Sans Serif,8,Bold," },
        { XlsDataFont(), "MS Sans Serif,8," },
        { XlsFont { "Arial", 12, true, true, true }, "Arial,12,Bold,Italic,Underline," },
        { XlsFont { "Arial", 10, false, true, true }, "Arial,10,Italic,Underline," },
        { XlsFont { "Tahoma", 9, false, false, true }, "Tahoma,9,Underline," },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.font.fontText(), QString(c.text));
}

using XlsBinding = ExportFixture;

TEST_F(XlsBinding, MissingLibraryStopsBeforeAnythingIsWritten)
{
    const QString file = out("nothing.xls");
    EXPECT_EQ(errorOf([&] { OpenXlsLibrary(file); }),
        "Impossibile trovare la libreria di esportazione.\nLibreria 'libTabulon.so' non trovata");
    EXPECT_TRUE(QFileInfo(appDir.filePath("Libs")).isDir()) << "the Libs folder is created with the path";
    EXPECT_TRUE(QDir(outDir.path()).isEmpty());
    EXPECT_EQ(XlsLibraryPath(), appDir.filePath("Libs/libTabulon.so"));
}

TEST_F(XlsBinding, EachMissingFunctionIsNamedWhenItIsCalled)
{
    const XlsFont font = XlsDataFont();
    struct Case {
        const char* library;
        const char* function;
        std::function<void(XlsHandle&)> call; // runs after a successful open
    };
    const QString file = out("partial.xls");
    const Case cases[] = {
        { PARTIAL_INIT_DEINIT_FILE, "AddStringCell",
            [&](XlsHandle& h) { XlsAddStringCell(*h, 1, 1, "", font, "x"); } },
        { PARTIAL_INIT_DEINIT_FILE, "AddIntegerCell",
            [&](XlsHandle& h) { XlsAddIntegerCell(*h, 1, 1, "", font, 1); } },
        { PARTIAL_INIT_DEINIT_FILE, "AddDoubleCell",
            [&](XlsHandle& h) { XlsAddDoubleCell(*h, 1, 1, "", font, 1.0); } },
        { PARTIAL_INIT_DEINIT_FILE, "SaveToFile", [&](XlsHandle& h) { XlsSaveToFile(*h, file); } },
        { PARTIAL_INIT_FILE, "XlsDeinit", [&](XlsHandle& h) { CloseXlsLibrary(std::move(h)); } },
    };
    for (const auto& c : cases) {
        installLibrary(c.library);
        XlsHandle handle = OpenXlsLibrary(file);
        EXPECT_EQ(errorOf([&] { c.call(handle); }), kFunctionMissing.arg(c.function)) << c.function;
    }
    installLibrary(PARTIAL_DEINIT_FILE);
    EXPECT_EQ(errorOf([&] { OpenXlsLibrary(file); }), kFunctionMissing.arg("XlsInit"));
    EXPECT_TRUE(QDir(outDir.path()).isEmpty());
}

TEST_F(XlsBinding, ExportThroughTheLibraryAndUnloadAtTheEnd)
{
    installLibrary(TABULON_FILE);
    const QString libPath = XlsLibraryPath();
    for (int round = 0; round < 2; ++round) { // two exports in a row each load and unload
        const QString file = out(QString("round%1.xls").arg(round));
        EXPECT_FALSE(libraryMapped(libPath));
        XlsHandle h = OpenXlsLibrary(file);
        EXPECT_TRUE(libraryMapped(libPath));
        XlsAddStringCell(*h, 1, 1, "BorderLeft,Shaded", XlsHeadingFont(), QString::fromUtf8("Caffè €"));
        XlsAddIntegerCell(*h, 2, 1, "", XlsDataFont(), 0xFF8000);
        XlsAddDoubleCell(*h, 2, 2, "", XlsDataFont(), -12.75);
        XlsSaveToFile(*h, file);
        CloseXlsLibrary(std::move(h));
        EXPECT_FALSE(libraryMapped(libPath));

        const auto r = readRecords(file);
        ASSERT_EQ(r.size(), 9u);
        EXPECT_EQ(r[3], fontRecord(160, 1, "MS Sans Serif"));
        EXPECT_EQ(r[4], labelRecord(0, 0, 0x40, 0x40, 0x88, "Caff\xE8 \x80"));
        EXPECT_EQ(r[5], fontRecord(160, 0, "MS Sans Serif"));
        EXPECT_EQ(r[6].number, 0x0003);
        EXPECT_EQ(numberValue(r[6]), double(0xFF8000));
        EXPECT_EQ(numberValue(r[7]), -12.75);
        EXPECT_EQ(r[8], kEof);
    }
}

TEST_F(XlsBinding, FileTheLibraryCannotWriteIsAnError)
{
    installLibrary(TABULON_FILE);
    const QString file = out("no/such/folder/x.xls");
    XlsHandle h = OpenXlsLibrary(file);
    XlsAddStringCell(*h, 1, 1, "", XlsDataFont(), "x");
    const QString error = errorOf([&] { XlsSaveToFile(*h, file); });
    EXPECT_TRUE(error.startsWith(QString("Cannot create file \"%1\". ").arg(file))) << error.toStdString();
    EXPECT_GT(error.size(), QString("Cannot create file \"%1\". ").arg(file).size()) << "the reason follows";
    CloseXlsLibrary(std::move(h));
}
