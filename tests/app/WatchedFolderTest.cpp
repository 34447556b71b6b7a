// Files dropped into the watched folder: the target from the name, the question for the category
// on screen, the category files after the import, the balloons, and the folder monitor itself.
#include "AppFixture.h"

#include "app/CategoryListView.h"
#include "app/FolderMonitor.h"
#include "app/MovementImport.h"
#include "base/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

using namespace contivo;
using namespace contivo::testing;

namespace {

const QString kQuestion
    = "E' stata richiesta l'importazione di nuovi movimenti nella categoria corrente. Si desidera "
      "procedere all'importazione?";

class WatchedFolderTest : public AppFixture {
protected:
    QString drop(const QString& name, const QByteArray& csv)
    {
        const QString path = exchange() + name;
        writeText(path, csv);
        return path;
    }
    static QByteArray csv(std::initializer_list<const char*> lines)
    {
        QByteArray bytes = "Data;Tipologia;Commento;Importo\r\n";
        for (const char* line : lines)
            bytes += QByteArray(line) + "\r\n";
        return bytes;
    }
    const RecordingNotifier::Balloon& lastBalloon() const { return m_balloons->balloons().last(); }
    void expectBalloon(const QString& title, const QString& text, NotifyIcon icon, int index = -1)
    {
        ASSERT_FALSE(m_balloons->balloons().isEmpty());
        const auto& b = index < 0 ? lastBalloon() : m_balloons->balloons().at(index);
        EXPECT_EQ(b.title, title);
        EXPECT_EQ(b.text, text);
        EXPECT_EQ(b.icon, icon);
        EXPECT_EQ(b.msecs, 136000);
    }
    QString failureText(const QString& path) const
    {
        return "Il tentativo di importazione dei movimenti nel file '" + path
            + "' è fallito. Il formato potrebbe essere errato. Il file è stato rimosso.";
    }
    const std::vector<Row> earlier { { QDate(2024, 1, 10), "Casa", "affitto", 500, 1 } };
};

}

TEST_F(WatchedFolderTest, CurrentCategoryIsAskedAndYesAppendsTheYearsRows)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    writeMovements(yearFolder(2024) + "Casa.IN", {});
    writeMovements(yearFolder(2024) + "Auto.OUT", {});
    createWindow();
    select("Casa");
    const QString path = drop("Movimenti_Casa_2024_USCITE.csv",
        csv({ "05/03/2024;Cibo;spesa;12,50", "31/12/2023;Cibo;vecchia;1,00",
            "20/11/2024;Luce;bolletta;80" }));

    m_dialogs->answerMessage(IDYES);
    m_main->FolderMonitorChange();

    ASSERT_EQ(m_dialogs->messages().size(), 1);
    EXPECT_EQ(m_dialogs->messages().first().title, "");
    EXPECT_EQ(m_dialogs->messages().first().text, kQuestion);
    EXPECT_EQ(m_dialogs->messages().first().flags, MB_YESNO | MB_ICONQUESTION);
    const std::vector<Row> expected { earlier[0], { QDate(2024, 3, 5), "Cibo", "spesa", 12.5, 3 },
        { QDate(2024, 11, 20), "Luce", "bolletta", 80, 11 } };
    EXPECT_EQ(readMovements(yearFolder(2024) + "Casa.OUT"), expected);
    EXPECT_TRUE(readMovements(yearFolder(2024) + "Casa.IN").empty());
    EXPECT_FALSE(QFile::exists(path));
    expectBalloon("Importazione movimenti",
        "Sono state importate 2 nuove uscite per la categoria Casa. Il file è stato rimosso.",
        NotifyIcon::Information);
    EXPECT_EQ(m_main->ListaCategorie()->selectedCaption(), "Casa");
}

TEST_F(WatchedFolderTest, AnsweringNoRemovesTheFileAndKeepsTheCategory)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    createWindow();
    select("Casa");
    const QByteArray before = readWholeFile(yearFolder(2024) + "Casa.OUT");
    // The category is compared without regard to case.
    const QString path = drop("Movimenti_CASA_2024_uscite.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));

    m_dialogs->answerMessage(IDNO);
    m_main->FolderMonitorChange();

    EXPECT_EQ(readWholeFile(yearFolder(2024) + "Casa.OUT"), before);
    EXPECT_FALSE(QFile::exists(path));
    expectBalloon("Importazione movimenti",
        "L'importazione dal file '" + path + "' è stata rifiutata dall'utente. Il file è stato rimosso.",
        NotifyIcon::Information);
}

