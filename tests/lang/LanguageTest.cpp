#include "lang/Language.h"
#include "lang/LanguageChecks.h"

#include "base/AtomicFile.h"
#include "platform/Folders.h"
#include "support/TestSeams.h"
#include "support/Widgets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>

using namespace contivo;
using contivo::testing::ScriptedDialogProvider;

namespace {

const QString kNotFound = QStringLiteral("Language file not found.\nUsing default language.");

/// An application folder of its own with a Langs folder the test fills with cp1252 bytes.
class LanguageFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setApplicationFolderForTests(dir.path());
        ResetLanguage();
    }
    void TearDown() override
    {
        ResetLanguage();
        setApplicationFolderForTests({});
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = LanguageFolder() + name;
        writeFileAtomically(path, bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST(LanguageTable, KeysIgnoreCaseFirstLineWinsEmptyIsAbsent)
{
    const LanguageTable table({ "Form.Btn.Caption=Primo", "FORM.BTN.CAPTION=Secondo",
        "Vuoto.Hint=", "vuoto.hint=Tardi", "senza uguale", "Form.Lbl.Caption=a=b", "*Msg.Key=stella" });
    struct Row {
        const char* key;
        const char* expected;
    };
    const Row rows[] = {
        { "form.btn.caption", "Primo" },
        { "Form.Btn.Caption", "Primo" },
        { "Vuoto.Hint", "" }, // the first line counts even when its text is empty
        { "senza uguale", "" },
        { "Form.Lbl.Caption", "a=b" },
        { "Msg.Key", "" }, // a "*" line's key keeps its star
        { "*msg.key", "stella" },
        { "Manca", "" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(table.value(row.key), QString::fromUtf8(row.expected)) << row.key;
}

TEST(LanguageText, SplitAtSectionSign)
{
    struct Row {
        const char* text;
        bool trimLast;
        QStringList expected;
    };
    const Row rows[] = {
        { "a§b§", false, { "a", "b" } },
        { "a§§b", false, { "a", "", "b" } },
        { "§", false, { "" } },
        { "", false, {} },
        { " a §  b  ", true, { " a ", "b" } },
        { " a §  b  ", false, { " a ", "  b  " } },
        { "a§   ", true, { "a" } },
    };
    for (const Row& row : rows)
        EXPECT_EQ(SplitLanguageLines(QString::fromUtf8(row.text), row.trimLast), row.expected) << row.text;
}

TEST_F(LanguageFiles, ReadsCp1252WithAnyLineEnd)
{
    const QString path = write("X.lng",
        QByteArray("uno=caff\xE8\r\ndue=a\xA7"
                   "b\ntre\rquattro"));
    EXPECT_EQ(ReadLanguageFile(path), QStringList({ "uno=caffè", "due=a§b", "tre", "quattro" }));
}

TEST_F(LanguageFiles, MessagesComeOnlyFromStarLinesOfTheLoadedFile)
{
    GetLanguageText("Message.Error", "Errore"); // nothing loaded yet: defaults
    EXPECT_EQ(GetLanguageText("Message.Error", "Errore"), "Errore");
    const QString path = write("Prova.lng",
        "Message.Error=Non messaggio\r\n*message.error=Error\r\n*Message.Error=Secondo\r\n*Vuoto=\r\n"
        "* Spazio=x\r\n");
    LoadLanguageMessages(path);
    EXPECT_EQ(GetLanguageText("MESSAGE.ERROR", "Errore"), "Error");
    EXPECT_EQ(GetLanguageText("Vuoto", "predefinito"), "predefinito");
    EXPECT_EQ(GetLanguageText(" Spazio", "d"), "x");
    EXPECT_EQ(GetLanguageText("Altro", "d"), "d");

    // Every load replaces the list.
    LoadLanguageMessages(write("Altra.lng", "*Altro=nuovo\r\n"));
    EXPECT_EQ(GetLanguageText("Message.Error", "Errore"), "Errore");
    EXPECT_EQ(GetLanguageText("Altro", "d"), "nuovo");
}

TEST_F(LanguageFiles, MissingFileFallsBackToEnglishForMessages)
{
    write("English.lng", "*Message.Error=Error\r\n");
    ScriptedDialogProvider dialogs; // the fall-back is silent
    LoadLanguageMessages(LanguageFolder() + "Klingon.lng");
    EXPECT_EQ(GetLanguageText("Message.Error", "Errore"), "Error");
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(LanguageFiles, NoFileAtAllShowsTheBoxAndLeavesDefaults)
{
    LoadLanguageMessages(write("Italiano.lng", "*Message.Error=Sbaglio\r\n"));
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK);
    LoadLanguageMessages(LanguageFolder() + "Klingon.lng");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].title, "Error!");
    EXPECT_EQ(dialogs.messages()[0].text, kNotFound);
    EXPECT_EQ(dialogs.messages()[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(GetLanguageText("Message.Error", "Errore"), "Errore");
}

/// A window with one component of every kind language files translate.
struct SampleForm {
    SampleForm()
    {
        form.setObjectName("FormProva");
        form.setWindowTitle("Prova");
        auto named = [](QObject* o, const char* name) { o->setObjectName(name); };
        named(label = new QLabel("Etichetta", &form), "LblNota");
        named(button = new QPushButton("Annulla", &form), "BtnAnnulla");
        named(check = new QCheckBox("Spunta", &form), "ChkSpunta");
        named(group = new QGroupBox("Gruppo", &form), "GrpGruppo");
        named(panel = new FlatPanel(&form), "PnlTitolo");
        panel->setText("Titolo");
        named(combo = new QComboBox(&form), "CmbScelta");
        combo->addItems({ "uno", "due" });
        named(edit = new QLineEdit("testo", &form), "EditS_Nome");
        named(hints = new HintBox(&form), "HintAiuto");
        hints->setLines({ "riga" });
        named(list = new QTreeWidget(&form), "LstColonne");
        list->setHeaderLabels({ "A", "B", "C" });
        named(tabs = new QTabWidget(&form), "PagPagine");
        named(page = new QWidget, "TabSecondo");
        tabs->addTab(new QWidget, "Primo");
        tabs->addTab(page, "Secondo");
        named(action = new QAction("Esci", &form), "MnuEsci");
        unnamed = new QLabel("senza nome", &form);
    }
    QDialog form;
    QLabel* label;
    QPushButton* button;
    QCheckBox* check;
    QGroupBox* group;
    FlatPanel* panel;
    QComboBox* combo;
    QLineEdit* edit;
    HintBox* hints;
    QTreeWidget* list;
    QTabWidget* tabs;
    QWidget* page;
    QAction* action;
    QLabel* unnamed;
};

TEST(LanguageKinds, OneTableMapsQtClassesToKinds)
{
    SampleForm f;
    struct Row {
        QObject* object;
        std::optional<TranslatedKind> kind;
    };
    const Row rows[] = {
        { f.label, TranslatedKind::Label },
        { f.button, TranslatedKind::Button },
        { f.check, TranslatedKind::Button },
        { f.group, TranslatedKind::GroupBox },
        { f.panel, TranslatedKind::Panel },
        { f.combo, TranslatedKind::ComboBox },
        { f.edit, TranslatedKind::Edit },
        { f.hints, TranslatedKind::HintBox },
        { f.list, TranslatedKind::ListView },
        { f.page, TranslatedKind::TabPage },
        { f.action, TranslatedKind::Action },
        { f.tabs, std::nullopt },
        { &f.form, std::nullopt },
    };
    for (const Row& row : rows)
        EXPECT_EQ(TranslatedKindOf(row.object), row.kind) << row.object->objectName().toStdString();
}

TEST_F(LanguageFiles, TranslateComponentsReplacesEachKindAndKeepsTheRest)
{
    const QString path = write("Prova.lng",
        "; una nota\r\n"
        "FormProva.FormProva.Caption=Test window\r\n"
        "FormProva.FormProva.Hint=Window hint\r\n"
        "FormProva.LblNota.Caption=Prima\xA7Seconda\r\n"
        "FormProva.LblNota.Hint=Label hint\r\n"
        "formprova.btnannulla.caption=Can\xA7"
        "cel\r\n"
        "FormProva.BtnAnnulla.Caption=Ignored second line\r\n"
        "FormProva.BtnAnnulla.Hint=Close\r\n"
        "FormProva.ChkSpunta.Caption=\r\n"
        "FormProva.ChkSpunta.Hint=Tick\r\n"
        "FormProva.GrpGruppo.Caption=Group\r\n"
        "FormProva.PnlTitolo.Caption=Title\r\n"
        "FormProva.CmbScelta.Items=a\xA7"
        "b\xA7\r\n"
        "FormProva.EditS_Nome.Caption=name\r\n"
        "FormProva.HintAiuto.Lines=one\xA7two  \r\n"
        "FormProva.LstColonne.Col_0.Caption=First\r\n"
        "FormProva.LstColonne.Col_2.Caption=Third\r\n"
        "FormProva.TabSecondo.Caption=Second\r\n"
        "FormProva.TabSecondo.Hint=Second page\r\n"
        "FormProva.MnuEsci.Caption=Exit\r\n"
        "*FormProva.GrpGruppo.Hint=never a component\r\n");
    SampleForm f;
    ScriptedDialogProvider dialogs;
    EXPECT_TRUE(TranslateComponents(&f.form, path));

    EXPECT_EQ(f.form.windowTitle(), "Test window");
    EXPECT_EQ(f.form.toolTip(), "Window hint");
    EXPECT_EQ(f.label->text(), "Prima\nSeconda");
    EXPECT_EQ(f.label->toolTip(), "Label hint");
    EXPECT_EQ(f.button->text(), "Can§cel"); // only labels break lines at "§"
    EXPECT_EQ(f.button->toolTip(), "Close");
    EXPECT_EQ(f.check->text(), "Spunta"); // empty text: design text stays
    EXPECT_EQ(f.check->toolTip(), "Tick");
    EXPECT_EQ(f.group->title(), "Group");
    EXPECT_TRUE(f.group->toolTip().isEmpty());
    EXPECT_EQ(f.panel->text(), "Title");
    ASSERT_EQ(f.combo->count(), 2);
    EXPECT_EQ(f.combo->itemText(0), "a");
    EXPECT_EQ(f.combo->itemText(1), "b");
    EXPECT_EQ(f.edit->text(), "name");
    EXPECT_EQ(f.hints->lines(), QStringList({ "one", "two" }));
    EXPECT_EQ(f.list->headerItem()->text(0), "First");
    EXPECT_EQ(f.list->headerItem()->text(1), "B");
    EXPECT_EQ(f.list->headerItem()->text(2), "Third");
    EXPECT_EQ(f.tabs->tabText(1), "Second");
    EXPECT_EQ(f.tabs->tabToolTip(1), "Second page");
    EXPECT_EQ(f.tabs->tabText(0), "Primo");
    EXPECT_EQ(f.action->text(), "Exit");
    EXPECT_EQ(f.unnamed->text(), "senza nome");
    // Component lines are never messages.
    LoadLanguageMessages(path);
    EXPECT_EQ(GetLanguageText("FormProva.BtnAnnulla.Caption", "d"), "d");
}

TEST_F(LanguageFiles, ItemsKeepEmptyMiddlePieces)
{
    const QString path = write("Prova.lng",
        "FormProva.CmbScelta.Items=a\xA7\xA7"
        "b\r\n");
    SampleForm f;
    TranslateComponents(&f.form, path);
    ASSERT_EQ(f.combo->count(), 3);
    EXPECT_EQ(f.combo->itemText(1), "");
    EXPECT_EQ(f.combo->itemText(2), "b");
}

TEST_F(LanguageFiles, TableViewColumnsAreTranslatedThroughTheirModel)
{
    const QString path = write("Prova.lng", "FormProva.Dettagli.Col_1.Caption=Amount\r\n");
    QDialog form;
    form.setObjectName("FormProva");
    QStandardItemModel model(0, 2);
    model.setHorizontalHeaderLabels({ "Nome", "Importo" });
    auto* table = new QTableView(&form);
    table->setObjectName("Dettagli");
    table->setModel(&model);
    EXPECT_EQ(TranslatedKindOf(table), TranslatedKind::ListView);
    TranslateComponents(&form, path);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Nome");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Amount");
}

TEST_F(LanguageFiles, TranslateFormWithMissingLanguageUsesEnglishMessagesAndKeepsTheDesign)
{
    write("English.lng", "*Message.Error=Error\r\nFormProva.BtnAnnulla.Caption=Cancel\r\n");
    SampleForm f;
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK);
    TranslateForm(&f.form, "Klingon");
    EXPECT_EQ(CurrentLanguage(), "Klingon");
    EXPECT_EQ(GetLanguageText("Message.Error", "Errore"), "Error");
    EXPECT_EQ(f.button->text(), "Annulla");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, kNotFound);
}

TEST_F(LanguageFiles, TranslateFormWithNoFilesShowsTheBoxTwice)
{
    SampleForm f;
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK).answerMessage(IDOK);
    TranslateForm(&f.form, "Italiano");
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(GetLanguageText("Message.Error", "Errore"), "Errore");
    EXPECT_EQ(f.form.windowTitle(), "Prova");
    EXPECT_TRUE(QDir(LanguageFolder()).exists());
}

