// The main window driven headless: years, category commands, notes, view styles, exit question.
#include "AppFixture.h"

#include "app/CategoryListView.h"
#include "base/AtomicFile.h"
#include "config/Startup.h"
#include "lang/Language.h"
#include "ledger/TFormDettagliCategoria.h"
#include "support/DialogProvider.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace contivo;
using namespace contivo::testing;

namespace {

class MainWindowTest : public AppFixture {
protected:
    QString labelText(const char* name) const
    {
        return m_main->findChild<QLabel*>(QLatin1String(name))->text();
    }
    QAction* action(const QString& name) const { return m_main->findChild<QAction*>(name); }
    QToolButton* button(const char* name) const
    {
        return m_main->findChild<QToolButton*>(QLatin1String(name));
    }
    QString notesCaption() const { return button("BtnSceltaAppunti")->text(); }
    QStringList notes() const
    {
        QStringList lines;
        for (int i = 0; i < m_main->ElencoAppunti()->count(); ++i)
            lines.append(m_main->ElencoAppunti()->item(i)->text());
        return lines;
    }
    void addNote(const QString& text)
    {
        m_main->EditAppunto()->setText(text);
        button("BtnAggiungiAppunto")->click();
    }
    void createCategoryFiles(int year, const QString& name)
    {
        QDir().mkpath(yearFolder(year));
        writeMovements(yearFolder(year) + name + ".OUT", {});
        writeMovements(yearFolder(year) + name + ".IN", {});
    }
    void expectBox(const QString& title, const QString& text, unsigned flags, int index = -1)
    {
        const QList<DialogCall> boxes = m_dialogs->messages();
        ASSERT_FALSE(boxes.isEmpty());
        const DialogCall& box = index < 0 ? boxes.last() : boxes.at(index);
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.flags, flags);
    }
};

}

TEST_F(MainWindowTest, StartsOnTheCurrentYearWithItsMenusAndMonths)
{
    createWindow();
    EXPECT_EQ(m_main->windowTitle(), "Contivo - Categorie");
    EXPECT_EQ(m_main->anno(), 2024);
    EXPECT_EQ(labelText("LabelAnno"), "Anno 2024");
    EXPECT_EQ(labelText("BarraStatoPannello0"), "Anno: 2024");
    EXPECT_EQ(m_main->linguaInUso(), "Italiano");
    EXPECT_TRUE(QFileInfo(yearFolder(2024)).isDir());
    EXPECT_TRUE(QFileInfo(exchange()).isDir());

    QStringList years;
    for (QAction* item : m_main->findChild<QMenu*>("MnuAnno")->actions())
        years.append(item->objectName() + "=" + item->text());
    ASSERT_EQ(years.size(), 25);
    EXPECT_EQ(years.first(), "PopAnno_2002=2002");
    EXPECT_EQ(years.last(), "PopAnno_2026=2026");

    QStringList menus;
    for (QAction* item : m_main->menuBar()->actions())
        menus.append(item->text());
    EXPECT_EQ(menus, (QStringList { "&Anno", "Tabelle", "Strumenti", "Ai&uto" }));
    for (const char* name : { "PopTipologie", "PopEsportaBackup", "PopImportaBackup", "PopGestioneBackup",
             "PopImpostazioni", "PopupAutore" }) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_FALSE(action(name)->isEnabled()) << name << " has no window to open yet";
    }
    int called = 0;
    m_main->setCommand("PopTipologie", [&called] { ++called; });
    EXPECT_TRUE(action("PopTipologie")->isEnabled());
    action("PopTipologie")->trigger();
    EXPECT_EQ(called, 1);

    RecordTable& mesi = m_dc->TabellaMesi;
    ASSERT_EQ(mesi.TotalRowCount(), 12);
    int expected = 1;
    for (mesi.First(); !mesi.Eof(); mesi.Next())
        EXPECT_EQ(mesi.FieldByName("Mese").AsInteger(), expected++);

    auto* bar = m_main->findChild<QToolBar*>("BarraPulsanti");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isAreaAllowed(Qt::TopToolBarArea));
    EXPECT_TRUE(bar->isAreaAllowed(Qt::BottomToolBarArea));
    EXPECT_FALSE(bar->isAreaAllowed(Qt::LeftToolBarArea));
    EXPECT_FALSE(bar->isAreaAllowed(Qt::RightToolBarArea));

    // Pictures from the pics folder, captions from the language file.
    for (const char* name : { "BtnAggiungi", "BtnElimina", "BtnModifica", "BtnAggiungiAppunto",
             "BtnEliminaAppunto", "BtnAnnoPrecedente", "BtnAnnoSuccessivo" })
        EXPECT_FALSE(button(name)->icon().isNull()) << name;
    EXPECT_EQ(labelText("PnlCategorie"), " Categorie");
    EXPECT_EQ(labelText("PnlAppunti"), " Appunti e note");
}

