#include "support/MessageBoxes.h"
#include "support/TestSeams.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

using namespace contivo;
using contivo::testing::DialogKind;
using contivo::testing::ScriptedDialogProvider;

namespace {

struct BoxCase {
    const char* name;
    int (*show)(const QString&);
    const char* title;
    unsigned flags;
    int answer;
    int expected;
};

class MessageBoxKinds : public ::testing::TestWithParam<BoxCase> { };

TEST_P(MessageBoxKinds, TitleFlagsAndResult)
{
    const BoxCase& c = GetParam();
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(c.answer);
    EXPECT_EQ(c.show(QStringLiteral("Testo è")), c.expected);
    ASSERT_EQ(dialogs.calls().size(), 1);
    const auto& call = dialogs.calls().first();
    EXPECT_EQ(call.kind, DialogKind::Message);
    EXPECT_EQ(call.title, QString::fromUtf8(c.title));
    EXPECT_EQ(call.text, QStringLiteral("Testo è"));
    EXPECT_EQ(call.flags, c.flags);
}

INSTANTIATE_TEST_SUITE_P(Boxes, MessageBoxKinds,
    ::testing::Values(BoxCase { "error", ShowError, "Contivo - Errore", 16, IDOK, IDOK },
        BoxCase { "warning", ShowWarning, "Contivo - Avviso", 48, IDOK, IDOK },
        BoxCase { "confirmYes", AskConfirm, "Contivo - Conferma", 36, IDYES, IDYES },
        BoxCase { "confirmNo", AskConfirm, "Contivo - Conferma", 36, IDNO, IDNO },
        // A box closed any other way counts as No: only Yes gives 6.
        BoxCase { "confirmClosed", AskConfirm, "Contivo - Conferma", 36, IDCANCEL, IDNO },
        BoxCase { "info", ShowInfo, "Contivo - Informazione", 64, IDOK, IDOK }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxes, ShowMessageBoxPassesTitleAndFlagsThrough)
{
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDCANCEL).answerMessage(IDNO);
    EXPECT_EQ(ShowMessageBox("a", "Titolo libero", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(ShowMessageBox("b", "Error!", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[0].title, "Titolo libero");
    EXPECT_EQ(dialogs.messages()[0].flags, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(dialogs.messages()[1].title, "Error!");
    EXPECT_EQ(dialogs.messages()[1].flags, 0x103u);
}

TEST(MessageBoxes, ButtonsDefaultsAndEscapeFollowTheFlags)
{
    struct Row {
        unsigned flags;
        QList<int> buttons;
        int def;
        int escape;
    };
    const Row rows[] = {
        { MB_OK, { IDOK }, IDOK, IDOK },
        { MB_OKCANCEL, { IDOK, IDCANCEL }, IDOK, IDCANCEL },
        { MB_YESNO | MB_ICONQUESTION, { IDYES, IDNO }, IDYES, IDNO },
        { MB_YESNO | MB_DEFBUTTON2, { IDYES, IDNO }, IDNO, IDNO },
        { MB_YESNOCANCEL | MB_DEFBUTTON3, { IDYES, IDNO, IDCANCEL }, IDCANCEL, IDCANCEL },
        { MB_ABORTRETRYIGNORE, { IDABORT, IDRETRY, IDIGNORE }, IDABORT, IDCANCEL },
        { MB_RETRYCANCEL | MB_DEFBUTTON3, { IDRETRY, IDCANCEL }, IDRETRY, IDCANCEL },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        EXPECT_EQ(messageBoxButtons(row.flags), row.buttons);
        EXPECT_EQ(messageBoxDefaultButton(row.flags), row.def);
        EXPECT_EQ(messageBoxEscapeButton(row.flags), row.escape);
    }
}

TEST(MessageBoxes, FormatMessageArgs)
{
    struct Row {
        const char* text;
        QStringList args;
        const char* expected;
    };
    const Row rows[] = {
        { "File {0} di {1}: {0}", { "a.csv", "Casa" }, "File a.csv di Casa: a.csv" },
        { "Nessun segnaposto {0}", {}, "Nessun segnaposto {0}" },
        { "{1}{0}", { "x" }, "{1}x" },
        // Replacement runs in order, so a later placeholder brought in by an earlier argument is filled too.
        { "{0}", { "<{1}>", "B" }, "<B>" },
        { "{10} {1}", { "0", "1" }, "{10} 1" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatMessageArgs(QString::fromUtf8(row.text), row.args), QString::fromUtf8(row.expected));
}

TEST(MessageBoxes, FieldMessagesWriteRedTextIntoTheControl)
{
    QLineEdit edit;
    QLabel label;
    EXPECT_EQ(ShowFieldMessage(&label, "Manca la data"), "Manca la data");
    EXPECT_EQ(label.text(), "Manca la data");
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));

    const QString fixed = QStringLiteral("Il campo specificato non è nel formato corretto");
    EXPECT_EQ(ShowFieldFormatError(&edit), fixed);
    EXPECT_EQ(edit.text(), fixed);
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(255, 0, 0));

    ScriptedDialogProvider dialogs; // no box expected
    EXPECT_EQ(ShowFieldFormatError(nullptr), fixed);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST(ScriptedDialogs, UnexpectedBoxFailsTheTestAndAnswersNo)
{
    int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogProvider dialogs;
            result = AskConfirm("Continuare?");
        },
        "Unexpected message box");
    EXPECT_EQ(result, IDNO);
}

TEST(ScriptedDialogs, AnswerOfAnotherKindOrLeftUnusedFails)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogProvider dialogs;
            dialogs.answerOpenFile("/tmp/x.csv");
            dialogs.allowUnusedAnswers();
            ShowError("boom");
        },
        "the next answer is for another kind: open-file dialog");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogProvider dialogs;
            dialogs.answerMessage(IDOK);
        },
        "never used");
}