TEST_F(WatchedFolderTest, OtherCategoryOrYearImportsWithoutAskingAndLeavesTheList)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    writeMovements(yearFolder(2023) + "Auto.OUT", {});
    createWindow();
    m_main->BtnAnnoPrecedenteClick();
    select("Auto");
    drop("Movimenti_Casa_2024_USCITE.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));
    drop("Movimenti_Banca_2023_ENTRATE.csv", csv({ "01/02/2023;Stipendio;febbraio;1500" }));

    m_main->FolderMonitorChange();

    EXPECT_TRUE(m_dialogs->calls().isEmpty());
    EXPECT_EQ(readMovements(yearFolder(2024) + "Casa.OUT").size(), 2u);
    EXPECT_EQ(readMovements(yearFolder(2023) + "Banca.IN"),
        (std::vector<Row> { { QDate(2023, 2, 1), "Stipendio", "febbraio", 1500, 2 } }));
    EXPECT_EQ(m_balloons->balloons().size(), 2);
    EXPECT_TRUE(QDir(exchange()).isEmpty());
    // The 2023 import rebuilt the list and selected the imported category; 2024 left it alone.
    EXPECT_EQ(listed(), (QStringList { "Auto", "Banca" }));
    EXPECT_EQ(m_main->ListaCategorie()->selectedCaption(), "Banca");
}

TEST_F(WatchedFolderTest, ANewCategoryGetsBothFilesWithTheMovementFields)
{
    createWindow();
    drop("Movimenti_Nuova_2024_ENTRATE.csv", csv({ "15/06/2024;Regalo;compleanno;50" }));
    m_main->FolderMonitorChange();

    QStringList inFields, outFields;
    EXPECT_EQ(readMovements(yearFolder(2024) + "Nuova.IN", &inFields),
        (std::vector<Row> { { QDate(2024, 6, 15), "Regalo", "compleanno", 50, 6 } }));
    EXPECT_TRUE(readMovements(yearFolder(2024) + "Nuova.OUT", &outFields).empty());
    const QStringList movementFields { "Data", "Tipologia", "Commento", "Movimento", "Mese", "Saldo" };
    EXPECT_EQ(inFields, movementFields);
    EXPECT_EQ(outFields, movementFields);
    EXPECT_EQ(listed(), QStringList { "Nuova" });
    EXPECT_EQ(m_main->ListaCategorie()->selectedCaption(), "Nuova");
    expectBalloon("Importazione movimenti",
        "Sono state importate 1 nuove entrate per la categoria Nuova. Il file è stato rimosso.",
        NotifyIcon::Information);
}

TEST_F(WatchedFolderTest, NamesThatGiveNoSideOrNoRowsFailAndRemoveTheFile)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    createWindow();
    const QByteArray before = readWholeFile(yearFolder(2024) + "Casa.OUT");
    const QString noSide = drop("Movimenti_Casa_2024.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));
    const QString badSide = drop("Movimenti_Casa_2024_SPESE.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));
    const QString empty = drop("Movimenti_Vuota_2024_ENTRATE.csv", csv({}));

    m_main->FolderMonitorChange();

    EXPECT_TRUE(QDir(exchange()).isEmpty());
    ASSERT_EQ(m_balloons->balloons().size(), 3);
    QStringList texts;
    for (const auto& b : m_balloons->balloons()) {
        EXPECT_EQ(b.title, "Importazione movimenti fallita");
        EXPECT_EQ(b.icon, NotifyIcon::Error);
        texts.append(b.text.left(255));
    }
    for (const QString& path : { noSide, badSide, empty })
        EXPECT_TRUE(texts.contains(failureText(path).left(255))) << path.toStdString();
    EXPECT_EQ(readWholeFile(yearFolder(2024) + "Casa.OUT"), before);
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Vuota.IN"));
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Vuota.OUT"));
}

TEST_F(WatchedFolderTest, RowsOfOtherYearsOnlyRewriteTheEarlierMovements)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    createWindow();
    const QString path = drop("Movimenti_Casa_2024_USCITE.csv", csv({ "05/03/2023;Cibo;vecchia;12,50" }));
    m_main->FolderMonitorChange();
    EXPECT_EQ(readMovements(yearFolder(2024) + "Casa.OUT"), earlier);
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Casa.IN")) << "the category is given both files";
    EXPECT_FALSE(QFile::exists(path));
    expectBalloon("Importazione movimenti fallita", failureText(path).left(255), NotifyIcon::Error);
}

TEST_F(WatchedFolderTest, AYearThatIsNotANumberLeavesTheFileForTheNextChange)
{
    createWindow();
    const QString path = drop("Movimenti_Casa_2O24_ENTRATE.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));
    const QString good = drop("Movimenti_Auto_2024_USCITE.csv", csv({ "05/03/2024;Benzina;pieno;60" }));
    m_dialogs->answerMessage(IDOK);
    m_main->FolderMonitorChange();

    ASSERT_EQ(m_dialogs->messages().size(), 1);
    EXPECT_EQ(m_dialogs->messages().first().title, "Contivo");
    EXPECT_EQ(m_dialogs->messages().first().text, "'2O24' is not a valid integer value");
    EXPECT_EQ(m_dialogs->messages().first().flags, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(good)) << "the loop goes on with the next entry";
    EXPECT_EQ(readMovements(yearFolder(2024) + "Auto.OUT").size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(userFolder() + "Tabelle/2O24"));
}

TEST_F(WatchedFolderTest, AYearWithLeadingZerosNamesItsOwnFolderButComparesAsANumber)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    createWindow();
    select("Casa");
    drop("Movimenti_Casa_02024_ENTRATE.csv", csv({ "05/03/2024;Regalo;nonna;20" }));
    m_dialogs->answerMessage(IDYES);
    m_main->FolderMonitorChange();

    ASSERT_EQ(m_dialogs->messages().size(), 1);
    EXPECT_EQ(m_dialogs->messages().first().text, kQuestion);
    EXPECT_EQ(readMovements(yearFolder("02024") + "Casa.IN"),
        (std::vector<Row> { { QDate(2024, 3, 5), "Regalo", "nonna", 20, 3 } }));
    EXPECT_TRUE(QFile::exists(yearFolder("02024") + "Casa.OUT"));
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Casa.IN"));
}

