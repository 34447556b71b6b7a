#include "support/SystemHelpers.h"
#include "support/TestSeams.h"

#include "base/AtomicFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

using namespace contivo;
using contivo::testing::ScriptedDialogProvider;

namespace {

/// Points the XDG folders at a temporary tree so only the test's associations exist.
class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : { "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME" }) {
            saved.append({ name, qgetenv(name) });
            QDir().mkpath(dir.filePath(name));
            qputenv(name, dir.filePath(name).toLocal8Bit());
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, value);
    }
    QString makeScript(const QString& name, const QByteArray& body)
    {
        const QString path = dir.filePath(name);
        writeFileAtomically(path, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }
    QTemporaryDir dir;
    QList<QPair<const char*, QByteArray>> saved;
};

TEST(SystemError, WarningBoxWithNameAndSystemText)
{
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK);
    ShowSystemError(nullptr, "Apertura", "/tmp/dettaglio.txt", ENOENT);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].title, "Apertura");
    EXPECT_EQ(
        dialogs.messages()[0].text, "Trying to open \"/tmp/dettaglio.txt\"\r\n" + SystemErrorMessage(ENOENT));
    EXPECT_EQ(dialogs.messages()[0].flags, 48u);
    EXPECT_FALSE(SystemErrorMessage(ENOENT).isEmpty());
    EXPECT_NE(SystemErrorMessage(ENOENT), SystemErrorMessage(EACCES));
}

TEST_F(Desktop, ExecutableFileRunsWithItsParametersAndReturnsTheExitCode)
{
    const QString script
        = makeScript("prog.sh", "[ \"$1\" = uno ] && [ \"$2\" = 'due tre' ] && exit 3; exit 1");
    ScriptedDialogProvider dialogs;
    EXPECT_EQ(ShellExecuteAndWait(nullptr, "open", script, "uno \"due tre\"", dir.path(), 5, "Errore"), 3);
}

TEST_F(Desktop, DocumentOpensWithTheAssociatedProgram)
{
    const QString opener
        = makeScript("opener.sh", "printf '%s' \"$1\" > \"$(dirname \"$0\")/opened.txt\"; exit 7");
    QDir().mkpath(dir.filePath("XDG_DATA_HOME/applications"));
    writeFileAtomically(dir.filePath("XDG_DATA_HOME/applications/contivo-test.desktop"),
        "[Desktop Entry]\nType=Application\nName=Test\nExec=" + opener.toLocal8Bit() + " %f\n");
    writeFileAtomically(dir.filePath("XDG_CONFIG_HOME/mimeapps.list"),
        "[Default Applications]\ntext/csv=contivo-test.desktop;\n");
    const QString document = dir.filePath("Movimenti.csv");
    writeFileAtomically(document, "a;b\r\n");

    ScriptedDialogProvider dialogs;
    EXPECT_EQ(ShellExecuteAndWait(nullptr, "open", document, "", "", 5, "Errore"), 7);
    EXPECT_EQ(readWholeFile(dir.filePath("opened.txt")), document.toLocal8Bit());
}

TEST_F(Desktop, FailuresShowTheWarningAndReturnMinusOne)
{
    const QString unknown = dir.filePath("dati.zzq");
    writeFileAtomically(unknown, "x");
    struct Row {
        QString file;
        int code;
    };
    const Row rows[] = {
        { unknown, kErrorNoAssociation },
        { dir.filePath("manca.csv"), ENOENT },
    };
    for (const Row& row : rows) {
        ScriptedDialogProvider dialogs;
        dialogs.answerMessage(IDOK);
        EXPECT_EQ(ShellExecuteAndWait(nullptr, "open", row.file, "", "", 5, "Contivo - Errore"), -1);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0].title, "Contivo - Errore");
        EXPECT_EQ(dialogs.messages()[0].text,
            "Trying to open \"" + row.file + "\"\r\n" + SystemErrorMessage(row.code));
        EXPECT_EQ(dialogs.messages()[0].flags, MB_ICONWARNING);
    }
}

TEST(RunCommand, StartsWithoutWaitingOrReportsTheFailure)
{
    {
        ScriptedDialogProvider dialogs;
        EXPECT_TRUE(RunCommand("/bin/true --ignored"));
    }
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK);
    EXPECT_FALSE(RunCommand("contivo-nessun-programma \"a b\""));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].title, "Error executing command");
    EXPECT_EQ(dialogs.messages()[0].text,
        "Trying to open \"contivo-nessun-programma \"a b\"\"\r\n" + SystemErrorMessage(ENOENT));
}

TEST_F(Desktop, SpecialFolderPaths)
{
    const StructSysPathInfo data = GetSpecialFolder(26);
    EXPECT_EQ(QDir::cleanPath(data.Path), QDir::cleanPath(dir.filePath("XDG_DATA_HOME")));
    EXPECT_EQ(data.ItemId, 26);
    EXPECT_TRUE(data.DisplayName.isEmpty());
    EXPECT_TRUE(GetSpecialFolder(99).Path.isEmpty());
}

}