TEST_F(MainWindowTest, YearCommandsMoveTheYearInViewWithoutBounds)
{
    createCategoryFiles(2010, "Casa");
    createWindow();
    const struct {
        const char* what;
        std::function<void()> command;
        int year;
    } steps[] = {
        { "menu 2010", [this] { action("PopAnno_2010")->trigger(); }, 2010 },
        { "menu 2002", [this] { action("PopAnno_2002")->trigger(); }, 2002 },
        { "strip back from 2002", [this] { button("BtnAnnoPrecedente")->click(); }, 2001 },
        { "menu 2026", [this] { action("PopAnno_2026")->trigger(); }, 2026 },
        { "strip forward from 2026", [this] { button("BtnAnnoSuccessivo")->click(); }, 2027 },
        { "strip forward again", [this] { button("BtnAnnoSuccessivo")->click(); }, 2028 },
    };
    for (const auto& step : steps) {
        step.command();
        EXPECT_EQ(m_main->anno(), step.year) << step.what;
        EXPECT_EQ(labelText("LabelAnno"), QString("Anno %1").arg(step.year)) << step.what;
        EXPECT_EQ(labelText("BarraStatoPannello0"), QString("Anno: %1").arg(step.year)) << step.what;
        EXPECT_TRUE(QFileInfo(yearFolder(step.year)).isDir()) << step.what;
        EXPECT_EQ(listed(), step.year == 2010 ? QStringList { "Casa" } : QStringList {}) << step.what;
    }
}

TEST_F(MainWindowTest, StartingOnNewYearsDayBeyondTheMenuShowsThatYear)
{
    m_start = QDateTime(QDate(2027, 1, 1), QTime(0, 0));
    m_clock->set(m_start);
    createWindow();
    EXPECT_EQ(m_main->anno(), 2027);
    EXPECT_EQ(labelText("LabelAnno"), "Anno 2027");
    EXPECT_EQ(action("PopAnno_2027"), nullptr);
}

TEST_F(MainWindowTest, ListsCategoriesWithTheirIcons)
{
    QDir().mkpath(yearFolder(2024));
    createCategoryFiles(2024, "Casa");
    createCategoryFiles(2024, "Auto");
    createCategoryFiles(2024, "Rotta");
    writeMovements(yearFolder(2024) + "Solo.IN", {});
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(yearFolder(2024) + "Auto.ICO", "ICO"));
    writeText(yearFolder(2024) + "Rotta.ICO", "broken");
    createWindow();

    EXPECT_EQ(listed(), (QStringList { "Auto", "Casa", "Rotta" }));
    CategoryListView* list = m_main->ListaCategorie();
    EXPECT_EQ(list->imageCount(), 2);
    for (int row = 0; row < list->count(); ++row) {
        EXPECT_EQ(list->imageIndex(row), list->caption(row) == "Auto" ? 1 : 0)
            << list->caption(row).toStdString();
        EXPECT_FALSE(list->editable(row));
    }
    EXPECT_EQ(list->largeImage(1).toImage().pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(list->smallImage(1).size(), QSize(16, 16));
    EXPECT_FALSE(list->smallImage(0).isNull());
}

