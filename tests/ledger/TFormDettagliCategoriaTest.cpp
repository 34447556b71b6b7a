#include "LedgerFixture.h"

#include "ledger/ImportoEdit.h"
#include "ledger/LedgerDrawing.h"
#include "ledger/TFormDettagliCategoria.h"
#include "storage/RecordTableModel.h"
#include "support/TestSeams.h"

#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace contivo;
using namespace contivo::ledger;
using namespace contivo::ledger::testing;
using contivo::testing::ScriptedDialogProvider;

namespace {

constexpr int kVerde = 0x3D7900; // RGB(0,121,61) as a platform colour number
constexpr int kViola = 0x800080;

class LedgerWindowTest : public LedgerFixture {
protected:
    void SetUp() override
    {
        LedgerFixture::SetUp();
        ASSERT_TRUE(m_app.isValid());
        setApplicationFolderForTests(m_app.path());
        aggiungiTipologia(QStringLiteral("Cibo"), kVerde);
        aggiungiTipologia(QStringLiteral("Casa"), kViola);
        scriviLato(2024, QStringLiteral("Casa"), QStringLiteral("IN"),
            { { QDate(2024, 1, 5), 1500, QStringLiteral("stipendio"), QStringLiteral("Casa"), {} },
                { QDate(2024, 1, 20), 30, QStringLiteral("rimborso"), QStringLiteral("Sconosciuta"), {} },
                { QDate(2024, 2, 1), 10, QStringLiteral("febbraio"), {}, {} } });
        scriviLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT"),
            { { QDate(2024, 1, 5), 40.5, QStringLiteral("spesa"), QStringLiteral("Cibo"), {} },
                { QDate(2024, 1, 8), 2000, QStringLiteral("affitto"), QStringLiteral("Casa"), {} } });
    }
    void TearDown() override
    {
        w.reset();
        setApplicationFolderForTests(QString());
        LedgerFixture::TearDown();
    }

    void aggiungiTipologia(const QString& nome, int colore)
    {
        dc->Tipologie.Append();
        dc->Tipologie.FieldByName(QStringLiteral("Tipologia")).SetAsString(nome);
        dc->Tipologie.FieldByName(QStringLiteral("Colore")).SetAsInteger(colore);
        dc->Tipologie.Post();
    }

    TFormDettagliCategoria& apri(int anno = 2024, const QString& nome = QStringLiteral("Casa"))
    {
        w = std::make_unique<TFormDettagliCategoria>(nullptr, dc.get());
        w->setAnno(anno);
        w->setNomeCategoria(nome);
        w->resize(900, 600);
        w->show();
        QCoreApplication::processEvents();
        return *w;
    }

    template <class T> T* c(const char* nome)
    {
        T* x = w->findChild<T*>(QLatin1String(nome));
        EXPECT_NE(x, nullptr) << nome;
        return x;
    }
    QString lbl(const char* nome) { return c<QLabel>(nome)->text(); }
    QStringList totali()
    {
        return { lbl("LblTotIniziale"), lbl("LblTotEntrate"), lbl("LblTotUscite"), lbl("LblTotMovimenti") };
    }
    void clic(const char* nome) { c<QAbstractButton>(nome)->click(); }
    void mese(int m) { c<QTabBar>("TabMesi")->setCurrentIndex(m - 1); }
    int righe(const char* griglia) { return c<QTableView>(griglia)->model()->rowCount(); }
    void compila(const char* lato, QDate data, const QString& importo, const QString& commento, int tipo)
    {
        const QString l = QLatin1String(lato);
        w->findChild<QDateEdit*>(QStringLiteral("EditS_Data") + l)->setDate(data);
        w->findChild<ImportoEdit*>(QStringLiteral("EditS_Movimento") + l)->setText(importo);
        w->findChild<QPlainTextEdit*>(QStringLiteral("EditS_Commento") + l)->setPlainText(commento);
        w->findChild<TipologiaCombo*>(QStringLiteral("EditS_Tipologia") + l)->setCurrentIndex(tipo);
    }
    void clicRiga(const char* griglia, int riga)
    {
        QTableView* g = c<QTableView>(griglia);
        const QModelIndex i = g->model()->index(riga, g->model()->columnCount() > 2 ? 2 : 0);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
    }
    QImage immagine(QWidget* x) { return x->grab().toImage(); }