TEST_F(LanguageFiles, TranslateFormAppliesTheNamedLanguage)
{
    write("English.lng", "*Message.Error=Error\r\nFormProva.BtnAnnulla.Caption=Cancel\r\n");
    write("Italiano.lng", "*Message.Error=Errore grave\r\nFormProva.BtnAnnulla.Caption=Chiudi\r\n");
    SampleForm f;
    TranslateForm(&f.form, "Italiano");
    EXPECT_EQ(f.button->text(), "Chiudi");
    EXPECT_EQ(GetLanguageText("Message.Error", "x"), "Errore grave");
    TranslateForm(&f.form, "English");
    EXPECT_EQ(f.button->text(), "Cancel");
    EXPECT_EQ(GetLanguageText("Message.Error", "x"), "Error");
    EXPECT_EQ(CurrentLanguage(), "English");
}

TEST_F(LanguageFiles, LanguageListNamesTheLngFiles)
{
    write("Italiano.lng", "");
    write("English.lng", "");
    write("Note.txt", "");
    QStringList list = GetLanguageList();
    list.sort();
    EXPECT_EQ(list, QStringList({ "English", "Italiano" }));
}

TEST_F(LanguageFiles, ShowErrorKeyTitlesAndTexts)
{
    struct Row {
        const char* name;
        QByteArray file; // empty: no language loaded
        const char* key;
        QStringList args;
        const char* title;
        const char* text;
    };
    const Row rows[] = {
        { "undefined key", "", "MsgErr.Manca", {}, "Contivo - Errore", "Testo {0} predefinito" },
        { "undefined key, title word translated", "*Message.Error=Error\r\n", "MsgErr.Manca", { "X" },
            "Contivo - Error", "Testo X predefinito" },
        { "text without section sign", "*Message.Error=Error\r\n*MsgErr.Key=Solo testo {0}\r\n", "msgerr.key",
            { "1" }, "Contivo - Errore", "Solo testo 1" },
        { "own title word",
            "*MsgErr.Key=Attenzione\xA7"
            "File {0} mancante\xA7 davvero\r\n",
            "MsgErr.Key", { "a.csv" }, "Contivo - Attenzione", "File a.csv mancante§ davvero" },
        { "empty title word", "*MsgErr.Key=\xA7Senza titolo\r\n", "MsgErr.Key", {}, "Contivo - Errore",
            "Senza titolo" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetLanguage();
        if (!row.file.isEmpty())
            LoadLanguageMessages(write("Prova.lng", row.file));
        ScriptedDialogProvider dialogs;
        dialogs.answerMessage(IDOK);
        EXPECT_EQ(ShowErrorKey(row.key, "Testo {0} predefinito", row.args), IDOK);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0].title, QString::fromUtf8(row.title));
        EXPECT_EQ(dialogs.messages()[0].text, QString::fromUtf8(row.text));
        EXPECT_EQ(dialogs.messages()[0].flags, MB_OK | MB_ICONERROR);
    }
}