TEST_F(MainWindowTest, CreatingACategoryWritesTwoEmptyMovementFiles)
{
    createWindow();
    expectName("Casa");
    button("BtnAggiungi")->click();
    EXPECT_EQ(m_modal->ran(), QStringList { "FormNuovaCategoria" });
    for (const char* ext : { ".OUT", ".IN" }) {
        QStringList fields;
        EXPECT_TRUE(readMovements(yearFolder(2024) + "Casa" + ext, &fields).empty());
        EXPECT_EQ(fields, (QStringList { "Data", "Tipologia", "Commento", "Movimento", "Mese", "Saldo" }))
            << ext;
    }
    EXPECT_EQ(listed(), QStringList { "Casa" });
    EXPECT_TRUE(m_dialogs->calls().isEmpty());

    expectName("Ignorata", false);
    button("BtnAggiungi")->click();
    EXPECT_EQ(listed(), QStringList { "Casa" });
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Ignorata.OUT"));
}

TEST_F(MainWindowTest, CreatingARefusedOrExistingNameChangesNoFile)
{
    createWindow();
    writeMovements(yearFolder(2024) + "Casa.IN", { { QDate(2024, 3, 1), "Cibo", "spesa", 12.5, 3 } });
    const QByteArray stored = readWholeFile(yearFolder(2024) + "Casa.IN");
    const struct {
        QString name;
        QString message;
    } cases[] = {
        { "a/b",
            "Il nome categoria specificato non sembra essere un nome valido. I caratteri '' non sono "
            "ammessi" },
        { "x?",
            "Il nome categoria specificato non sembra essere un nome valido. I caratteri '' non sono "
            "ammessi" },
        { "..",
            "Il nome categoria specificato non sembra essere un nome valido. I caratteri '' non sono "
            "ammessi" },
        { "Casa", "Esiste già una categoria con il nome specificato" },
        { "CASA", "Esiste già una categoria con il nome specificato" },
    };
    for (const auto& c : cases) {
        expectName(c.name);
        m_dialogs->answerMessage(IDOK);
        m_main->BtnAggiungiClick();
        expectBox("Contivo - Errore", c.message, MB_OK | MB_ICONERROR);
    }
    EXPECT_EQ(readWholeFile(yearFolder(2024) + "Casa.IN"), stored);
    EXPECT_EQ(QDir(yearFolder(2024)).entryList(QDir::Files | QDir::Hidden), QStringList { "Casa.IN" });
    EXPECT_TRUE(listed().isEmpty()) << "a name with only an income file is not listed";

    // The empty name is allowed and makes a category with an empty caption.
    expectName("");
    m_main->BtnAggiungiClick();
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + ".OUT"));
    EXPECT_EQ(listed(), QStringList { "" });
}