    QTemporaryDir m_app;
    std::unique_ptr<TFormDettagliCategoria> w;
};

TEST_F(LedgerWindowTest, OpensOnJanuaryWithTheMonthsTotalsGridsAndFields)
{
    ScriptedDialogProvider dialoghi;
    apri();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Dettagli categoria - Casa"));
    EXPECT_EQ(c<QTabBar>("TabMesi")->currentIndex(), 0);
    EXPECT_EQ(c<QTabBar>("TabMesi")->count(), 12);
    EXPECT_EQ(c<QTabBar>("TabMesi")->tabText(11), QStringLiteral("Dic"));
    EXPECT_EQ(totali(), (QStringList { "0,00", "1530,00", "2040,50", "-510,50" }));
    EXPECT_EQ(righe("GrigliaEntrate"), 2);
    EXPECT_EQ(righe("GrigliaUscite"), 2);
    // The grids show Data, Commento, Importo and Saldo; the selection is on the month's last row.
    QTableView* g = c<QTableView>("GrigliaUscite");
    QStringList titoli;
    for (int v = 0; v < g->model()->columnCount(); ++v) {
        const int col = g->horizontalHeader()->logicalIndex(v);
        if (!g->isColumnHidden(col))
            titoli << g->model()->headerData(col, Qt::Horizontal).toString();
    }
    EXPECT_EQ(titoli, (QStringList { "Data", "Commento", "Importo", "Saldo" }));
    EXPECT_EQ(g->selectionModel()->selectedRows().value(0).row(), 1);

    // The fields show the last movement; a type missing from the types list shows nothing.
    EXPECT_EQ(c<QDateEdit>("EditS_DataUscita")->date(), QDate(2024, 1, 8));
    EXPECT_EQ(c<ImportoEdit>("EditS_MovimentoUscita")->text(), QStringLiteral("2000,00"));
    EXPECT_EQ(c<TipologiaCombo>("EditS_TipologiaUscita")->tipologia(), QStringLiteral("Casa"));
    EXPECT_EQ(c<QPlainTextEdit>("EditS_CommentoEntrata")->toPlainText(), QStringLiteral("rimborso"));
    EXPECT_EQ(c<TipologiaCombo>("EditS_TipologiaEntrata")->currentIndex(), -1);
    EXPECT_EQ(c<TipologiaCombo>("EditS_TipologiaEntrata")->tipologia(), QString());
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->minimumDate(), QDate(2024, 1, 1));
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->maximumDate(), QDate(2024, 1, 31));

    // Clicking a row brings it into the fields.
    clicRiga("GrigliaUscite", 0);
    EXPECT_EQ(c<QPlainTextEdit>("EditS_CommentoUscita")->toPlainText(), QStringLiteral("spesa"));
    EXPECT_EQ(c<TipologiaCombo>("EditS_TipologiaUscita")->tipologia(), QStringLiteral("Cibo"));
    // Moving with the keyboard does the same once the key is released.
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(c<QPlainTextEdit>("EditS_CommentoUscita")->toPlainText(), QStringLiteral("affitto"));
    EXPECT_EQ(w->ledger().Uscite().RecNo(), 1);
}