TEST_F(LanguageFiles, CheckCsvInterfaceReportsAMissingFile)
{
    const QString present = write("Movimenti.hdr", "x");
    ScriptedDialogProvider dialogs;
    EXPECT_TRUE(CheckCsvInterface(present));
    EXPECT_TRUE(dialogs.calls().isEmpty());
    dialogs.answerMessage(IDOK);
    EXPECT_FALSE(CheckCsvInterface(LanguageFolder() + "Manca.hdr"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].title, "Contivo - Errore");
    EXPECT_EQ(dialogs.messages()[0].text, QString::fromUtf8(kMsgNoCsvInterfaceText));
}

/// The language files shipped with the program.
class ShippedLanguages : public ::testing::Test {
protected:
    void SetUp() override
    {
        setApplicationFolderForTests(QStringLiteral(CONTIVO_SOURCE_DIR "/resources"));
        ResetLanguage();
    }
    void TearDown() override
    {
        ResetLanguage();
        setApplicationFolderForTests({});
    }
    static QMap<QString, QString> entries(const QString& language)
    {
        QMap<QString, QString> result;
        for (const QString& line : ReadLanguageFile(LanguageFolder() + language + ".lng"))
            if (const qsizetype eq = line.indexOf('='); eq > 0)
                result.insert(line.left(eq).toLower(), line.mid(eq + 1));
        return result;
    }
};