TEST_F(MainWindowTest, CommandsOnTheSelectedCategoryNeedASelection)
{
    createCategoryFiles(2024, "Casa");
    createWindow();
    const struct {
        const char* what;
        std::function<void()> command;
    } commands[] = {
        { "rename", [this] { action("PopRinomina")->trigger(); } },
        { "delete", [this] { button("BtnElimina")->click(); } },
        { "delete from the popup", [this] { action("PopElimina")->trigger(); } },
        { "icon", [this] { action("PopCambiaIcona")->trigger(); } },
        { "restore icon", [this] { action("PopRipristinaIcona")->trigger(); } },
    };
    for (const auto& c : commands) {
        m_dialogs->answerMessage(IDOK);
        c.command();
        expectBox("Contivo - Avviso", "E' necessario selezionare una categoria", MB_OK | MB_ICONWARNING);
        EXPECT_TRUE(m_modal->ran().isEmpty()) << c.what;
    }
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Casa.OUT"));

    m_main->PopupCategoriaPopup();
    for (const char* name : { "PopElimina", "PopRinomina", "PopVisualizza" })
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(action("PopCambiaIcona")->isEnabled());
    select("Casa");
    m_main->PopupCategoriaPopup();
    for (const char* name : { "PopElimina", "PopRinomina", "PopVisualizza" })
        EXPECT_TRUE(action(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, RenameMovesTheFilesOrReportsWhyNot)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", { { QDate(2024, 2, 2), "Cibo", "pane", 3, 2 } });
    writeMovements(yearFolder(2024) + "Casa.IN", {});
    writeMovements(yearFolder(2024) + "Auto.out", {});
    writeText(yearFolder(2024) + "Casa.lst", "nota\r\n");
    createWindow();

    const QString failure = "Impossibile rinominare la categoria selezionata";
    for (const char* target : { "Auto", "a/b" }) {
        select("Casa");
        expectName(target);
        m_dialogs->answerMessage(IDOK);
        m_main->PopupRinominaCategoriaClick();
        expectBox("Contivo - Errore", failure, MB_OK | MB_ICONERROR);
        EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Casa.OUT")) << target;
    }

    select("Casa");
    expectName("Spese");
    m_main->PopupRinominaCategoriaClick();
    EXPECT_EQ(listed(), (QStringList { "Auto", "Spese" }));
    EXPECT_EQ(readMovements(yearFolder(2024) + "Spese.OUT").size(), 1u);
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Spese.IN"));
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Casa.lst")) << "notes keep the old name";
    EXPECT_EQ(m_main->ListaCategorie()->selectedRow(), -1);

    select("Spese");
    expectName("Altro", false);
    m_main->PopupRinominaCategoriaClick();
    EXPECT_EQ(listed(), (QStringList { "Auto", "Spese" }));
}

TEST_F(MainWindowTest, DeleteAsksAndRemovesBothFiles)
{
    createCategoryFiles(2024, "Casa");
    writeMovements(yearFolder(2024) + "Auto.OUT", {});
    createWindow();

    select("Casa");
    m_dialogs->answerMessage(IDNO);
    button("BtnElimina")->click();
    expectBox("Conferma eliminazione", "Eliminare la categoria selezionata?", MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Casa.OUT"));

    m_dialogs->answerMessage(IDYES);
    button("BtnElimina")->click();
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Casa.OUT"));
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Casa.IN"));
    EXPECT_EQ(listed(), QStringList { "Auto" });
    EXPECT_EQ(m_dialogs->messages().size(), 2);

    select("Auto");
    m_dialogs->answerMessage(IDYES).answerMessage(IDOK);
    action("PopElimina")->trigger();
    expectBox("Contivo - Errore", "Impossibile eliminare completamente la categoria selezionata",
        MB_OK | MB_ICONERROR);
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Auto.OUT"));
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(MainWindowTest, IconIsChangedAndRestored)
{
    createCategoryFiles(2024, "Casa");
    const QString source = m_tmp.path() + "/green.ico";
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(source, "ICO"));
    createWindow();

    select("Casa");
    m_dialogs->answerOpenFile(QString());
    action("PopCambiaIcona")->trigger();
    EXPECT_EQ(m_dialogs->calls().last().title, "Seleziona icona");
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Casa.ICO"));

    select("Casa");
    m_dialogs->answerOpenFile(source);
    action("PopCambiaIcona")->trigger();
    EXPECT_EQ(readWholeFile(yearFolder(2024) + "Casa.ICO"), readWholeFile(source));
    EXPECT_EQ(m_main->ListaCategorie()->imageIndex(0), 1);

    select("Casa");
    m_dialogs->answerOpenFile(m_tmp.path() + "/missing.ico").answerMessage(IDOK);
    action("PopCambiaIcona")->trigger();
    expectBox("Contivo - Errore",
        "Non è stato possibile copiare il file indicato. Potrebbe essere in uso o protetto.",
        MB_OK | MB_ICONERROR);

    select("Casa");
    m_dialogs->answerMessage(IDNO);
    action("PopRipristinaIcona")->trigger();
    expectBox("Conferma operazione", "Ripristinare l'icona predefinita?", MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(QFile::exists(yearFolder(2024) + "Casa.ICO"));

    select("Casa");
    m_dialogs->answerMessage(IDYES);
    action("PopRipristinaIcona")->trigger();
    EXPECT_FALSE(QFile::exists(yearFolder(2024) + "Casa.ICO"));
    EXPECT_EQ(m_main->ListaCategorie()->imageIndex(0), 0);

    select("Casa");
    m_dialogs->answerMessage(IDYES).answerMessage(IDOK);
    action("PopRipristinaIcona")->trigger();
    expectBox(
        "Contivo - Errore", "Non è stato possibile ripriostinare l'icona predefinita", MB_OK | MB_ICONERROR);
}

TEST_F(MainWindowTest, ViewStylesChangeTheListAndTheButtonCaption)
{
    createCategoryFiles(2024, "Casa");
    createWindow();
    CategoryListView* list = m_main->ListaCategorie();
    EXPECT_EQ(list->style(), CategoryListView::Style::List);
    EXPECT_TRUE(action("PopLista")->isChecked());
    EXPECT_EQ(button("BtnVistaCategorie")->text(), "Lista");
    select("Casa");

    const struct {
        const char* item;
        CategoryListView::Style style;
        const char* caption;
        int border;
        QSize iconSize;
    } cases[] = {
        { "PopIconeGrandi", CategoryListView::Style::LargeIcons, "Icone grandi", 4, QSize(32, 32) },
        { "PopDettagli", CategoryListView::Style::Details, "Dettagli", 0, QSize(16, 16) },
        { "PopIconePiccole", CategoryListView::Style::SmallIcons, "Icone piccole", 4, QSize(16, 16) },
        { "PopLista", CategoryListView::Style::List, "Lista", 4, QSize(16, 16) },
    };
    for (const auto& c : cases) {
        action(c.item)->trigger();
        EXPECT_EQ(list->style(), c.style) << c.item;
        EXPECT_TRUE(action(c.item)->isChecked()) << c.item;
        EXPECT_EQ(button("BtnVistaCategorie")->text(), c.caption);
        EXPECT_EQ(list->contentsMargins().left(), c.border) << c.item;
        auto* view = qobject_cast<QAbstractItemView*>(list->currentView());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->iconSize(), c.iconSize) << c.item;
        EXPECT_EQ(list->selectedCaption(), "Casa") << "the selection survives a change of style";
        if (c.style == CategoryListView::Style::Details) {
            auto* table = qobject_cast<QTableView*>(view);
            ASSERT_NE(table, nullptr);
            EXPECT_TRUE(table->showGrid());
            EXPECT_EQ(table->columnWidth(0), 210);
            EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), "Categoria");
        } else {
            auto* listView = qobject_cast<QListView*>(view);
            ASSERT_NE(listView, nullptr);
            EXPECT_EQ(
                listView->viewMode() == QListView::IconMode, c.style == CategoryListView::Style::LargeIcons);
        }
    }
}