TEST_F(LedgerWindowTest, MonthTabsRecomputeTotalsAndLimitTheDates)
{
    ScriptedDialogProvider dialoghi;
    apri();
    const struct {
        int mese;
        QStringList totali;
        int entrate;
        QDate dal, al;
    } casi[] = { { 2, { "-510,50", "10,00", "0,00", "-500,50" }, 1, { 2024, 2, 1 }, { 2024, 2, 29 } },
        { 12, { "-500,50", "0,00", "0,00", "-500,50" }, 0, { 2024, 12, 1 }, { 2024, 12, 31 } },
        { 1, { "0,00", "1530,00", "2040,50", "-510,50" }, 2, { 2024, 1, 1 }, { 2024, 1, 31 } } };
    for (const auto& k : casi) {
        mese(k.mese);
        EXPECT_EQ(totali(), k.totali) << k.mese;
        EXPECT_EQ(righe("GrigliaEntrate"), k.entrate) << k.mese;
        EXPECT_EQ(c<QDateEdit>("EditS_DataUscita")->minimumDate(), k.dal);
        EXPECT_EQ(c<QDateEdit>("EditS_DataUscita")->maximumDate(), k.al);
    }
    mese(12);
    // An empty month puts its first day, no comment, 0 and no type into the fields.
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->date(), QDate(2024, 12, 1));
    EXPECT_EQ(c<ImportoEdit>("EditS_MovimentoEntrata")->text(), QStringLiteral("0,00"));
    EXPECT_TRUE(c<QPlainTextEdit>("EditS_CommentoEntrata")->toPlainText().isEmpty());
    EXPECT_EQ(c<TipologiaCombo>("EditS_TipologiaEntrata")->currentIndex(), -1);
}

TEST_F(LedgerWindowTest, AddUpdateAndDeleteSaveTheSideAtOnce)
{
    ScriptedDialogProvider dialoghi;
    apri();
    // Add an income on 3 January: it becomes the first row, but the fields stay on the last one.
    compila("Entrata", QDate(2024, 1, 3), QStringLiteral("99,90"), QStringLiteral("nuovo"), 0);
    clic("BtnAggiungiEntrata");
    auto in = leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("IN"));
    ASSERT_EQ(in.size(), 4u);
    EXPECT_EQ(in[0].data, giorno(2024, 1, 3));
    EXPECT_EQ(in[0].movimento, 99.9);
    EXPECT_EQ(in[0].tipologia, QStringLiteral("Cibo"));
    EXPECT_EQ(in[0].commento, QStringLiteral("nuovo"));
    EXPECT_EQ(totali(), (QStringList { "0,00", "1629,90", "2040,50", "-410,60" }));
    EXPECT_EQ(c<QPlainTextEdit>("EditS_CommentoEntrata")->toPlainText(), QStringLiteral("rimborso"));
    EXPECT_EQ(c<QTableView>("GrigliaEntrate")->selectionModel()->selectedRows().value(0).row(), 2);

    // Update the first expense: its amount and type change, the file keeps two rows.
    clicRiga("GrigliaUscite", 0);
    compila("Uscita", QDate(2024, 1, 6), QStringLiteral("41"), QStringLiteral("spesa grande"), -1);
    clic("BtnAggiornaUscita");
    auto out = leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT"));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].data, giorno(2024, 1, 6));
    EXPECT_EQ(out[0].movimento, 41);
    EXPECT_EQ(out[0].tipologia, QString());
    EXPECT_EQ(out[1].commento, QStringLiteral("affitto"));
    EXPECT_EQ(lbl("LblTotUscite"), QStringLiteral("2041,00"));

    // Delete asks first; No keeps the file, Yes removes the current row.
    dialoghi.answerMessage(IDNO).answerMessage(IDYES);
    clicRiga("GrigliaUscite", 1);
    clic("BtnEliminaUscita");
    EXPECT_EQ(leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT")).size(), 2u);
    clic("BtnEliminaUscita");
    out = leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].commento, QStringLiteral("spesa grande"));
    ASSERT_EQ(dialoghi.messages().size(), 2);
    EXPECT_EQ(dialoghi.messages()[0].text, QStringLiteral("Eliminare il movimento selezionato?"));
    EXPECT_EQ(dialoghi.messages()[0].title, QStringLiteral("Contivo - Conferma"));
    EXPECT_EQ(lbl("LblTotUscite"), QStringLiteral("41,00"));
    EXPECT_EQ(c<QPlainTextEdit>("EditS_CommentoUscita")->toPlainText(), QStringLiteral("spesa grande"));
}