TEST_F(ShippedLanguages, BothFilesHaveTheSameKeysAndEveryKeyedMessage)
{
    const auto italian = entries("Italiano");
    const auto english = entries("English");
    EXPECT_EQ(italian.keys(), english.keys());
    for (const char* key : { "*message.error", "*msgerr.nocsvinterface", "*msgerr.csvdetailerror" })
        EXPECT_TRUE(italian.contains(key) && english.contains(key)) << key;
    for (auto it = english.cbegin(); it != english.cend(); ++it)
        EXPECT_FALSE(it.value().isEmpty()) << it.key().toStdString();
    EXPECT_EQ(italian.value("*msgerr.nocsvinterface"), QString::fromUtf8(kMsgNoCsvInterfaceText));
    EXPECT_EQ(italian.value("*msgerr.csvdetailerror"), QString::fromUtf8(kMsgCsvDetailErrorText));
    for (const char* file : { "Italiano.lng", "English.lng" }) {
        const QByteArray bytes = readWholeFile(LanguageFolder() + file);
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << file; // CR LF line ends only
        EXPECT_FALSE(bytes.contains("\xC3")) << file; // cp1252, not UTF-8
    }
    EXPECT_TRUE(readWholeFile(LanguageFolder() + "Italiano.lng").contains("\xE8")); // "è" as one byte
}

TEST_F(ShippedLanguages, EnglishTranslatesTheSettingsWindow)
{
    QDialog form;
    form.setObjectName("FormImpostazioni");
    form.setWindowTitle("Impostazioni");
    auto* cancel = new QPushButton("Annulla", &form);
    cancel->setObjectName("BtnAnnulla");
    auto* confirm = new QPushButton("Conferma", &form);
    confirm->setObjectName("BtnConferma");
    TranslateForm(&form, "English");
    EXPECT_EQ(form.windowTitle(), "Settings");
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(confirm->toolTip(), "Saves the settings and closes the window");
    EXPECT_EQ(GetLanguageText("Config.Interfaccia.MostraHint", "Interfaccia.MostraHint"), "Show hints");
    TranslateForm(&form, "Italiano");
    EXPECT_EQ(cancel->text(), "Annulla");
    EXPECT_EQ(GetLanguageText("Message.Error", "x"), "Errore");
}

}