TEST_F(MainWindowTest, GeneralNotesAreAddedSavedAndDeleted)
{
    createWindow();
    const QString file = yearFolder(2024) + "Appunti.lst";
    EXPECT_EQ(m_main->fileAppunti(), file);

    addNote("");
    EXPECT_FALSE(QFile::exists(file)) << "an empty edit adds nothing";
    addNote("Pagare l'affitto");
    addNote("Pagare l'affitto");
    addNote(QString::fromUtf8("Bolletta luce 45€"));
    EXPECT_TRUE(m_main->EditAppunto()->text().isEmpty());
    EXPECT_EQ(
        readWholeFile(file), QByteArray("Pagare l'affitto\r\nPagare l'affitto\r\nBolletta luce 45\x80\r\n"));

    // Selecting a line shows it in the edit; editing the edit never changes the line.
    QListWidget* list = m_main->ElencoAppunti();
    list->setCurrentRow(2);
    m_main->ElencoAppuntiClick();
    EXPECT_EQ(m_main->EditAppunto()->text(), QString::fromUtf8("Bolletta luce 45€"));
    EXPECT_TRUE(button("BtnEliminaAppunto")->isEnabled());
    m_main->EditAppunto()->setText("modificata");
    EXPECT_EQ(list->item(2)->text(), QString::fromUtf8("Bolletta luce 45€"));

    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(notes(), (QStringList { "Pagare l'affitto", QString::fromUtf8("Bolletta luce 45€") }));
    EXPECT_EQ(readWholeFile(file), QByteArray("Pagare l'affitto\r\nBolletta luce 45\x80\r\n"));
    EXPECT_TRUE(m_main->EditAppunto()->text().isEmpty()) << "nothing is selected after the deletion";

    // Delete with nothing selected rewrites the file unchanged.
    list->clearSelection();
    QFile::remove(file);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(readWholeFile(file), QByteArray("Pagare l'affitto\r\nBolletta luce 45\x80\r\n"));
    m_main->BtnEliminaAppuntoClick();
    EXPECT_EQ(notes().size(), 2);

    list->setCurrentRow(1);
    button("BtnEliminaAppunto")->click();
    list->setCurrentRow(0);
    button("BtnEliminaAppunto")->click();
    EXPECT_TRUE(notes().isEmpty());
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(readWholeFile(file).size(), 0);
}