TEST_F(LedgerWindowTest, EmptyMonthCommandsUpdateAddsAndDeleteOnlyTellsTheUser)
{
    ScriptedDialogProvider dialoghi;
    apri();
    mese(3);
    dialoghi.answerMessage(IDOK);
    clic("BtnEliminaUscita");
    ASSERT_EQ(dialoghi.messages().size(), 1);
    EXPECT_EQ(dialoghi.messages()[0].title, QStringLiteral("Contivo - Informazione"));
    EXPECT_EQ(leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT")).size(), 2u);

    compila("Uscita", QDate(2024, 3, 15), QStringLiteral("7,25"), QStringLiteral("marzo"), 1);
    clic("BtnAggiornaUscita");
    EXPECT_EQ(leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT")).size(), 3u);
    EXPECT_EQ(righe("GrigliaUscite"), 1);
    EXPECT_EQ(totali(), (QStringList { "-500,50", "0,00", "7,25", "-507,75" }));
}

TEST_F(LedgerWindowTest, AnAmountThatIsNotANumberIsReportedAndTheCommandCarriesOn)
{
    ScriptedDialogProvider dialoghi;
    apri();
    dialoghi.answerMessage(IDOK);
    compila("Entrata", QDate(2024, 1, 9), QStringLiteral("12,3x"), QStringLiteral("errato"), 0);
    clic("BtnAggiungiEntrata");
    ASSERT_EQ(dialoghi.messages().size(), 1);
    EXPECT_EQ(dialoghi.messages()[0].text, QString::fromLatin1(kMsgFormatoMovimento));
    EXPECT_EQ(dialoghi.messages()[0].title, QStringLiteral("Contivo - Errore"));
    const auto in = leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("IN"));
    ASSERT_EQ(in.size(), 3u) << "nothing was added";
    EXPECT_EQ(in[1].commento, QStringLiteral("rimborso"));
    EXPECT_EQ(lbl("LblTotEntrate"), QStringLiteral("1530,00"));
    // The fields were refreshed from the table.
    EXPECT_EQ(c<ImportoEdit>("EditS_MovimentoEntrata")->text(), QStringLiteral("30,00"));
}

TEST_F(LedgerWindowTest, MonthLimitToggleFreesTheDatesForTheWholeYear)
{
    ScriptedDialogProvider dialoghi;
    apri();
    clic("BtnDisabilitaMese");
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->minimumDate(), QDate(2024, 1, 1));
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->maximumDate(), QDate(2024, 12, 31));
    compila("Entrata", QDate(2024, 6, 30), QStringLiteral("5"), QStringLiteral("giugno"), -1);
    clic("BtnAggiungiEntrata");
    EXPECT_EQ(righe("GrigliaEntrate"), 2) << "a movement of another month leaves the grid at once";
    EXPECT_EQ(leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("IN")).size(), 4u);
    mese(7);
    EXPECT_EQ(lbl("LblTotIniziale"), QStringLiteral("-495,50"));
    clic("BtnDisabilitaMese");
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->minimumDate(), QDate(2024, 7, 1));
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->maximumDate(), QDate(2024, 7, 31));
}

TEST_F(LedgerWindowTest, TogglesWithoutMovementTypesInformAndStillApply)
{
    ScriptedDialogProvider dialoghi;
    dc->Tipologie.EmptyTable();
    apri();
    dialoghi.answerMessage(IDOK).answerMessage(IDOK);
    clic("BtnDisabilitaMese");
    clic("BtnMostraTipologie");
    ASSERT_EQ(dialoghi.messages().size(), 2);
    EXPECT_TRUE(
        dialoghi.messages()[1].text.startsWith(QStringLiteral("Non è stata definita alcuna tipologia")));
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->maximumDate(), QDate(2024, 12, 31));
}

TEST_F(LedgerWindowTest, YearsOutsideTheUsualRangeKeepTheirDates)
{
    ScriptedDialogProvider dialoghi;
    scriviLato(
        1999, QStringLiteral("Vecchia"), QStringLiteral("IN"), { { QDate(1999, 4, 2), 3, {}, {}, {} } });
    apri(1999, QStringLiteral("Vecchia"));
    mese(4);
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->date(), QDate(1999, 4, 2));
    EXPECT_EQ(c<QDateEdit>("EditS_DataEntrata")->minimumDate(), QDate(1999, 4, 1));
    compila("Entrata", QDate(1999, 4, 3), QStringLiteral("1"), {}, -1);
    clic("BtnAggiungiEntrata");
    EXPECT_EQ(leggiLato(1999, QStringLiteral("Vecchia"), QStringLiteral("IN")).size(), 2u);
    EXPECT_EQ(lbl("LblTotEntrate"), QStringLiteral("4,00"));
}