TEST_F(WatchedFolderTest, AMissingInterfaceIsShownAndTheFileStays)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    createWindow();
    QFile::remove(MovementImport::interfaceFile());
    const QByteArray before = readWholeFile(yearFolder(2024) + "Casa.OUT");
    const QString path = drop("Movimenti_Casa_2024_USCITE.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));
    m_dialogs->answerMessage(IDOK);
    m_main->FolderMonitorChange();
    ASSERT_EQ(m_dialogs->messages().size(), 1);
    EXPECT_EQ(m_dialogs->messages().first().title, "Contivo");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(readWholeFile(yearFolder(2024) + "Casa.OUT"), before);
    EXPECT_TRUE(m_balloons->balloons().isEmpty());
}

TEST(FolderMonitorTest, ReportsOnceAfterTheFolderHasBeenQuiet)
{
    QTemporaryDir tmp;
    FolderMonitor monitor;
    monitor.setDelay(200);
    monitor.setFolder(tmp.path());
    QSignalSpy spy(&monitor, &FolderMonitor::changed);
    writeFileAtomically(tmp.path() + "/Movimenti_A_2024_ENTRATE.csv", "a");
    writeFileAtomically(tmp.path() + "/Movimenti_B_2024_ENTRATE.csv", "b");
    ASSERT_TRUE(spy.wait(10000));
    EXPECT_EQ(spy.count(), 1);

    // A round that leaves the folder as it found it causes no further report.
    monitor.markHandled();
    monitor.retrigger();
    EXPECT_FALSE(spy.wait(1000));
    EXPECT_EQ(spy.count(), 1);

    // A write into an existing file is a change too.
    QFile file(tmp.path() + "/Movimenti_A_2024_ENTRATE.csv");
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("more");
    file.close();
    ASSERT_TRUE(spy.wait(10000));
    EXPECT_EQ(spy.count(), 2);
}

TEST(FolderMonitorTest, AFileStillGrowingPutsTheReportOff)
{
    QTemporaryDir tmp;
    FolderMonitor monitor;
    monitor.setDelay(300);
    monitor.setFolder(tmp.path());
    QSignalSpy spy(&monitor, &FolderMonitor::changed);
    QFile file(tmp.path() + "/Movimenti_A_2024_ENTRATE.csv");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Keep writing for several delays: no report may arrive while the file grows.
    for (int i = 0; i < 8; ++i) {
        file.write("riga;riga;riga\r\n");
        file.flush();
        EXPECT_FALSE(spy.wait(150)) << "reported while still being written, step " << i;
    }
    file.close();
    ASSERT_TRUE(spy.wait(10000));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(WatchedFolderTest, AChangeReportedWhileTheQuestionIsOpenDoesNotImportTwice)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", earlier);
    createWindow();
    select("Casa");
    drop("Movimenti_Casa_2024_USCITE.csv", csv({ "05/03/2024;Cibo;spesa;12,50" }));

    // While the question is on screen the event loop runs and the monitor may report again.
    struct ReenteringDialogs : DialogProvider {
        TFormContivoMain* window = nullptr;
        int questions = 0;
        int messageBox(QWidget*, const QString&, const QString&, unsigned) override
        {
            ++questions;
            window->FolderMonitorChange();
            return IDYES;
        }
        QString openFileName(QWidget*, const FileDialogRequest&) override { return {}; }
        QString saveFileName(QWidget*, const FileDialogRequest&) override { return {}; }
        QColor chooseColor(QWidget*, const QString&, const QColor&) override { return {}; }
        QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    } dialogs;
    dialogs.window = m_main.get();
    DialogProvider* previous = DialogProvider::setInstance(&dialogs);
    m_main->FolderMonitorChange();
    DialogProvider::setInstance(previous);

    EXPECT_EQ(dialogs.questions, 1);
    EXPECT_EQ(readMovements(yearFolder(2024) + "Casa.OUT").size(), 2u);
    EXPECT_EQ(m_balloons->balloons().size(), 1);
    EXPECT_TRUE(m_main->monitor()->pending()) << "the folder is looked at again once the round is over";
}