TEST_F(MainWindowTest, CategoryNotesFollowTheSelectedCategoryAndTheYear)
{
    createCategoryFiles(2024, "Casa");
    createCategoryFiles(2024, "Auto");
    writeText(yearFolder(2024) + "Appunti.lst", "generale\r\n");
    writeText(yearFolder(2024) + "Casa.lst", "casa 1\r\ncasa 2\r\n");
    writeText(yearFolder(2023) + "Appunti.lst", "vecchia\r\n");
    createWindow();
    EXPECT_EQ(notes(), QStringList { "generale" });
    EXPECT_EQ(notesCaption(), "(Generale)");

    // No category selected yet: the category notes file has an empty name part.
    button("BtnSceltaAppunti")->click();
    EXPECT_EQ(notesCaption(), "(Categoria)");
    EXPECT_EQ(m_main->fileAppunti(), yearFolder(2024) + ".lst");
    EXPECT_TRUE(notes().isEmpty());
    addNote("senza nome");
    EXPECT_EQ(readWholeFile(yearFolder(2024) + ".lst"), QByteArray("senza nome\r\n"));

    select("Casa");
    EXPECT_EQ(m_main->categoriaCorrente(), "Casa");
    EXPECT_EQ(notes(), (QStringList { "casa 1", "casa 2" }));
    select("Auto");
    EXPECT_TRUE(notes().isEmpty());
    addNote("tagliando");
    EXPECT_EQ(readWholeFile(yearFolder(2024) + "Auto.lst"), QByteArray("tagliando\r\n"));

    button("BtnSceltaAppunti")->click();
    EXPECT_EQ(notes(), QStringList { "generale" });
    button("BtnSceltaAppunti")->click();
    EXPECT_EQ(notes(), QStringList { "tagliando" });

    // A change of year goes back to the general notes of that year.
    button("BtnAnnoPrecedente")->click();
    EXPECT_EQ(notesCaption(), "(Generale)");
    EXPECT_EQ(notes(), QStringList { "vecchia" });
}

TEST_F(MainWindowTest, ExitAsksForConfirmation)
{
    createWindow();
    m_main->show();
    m_dialogs->answerMessage(IDNO);
    EXPECT_FALSE(m_main->close());
    EXPECT_TRUE(m_main->isVisible());
    expectBox("Conferma chiusura", "Uscire da Contivo?", MB_YESNO | MB_ICONQUESTION);
    m_dialogs->answerMessage(IDYES);
    EXPECT_TRUE(m_main->close());
    EXPECT_FALSE(m_main->isVisible());
}

TEST_F(MainWindowTest, BalloonsWithoutATrayGoToTheStatusBar)
{
    createWindow();
    m_balloons.reset(); // the default notifier again
    TrayNotifier::defaultNotifier().setTrayIcon(nullptr);
    ShowBalloon("Titolo", "Testo del messaggio", NotifyIcon::Information);
    EXPECT_EQ(labelText("BarraStatoPannello1"), "Testo del messaggio");
}

TEST_F(MainWindowTest, TheLedgerOpensForTheSelectedCategoryAndYear)
{
    createCategoryFiles(2024, "Casa");
    createCategoryFiles(2024, "Auto");
    createWindow();
    m_dialogs->answerMessage(IDOK);
    button("BtnModifica")->click();
    expectBox("Errore", "Nessuna categoria selezionata. Selezionare una categoria.", MB_OK | MB_ICONERROR);
    EXPECT_TRUE(m_modal->ran().isEmpty());

    select("Auto");
    int seenYear = 0;
    QString seenCategory;
    m_modal->expect([&](QDialog& dialog) {
        auto* ledger = qobject_cast<ledger::TFormDettagliCategoria*>(&dialog);
        ASSERT_NE(ledger, nullptr);
        EXPECT_EQ(m_main->ledgerAperto(), &dialog);
        seenYear = ledger->Anno();
        seenCategory = ledger->NomeCategoria();
    });
    action("PopVisualizza")->trigger();
    EXPECT_EQ(m_modal->ran(), QStringList { "FormDettagliCategoria" });
    EXPECT_EQ(seenYear, 2024);
    EXPECT_EQ(seenCategory, "Auto");
    EXPECT_EQ(m_main->ledgerAperto(), nullptr);

    // A double click on an item opens it too.
    m_modal->expect([&](QDialog& dialog) {
        seenCategory = qobject_cast<ledger::TFormDettagliCategoria*>(&dialog)->NomeCategoria();
    });
    m_main->ListaCategorie()->selectRow(0);
    const QString first = m_main->ListaCategorie()->caption(0);
    emit m_main->ListaCategorie()->itemActivated(0);
    EXPECT_EQ(seenCategory, first);
}