TEST_F(LedgerWindowTest, TypeBoxesAndNegativeBalancesAreDrawnInTheGrid)
{
    ScriptedDialogProvider dialoghi;
    apri();
    QTableView* g = c<QTableView>("GrigliaUscite");
    auto* modello = static_cast<RecordTableModel*>(g->model());
    const QModelIndex commento = modello->index(0, modello->columnOfField(QStringLiteral("Commento")));
    const QModelIndex saldo0 = modello->index(0, modello->columnOfField(QStringLiteral("Saldo")));
    const QModelIndex saldo1 = modello->index(1, modello->columnOfField(QStringLiteral("Saldo")));
    const QRect cella = g->visualRect(commento);
    ASSERT_GT(cella.width(), w->larghezzaTipologie() + 10) << "the comment column takes the free width";
    const QPoint nelRiquadro(cella.right() - 4, cella.bottom() - 3);

    EXPECT_NE(immagine(g->viewport()).pixelColor(nelRiquadro), ColoreDaIntero(kVerde));
    clic("BtnMostraTipologie");
    QImage img = immagine(g->viewport());
    EXPECT_EQ(img.pixelColor(nelRiquadro), ColoreDaIntero(kVerde)) << "the Cibo box";
    EXPECT_EQ(img.pixelColor(QPoint(cella.right() - w->larghezzaTipologie() - 2, cella.bottom() - 3)),
        img.pixelColor(QPoint(cella.left() + 2, cella.bottom() - 3)))
        << "the box starts at the type width from the right";

    // Day 5: 1500 - 40.5 >= 0, no frame; day 8: -510.5, framed in dark red.
    const QRect positivo = g->visualRect(saldo0);
    const QRect negativo = g->visualRect(saldo1);
    EXPECT_NE(img.pixelColor(QPoint(positivo.left(), positivo.center().y())), colori::kRossoUscite);
    EXPECT_EQ(img.pixelColor(QPoint(negativo.left(), negativo.center().y())), colori::kRossoUscite);
    EXPECT_EQ(img.pixelColor(QPoint(negativo.center().x(), negativo.bottom())), colori::kRossoUscite);
}

TEST_F(LedgerWindowTest, TypeListItemsAreDrawnInTheirColours)
{
    ScriptedDialogProvider dialoghi;
    apri();
    TipologiaCombo* combo = c<TipologiaCombo>("EditS_TipologiaEntrata");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Casa"));
    QStyleOptionViewItem opt;
    opt.rect = QRect(0, 0, 120, 19);
    opt.font = combo->font();
    EXPECT_EQ(combo->itemDelegate()->sizeHint(opt, combo->model()->index(0, 0)).height(), 19);

    QImage img(120, 19, QImage::Format_ARGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        combo->itemDelegate()->paint(&p, opt, combo->model()->index(1, 0));
    }
    const QColor base = combo->palette().color(QPalette::Base);
    EXPECT_EQ(img.pixelColor(0, 0), base) << "no selection highlight around the item";
    EXPECT_EQ(img.pixelColor(1, 9), base);
    EXPECT_EQ(img.pixelColor(2, 1), ColoreDaIntero(kViola));
    EXPECT_EQ(img.pixelColor(117, 17), ColoreDaIntero(kViola));
    EXPECT_EQ(img.pixelColor(118, 17), base);

    // The closed field draws the selected type the same way.
    combo->setTipologia(QStringLiteral("Cibo"));
    const QImage campo = immagine(combo);
    int verdi = 0;
    for (int x = 0; x < campo.width(); ++x)
        verdi += campo.pixelColor(x, campo.height() / 2 + 3) == ColoreDaIntero(kVerde) ? 1 : 0;
    EXPECT_GT(verdi, 10);
}