TEST(ScriptedDialogs, FileColourAndFolderDialogsAreRecordedAndAnswered)
{
    ScriptedDialogProvider dialogs;
    dialogs.answerSaveFile("/tmp/out.csv").answerColor(QColor(1, 2, 3)).answerFolder("/tmp/dir");
    auto& provider = DialogProvider::instance();
    EXPECT_EQ(
        provider.saveFileName(nullptr, { "Esporta", "CSV (*.csv)", "csv", "/tmp", "a.csv" }), "/tmp/out.csv");
    EXPECT_EQ(provider.chooseColor(nullptr, "Colore", Qt::red), QColor(1, 2, 3));
    EXPECT_EQ(provider.chooseFolder(nullptr, "Cartella", "/home"), "/tmp/dir");
    ASSERT_EQ(dialogs.calls().size(), 3);
    EXPECT_EQ(dialogs.calls()[0].kind, DialogKind::SaveFile);
    EXPECT_EQ(dialogs.calls()[0].file.defaultExtension, "csv");
    EXPECT_EQ(dialogs.calls()[1].initialColor, QColor(Qt::red));
    EXPECT_EQ(dialogs.calls()[2].text, "/home");
}

TEST(ScriptedDialogs, ProviderIsRestoredWhenTheScriptEnds)
{
    DialogProvider* before = &DialogProvider::instance();
    {
        ScriptedDialogProvider dialogs;
        EXPECT_EQ(&DialogProvider::instance(), &dialogs);
    }
    EXPECT_EQ(&DialogProvider::instance(), before);
}

TEST(QtDialogs, AutomaticModeTakesScriptedAnswersAndPathsFromTheEnvironment)
{
    qputenv("CONTIVO_DIALOGS", "auto");
    qputenv("CONTIVO_DIALOG_ANSWERS", "7, 2");
    qputenv("CONTIVO_DIALOG_FILE", "/tmp/scelto.csv");
    QtDialogProvider provider;
    ::testing::internal::CaptureStderr();
    const int first = provider.messageBox(nullptr, "T", "a", MB_YESNO);
    const int second = provider.messageBox(nullptr, "T", "b", MB_OKCANCEL);
    const int third = provider.messageBox(nullptr, "T", "c", MB_YESNO); // answers used up: default
    const QString saved = provider.saveFileName(nullptr, { "Salva", "", "", "", "" });
    const QString folder = provider.chooseFolder(nullptr, "Cartella", "");
    ::testing::internal::GetCapturedStderr();
    for (const char* name : { "CONTIVO_DIALOGS", "CONTIVO_DIALOG_ANSWERS", "CONTIVO_DIALOG_FILE" })
        qunsetenv(name);
    EXPECT_EQ(first, IDNO);
    EXPECT_EQ(second, IDCANCEL);
    EXPECT_EQ(third, IDYES);
    EXPECT_EQ(saved, "/tmp/scelto.csv");
    EXPECT_TRUE(folder.isEmpty());
}

TEST(QtDialogs, AutomaticModeWritesTheBoxAndAnswersTheDefaultButton)
{
    qputenv("CONTIVO_DIALOGS", "auto");
    QtDialogProvider provider;
    ::testing::internal::CaptureStderr();
    const int confirm
        = provider.messageBox(nullptr, "Conferma chiusura", "Uscire da Contivo?", MB_YESNO | MB_ICONQUESTION);
    const int second = provider.messageBox(nullptr, "T", "riga1\r\nriga2", MB_YESNO | MB_DEFBUTTON2);
    const int ok = provider.messageBox(nullptr, "Contivo - Errore", "x", MB_OK | MB_ICONERROR);
    const QString opened = provider.openFileName(nullptr, { "Apri", "", "", "", "" });
    const std::string err = ::testing::internal::GetCapturedStderr();
    qunsetenv("CONTIVO_DIALOGS");
    EXPECT_EQ(confirm, IDYES);
    EXPECT_EQ(second, IDNO);
    EXPECT_EQ(ok, IDOK);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(err,
        "Conferma chiusura: Uscire da Contivo?\nT: riga1\\nriga2\nContivo - Errore: x\nApri: <open file>\n");
}

}