TEST_F(MainWindowTest, AnImportIntoTheOpenLedgersCategoryReloadsIt)
{
    writeMovements(yearFolder(2024) + "Casa.OUT", { { QDate(2024, 6, 1), "Cibo", "pane", 2, 6 } });
    writeMovements(yearFolder(2024) + "Casa.IN", {});
    createWindow();
    select("Casa");
    int rowsBefore = -1, rowsAfter = -1;
    m_modal->expect([&](QDialog& dialog) {
        auto* ledger = qobject_cast<ledger::TFormDettagliCategoria*>(&dialog);
        ASSERT_NE(ledger, nullptr);
        rowsBefore = ledger->ledger().Uscite().TotalRowCount();
        writeText(exchange() + "Movimenti_Casa_2024_USCITE.csv",
            "Data;Tipologia;Commento;Importo\r\n02/06/2024;Cibo;latte;1,50\r\n");
        m_dialogs->answerMessage(IDYES);
        m_main->FolderMonitorChange();
        rowsAfter = ledger->ledger().Uscite().TotalRowCount();
    });
    m_main->ListaCategorieDblClick();
    EXPECT_EQ(rowsBefore, 1);
    EXPECT_EQ(rowsAfter, 2);
    EXPECT_EQ(readMovements(yearFolder(2024) + "Casa.OUT").size(), 2u);
}

TEST_F(MainWindowTest, AnotherLanguageTranslatesTheWindowsAndTheMessages)
{
    createWindow();
    TranslateForm(m_main.get(), "English");
    TFormNuovaCategoria dialog;
    EXPECT_EQ(dialog.windowTitle(), "New Category");
    EXPECT_EQ(dialog.BtnConferma()->text(), "Confirm");
    EXPECT_EQ(m_main->findChild<QMenu*>("MnuAnno")->title(), "&Year");
    m_dialogs->answerMessage(IDOK);
    m_main->BtnEliminaClick();
    ASSERT_EQ(m_dialogs->messages().size(), 1);
    EXPECT_EQ(m_dialogs->messages().first().text, "A category must be selected");
    TranslateForm(m_main.get(), "Italiano");
}

TEST_F(MainWindowTest, HintsFollowTheSettingAndThePlacementIsKept)
{
    // Counts the tooltip events that get through to a widget.
    struct TooltipSpy : QObject {
        int seen = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            seen += event->type() == QEvent::ToolTip ? 1 : 0;
            return true;
        }
    };
    const auto tooltipReaches = [](QWidget* widget) {
        TooltipSpy spy;
        widget->installEventFilter(&spy);
        QHelpEvent event(QEvent::ToolTip, QPoint(1, 1), widget->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(widget, &event);
        widget->removeEventFilter(&spy);
        return spy.seen == 1;
    };
    for (const bool hints : { false, true }) {
        m_dc = std::make_unique<TDC>();
        m_dc->DCCreate();
        GetSettings().WriteBool("Interfaccia", "MostraHint", hints);
        m_main = std::make_unique<TFormContivoMain>(*m_dc);
        EXPECT_EQ(tooltipReaches(button("BtnAggiungi")), hints) << "hints " << hints;
        m_main.reset();
    }

    // The first start is maximized; a closed window leaves its placement for the next start.
    m_main = std::make_unique<TFormContivoMain>(*m_dc);
    EXPECT_TRUE(m_main->windowState() & Qt::WindowMaximized);
    m_main->setWindowState(Qt::WindowNoState);
    m_main->setGeometry(40, 50, 700, 500);
    m_main->show();
    m_dialogs->answerMessage(IDYES);
    ASSERT_TRUE(m_main->close());
    m_main = std::make_unique<TFormContivoMain>(*m_dc);
    EXPECT_FALSE(m_main->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(m_main->geometry().size(), QSize(700, 500));
}