class LedgerImportTest : public LedgerWindowTest {
protected:
    QString scriviCsv(const QByteArray& testo)
    {
        const QString path = m_dir.path() + QStringLiteral("/movimenti.csv");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(testo);
        return path;
    }
    void scriviInterfaccia()
    {
        QDir().mkpath(m_app.path() + QStringLiteral("/Interfacce"));
        QFile f(m_app.path() + QStringLiteral("/Interfacce/Movimenti.hdr"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("HeaderRows=1\r\nSeparator=;\r\nFieldMapping=$Data;$Tipologia;$Commento;$Movimento\r\n"
                "DateFormat=dd/MM/yyyy\r\n");
    }
};

TEST_F(LedgerImportTest, ImportReplacesTheSideWithTheFilesMovementsOfTheYear)
{
    scriviInterfaccia();
    const QString csv = scriviCsv("Data;Tipo;Commento;Importo\r\n"
                                  "02/01/2024;Cibo;pane;3,5\r\n"
                                  "31/12/2023;Cibo;vecchio;9\r\n"
                                  "15/03/2024;Casa;luce;60\r\n");
    ScriptedDialogProvider dialoghi;
    apri();
    dialoghi.answerOpenFile(csv).answerMessage(IDYES).answerMessage(IDOK);
    clic("BtnImportaUscite");
    const auto calls = dialoghi.calls();
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].title, QStringLiteral("Importa da CSV"));
    EXPECT_EQ(calls[1].text,
        QStringLiteral("Importare i movimenti del file '") + csv
            + QStringLiteral("' nella tabella delle Uscite?"));
    EXPECT_EQ(calls[2].text, QStringLiteral("Importazione conclusa. Importati 2 movimenti."));

    const auto out = leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("OUT"));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].commento, QStringLiteral("pane"));
    EXPECT_EQ(out[0].mese, 1);
    EXPECT_EQ(out[1].commento, QStringLiteral("luce"));
    EXPECT_EQ(out[1].mese, 3);
    EXPECT_EQ(righe("GrigliaUscite"), 1);
    EXPECT_EQ(totali(), (QStringList { "0,00", "1530,00", "3,50", "1526,50" }));
    EXPECT_EQ(leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("IN")).size(), 3u);
}

TEST_F(LedgerImportTest, CancelledOrRefusedImportChangesNothing)
{
    scriviInterfaccia();
    const QString csv = scriviCsv("x\r\n01/01/2024;;a;1\r\n");
    ScriptedDialogProvider dialoghi;
    apri();
    dialoghi.answerOpenFile(QString()).answerOpenFile(csv).answerMessage(IDNO);
    clic("BtnImportaEntrate");
    clic("BtnImportaEntrate");
    EXPECT_EQ(leggiLato(2024, QStringLiteral("Casa"), QStringLiteral("IN")).size(), 3u);
    EXPECT_EQ(righe("GrigliaEntrate"), 2);
}

TEST_F(LedgerImportTest, AFailingEngineLeavesTheStoredMovementsInPlace)
{
    // No Movimenti.hdr: the engine cannot read its interface.
    const QString csv = scriviCsv("x\r\n01/01/2024;;a;1\r\n");
    QFile f(file(2024, QStringLiteral("Casa"), QStringLiteral("IN")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray prima = f.readAll();
    f.close();
    ScriptedDialogProvider dialoghi;
    apri();
    dialoghi.answerOpenFile(csv).answerMessage(IDYES).answerMessage(IDOK);
    clic("BtnImportaEntrate");
    ASSERT_EQ(dialoghi.messages().size(), 2);
    EXPECT_EQ(dialoghi.messages()[1].title, QStringLiteral("Contivo - Errore"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), prima);
    EXPECT_EQ(righe("GrigliaEntrate"), 2);
    EXPECT_EQ(lbl("LblTotEntrate"), QStringLiteral("1530,00"));
    EXPECT_EQ(w->ledger().Entrate().TotalRowCount(), 3);
}

TEST(LedgerSizes, PanelAndCommentWidths)
{
    const struct {
        int area, entrate;
    } pannelli[] = { { 663, 322 }, { 664, 322 }, { 19, 0 }, { 1000, 490 } };
    for (const auto& p : pannelli)
        EXPECT_EQ(MisureLedger::larghezzaEntrate(p.area), p.entrate) << p.area;
    EXPECT_EQ(MisureLedger::larghezzaCommento(320, 216, 16), 84);
}

}
