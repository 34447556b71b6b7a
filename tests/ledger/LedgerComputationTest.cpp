#include "LedgerFixture.h"

#include "ledger/LedgerComputation.h"
#include "ledger/LedgerDates.h"
#include "ledger/LedgerJson.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace contivo;
using namespace contivo::ledger;
using namespace contivo::ledger::testing;

namespace {

/// The day table as (date, entrate, uscite, commento, saldo) rows.
struct RigaGiorno {
    double data;
    double entrate;
    double uscite;
    QString commento;
    double saldo;
};

std::vector<RigaGiorno> giorni(RecordTable& s)
{
    std::vector<RigaGiorno> out;
    for (s.First(); !s.Eof(); s.Next())
        out.push_back({ s.FieldByName(QStringLiteral("Data")).AsDateTime(),
            s.FieldByName(QStringLiteral("Entrate")).AsFloat(),
            s.FieldByName(QStringLiteral("Uscite")).AsFloat(),
            s.FieldByName(QStringLiteral("Commento")).AsString(),
            s.FieldByName(QStringLiteral("Saldo")).AsFloat() });
    return out;
}

/// The selected month's rows of a side as (date, saldo).
std::vector<std::pair<double, double>> saldiLato(RecordTable& t)
{
    std::vector<std::pair<double, double>> out;
    for (t.First(); !t.Eof(); t.Next())
        out.emplace_back(t.FieldByName(QStringLiteral("Data")).AsDateTime(),
            t.FieldByName(QStringLiteral("Saldo")).AsFloat());
    return out;
}

class LedgerComputationTest : public LedgerFixture {
protected:
    LedgerComputation& apri(int anno, const QString& nome)
    {
        ledger = std::make_unique<LedgerComputation>(*dc);
        ledger->Anno = anno;
        ledger->NomeCategoria = nome;
        ledger->RicaricaMovimenti();
        return *ledger;
    }
    std::unique_ptr<LedgerComputation> ledger;
};

TEST_F(LedgerComputationTest, JanuaryStartsFromZeroWhateverThePreviousYearHolds)
{
    scriviLato(
        2023, QStringLiteral("Casa"), QStringLiteral("IN"), { { QDate(2023, 12, 31), 900, {}, {}, {} } });
    scriviLato(
        2024, QStringLiteral("Casa"), QStringLiteral("IN"), { { QDate(2024, 1, 10), 100, {}, {}, {} } });
    scriviLato(
        2024, QStringLiteral("Casa"), QStringLiteral("OUT"), { { QDate(2024, 1, 12), 30, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("Casa"));
    l.CambiaMese(1);
    EXPECT_EQ(l.Totali().saldoIniziale, 0);
    EXPECT_EQ(l.Totali().entrate, 100);
    EXPECT_EQ(l.Totali().uscite, 30);
    EXPECT_EQ(l.Totali().saldoFinale, 70);
    EXPECT_EQ(
        saldiLato(l.Entrate()), (std::vector<std::pair<double, double>> { { giorno(2024, 1, 10), 100 } }));
    EXPECT_EQ(
        saldiLato(l.Uscite()), (std::vector<std::pair<double, double>> { { giorno(2024, 1, 12), 70 } }));
}

TEST_F(LedgerComputationTest, SameDayIncomeAndExpenseShareOneDayRowAndOneBalance)
{
    scriviLato(2024, QStringLiteral("Conto"), QStringLiteral("IN"),
        { { QDate(2024, 1, 5), 50, {}, {}, {} }, { QDate(2024, 3, 7), 200.25, {}, {}, {} } });
    scriviLato(
        2024, QStringLiteral("Conto"), QStringLiteral("OUT"), { { QDate(2024, 3, 7), 80.5, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("Conto"));
    l.CambiaMese(3);
    const auto righe = giorni(dc->TabellaSituazione);
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_EQ(righe[0].data, giorno(2024, 3, 7));
    EXPECT_EQ(righe[0].entrate, 200.25);
    EXPECT_EQ(righe[0].uscite, 80.5);
    EXPECT_EQ(righe[0].commento, QStringLiteral("2 movimenti"));
    EXPECT_EQ(righe[0].saldo, 50 + 200.25 - 80.5);
    EXPECT_EQ(saldiLato(l.Entrate()).at(0).second, 169.75);
    EXPECT_EQ(saldiLato(l.Uscite()).at(0).second, 169.75);
    EXPECT_EQ(l.Totali().saldoIniziale, 50);
    EXPECT_EQ(l.Totali().saldoFinale, 169.75);
}

TEST_F(LedgerComputationTest, DayRowsCountMovementsWithoutSingular)
{
    scriviLato(2024, QStringLiteral("Conto"), QStringLiteral("IN"),
        { { QDate(2024, 5, 2), 10, {}, {}, {} }, { QDate(2024, 5, 2), 20, {}, {}, {} },
            { QDate(2024, 5, 2), 30, {}, {}, {} } });
    scriviLato(
        2024, QStringLiteral("Conto"), QStringLiteral("OUT"), { { QDate(2024, 5, 20), 45, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("Conto"));
    l.CambiaMese(5);
    const auto righe = giorni(dc->TabellaSituazione);
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(righe[0].commento, QStringLiteral("3 movimenti"));
    EXPECT_EQ(righe[0].entrate, 60);
    EXPECT_EQ(righe[0].uscite, 0); // the other side's column is set to 0, not left empty
    EXPECT_EQ(righe[0].saldo, 60);
    EXPECT_EQ(righe[1].commento, QStringLiteral("1 movimenti"));
    EXPECT_EQ(righe[1].entrate, 0);
    EXPECT_EQ(righe[1].saldo, 15);
    for (const auto& [data, saldo] : saldiLato(l.Entrate()))
        EXPECT_EQ(saldo, 60) << data;
    EXPECT_EQ(dc->TabellaSituazione.RecNo(), 1) << "the day table is left on its last row";
}

TEST_F(LedgerComputationTest, OpeningBalanceSumsTheEarlierMonthsOfTheYear)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"),
        { { QDate(2024, 1, 31), 100, {}, {}, {} }, { QDate(2024, 2, 29), 40, {}, {}, {} },
            { QDate(2024, 6, 1), 7, {}, {}, {} }, { QDate(2024, 12, 31), 1, {}, {}, {} } });
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("OUT"),
        { { QDate(2024, 2, 1), 25, {}, {}, {} }, { QDate(2024, 6, 30), 200, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    const struct {
        int mese;
        double apertura;
        double chiusura;
    } casi[] = { { 1, 0, 100 }, { 2, 100, 115 }, { 3, 115, 115 }, { 6, 115, -78 }, { 7, -78, -78 },
        { 12, -78, -77 } };
    for (const auto& c : casi) {
        l.CambiaMese(c.mese);
        EXPECT_EQ(l.MeseSelezionato(), c.mese);
        EXPECT_EQ(l.Totali().saldoIniziale, c.apertura) << "month " << c.mese;
        EXPECT_EQ(l.Totali().saldoFinale, c.chiusura) << "month " << c.mese;
    }
}

TEST_F(LedgerComputationTest, EmptyMonthShowsZeroTotalsAndKeepsTheOpeningBalance)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"), { { QDate(2024, 1, 3), 12.5, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(4);
    EXPECT_TRUE(dc->TabellaSituazione.IsEmpty());
    EXPECT_EQ(FormatImporto(l.Totali().entrate), QStringLiteral("0,00"));
    EXPECT_EQ(FormatImporto(l.Totali().uscite), QStringLiteral("0,00"));
    EXPECT_EQ(FormatImporto(l.Totali().saldoIniziale), QStringLiteral("12,50"));
    EXPECT_EQ(l.Totali().saldoFinale, l.Totali().saldoIniziale);
    EXPECT_TRUE(l.Entrate().IsEmpty());
}

TEST_F(LedgerComputationTest, MovementStoredInAnotherMonthLeavesTheViewAndTheOpeningUntilTheNextChange)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"), { { QDate(2024, 3, 10), 10, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(3);
    ASSERT_EQ(l.Totali().saldoIniziale, 0);

    TMovimento m { giorno(2024, 2, 14), 99.99, QStringLiteral("regalo"), QStringLiteral("Varie") };
    ASSERT_TRUE(l.MemorizzaMovimento(m, l.Entrate(), ModoMemorizza::Aggiungi));
    l.SalvaMovimenti(l.Entrate(), QStringLiteral("IN"));
    l.AggiornaMese();
    EXPECT_EQ(l.Entrate().RecordCount(), 1) << "the February movement is not in March's view";
    EXPECT_EQ(l.Totali().saldoIniziale, 0) << "the opening balance is only worked out on a month change";
    EXPECT_EQ(l.Totali().saldoFinale, 10);

    const auto salvate = leggiLato(2024, QStringLiteral("C"), QStringLiteral("IN"));
    ASSERT_EQ(salvate.size(), 2u);
    EXPECT_EQ(salvate[0].data, giorno(2024, 2, 14)) << "saved in the table's order, month first";
    EXPECT_EQ(salvate[0].mese, 2);
    EXPECT_EQ(salvate[0].commento, QStringLiteral("regalo"));

    l.CambiaMese(3);
    EXPECT_EQ(l.Totali().saldoIniziale, 99.99);
}

TEST_F(LedgerComputationTest, LoadingDerivesTheMonthFromTheDateAndAMissingFileIsAnEmptySide)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("OUT"),
        { { QDate(2024, 8, 1), 5, {}, {}, 1 }, { QDate(2024, 8, 2), 6, {}, {}, 12 },
            { QDate(2024, 1, 9), 1, {}, {}, 8 } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    EXPECT_TRUE(QFileInfo(cartellaAnno(2024)).isDir());
    l.CambiaMese(8);
    EXPECT_EQ(l.Uscite().RecordCount(), 2);
    EXPECT_EQ(l.Totali().uscite, 11);
    l.CambiaMese(1);
    EXPECT_EQ(l.Uscite().RecordCount(), 1);
    EXPECT_EQ(l.Entrate().RecordCount(), 0);
    EXPECT_EQ(l.Entrate().TotalRowCount(), 0);

    LedgerComputation& vuoto = apri(2031, QStringLiteral("Nuova"));
    vuoto.CambiaMese(1);
    EXPECT_TRUE(QFileInfo(cartellaAnno(2031)).isDir()) << "the year folder is created on first use";
    EXPECT_FALSE(QFileInfo::exists(file(2031, QStringLiteral("Nuova"), QStringLiteral("IN"))));
}

TEST_F(LedgerComputationTest, UpdateWritesOverTheCurrentRowOrAddsInAnEmptyMonth)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"),
        { { QDate(2024, 2, 1), 1, QStringLiteral("a"), {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(2);
    const QString lungo(20, QLatin1Char('T'));
    TMovimento m { giorno(2024, 2, 3), 2, QString(140, QLatin1Char('c')), lungo };
    ASSERT_TRUE(l.MemorizzaMovimento(m, l.Entrate(), ModoMemorizza::Aggiorna));
    EXPECT_EQ(l.Entrate().TotalRowCount(), 1);
    EXPECT_EQ(l.Entrate().FieldByName(QStringLiteral("Commento")).AsString().size(), 128);
    EXPECT_EQ(l.Entrate().FieldByName(QStringLiteral("Tipologia")).AsString(), lungo.left(16));

    l.CambiaMese(5);
    ASSERT_TRUE(l.Uscite().IsEmpty());
    ASSERT_TRUE(l.MemorizzaMovimento({ giorno(2024, 5, 9), 3, {}, {} }, l.Uscite(), ModoMemorizza::Aggiorna));
    EXPECT_EQ(l.Uscite().RecordCount(), 1) << "an update in an empty month adds the movement";
}

TEST_F(LedgerComputationTest, AMovementThatDidNotConvertIsRefusedAndNothingChanges)
{
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(1);
    const TMovimento cattivi[] = { { giorno(2024, 1, 2), std::nan(""), {}, {} }, { 0, 5, {}, {} },
        { giorno(2024, 1, 2), HUGE_VAL, {}, {} } };
    for (const TMovimento& m : cattivi) {
        EXPECT_FALSE(l.MemorizzaMovimento(m, l.Entrate(), ModoMemorizza::Aggiungi));
        EXPECT_EQ(l.Entrate().State(), TableState::Browse);
    }
    EXPECT_EQ(l.Entrate().TotalRowCount(), 0);
}

TEST_F(LedgerComputationTest, SavingWritesEveryMonthAndNothingWithoutACategoryName)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"),
        { { QDate(2024, 1, 1), 1, {}, {}, {} }, { QDate(2024, 7, 1), 2, {}, {}, {} },
            { QDate(2024, 12, 1), 3, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(7);
    l.SalvaMovimenti(l.Entrate(), QStringLiteral("OUT"));
    const auto salvate = leggiLato(2024, QStringLiteral("C"), QStringLiteral("OUT"));
    ASSERT_EQ(salvate.size(), 3u);
    EXPECT_EQ(salvate[2].movimento, 3);

    l.NomeCategoria.clear();
    const QString tutti = file(2024, QString(), QStringLiteral("IN"));
    l.SalvaMovimenti(l.Entrate(), QStringLiteral("IN"));
    EXPECT_FALSE(QFileInfo::exists(tutti));
}

TEST_F(LedgerComputationTest, SituationUpToADateCoversTheWholeYearUpToTheLimit)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"),
        { { QDate(2024, 1, 1), 10, {}, {}, {} }, { QDate(2024, 6, 15), 5, {}, {}, {} },
            { QDate(2024, 6, 16), 1000, {}, {}, {} } });
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("OUT"), { { QDate(2024, 3, 3), 4, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(9);
    l.CalcolaSituazione(giorno(2024, 6, 15), 1, 12, 0);
    const auto righe = giorni(dc->TabellaSituazione);
    ASSERT_EQ(righe.size(), 3u);
    EXPECT_EQ(righe.back().data, giorno(2024, 6, 15));
    EXPECT_EQ(righe.back().saldo, 11);
    EXPECT_EQ(l.MeseSelezionato(), 9) << "the selected month is restored";

    const QJsonDocument doc = QJsonDocument::fromJson(SituazioneJson(dc->TabellaSituazione).toUtf8());
    ASSERT_TRUE(doc.isArray());
    EXPECT_EQ(doc.array().size(), 3);
    EXPECT_EQ(
        doc.array().at(1).toObject().value(QStringLiteral("data")).toString(), QStringLiteral("2024-03-03"));
    EXPECT_EQ(doc.array().at(1).toObject().value(QStringLiteral("saldo")).toDouble(), 6);
}

TEST_F(LedgerComputationTest, MonthJsonListsTotalsAndRowsInTableOrder)
{
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("IN"),
        { { QDate(2024, 2, 20), 0.1, QStringLiteral("b \"x\"\n"), QStringLiteral("Cibo"), {} },
            { QDate(2024, 2, 3), 0.2, QStringLiteral("a"), {}, {} } });
    scriviLato(2024, QStringLiteral("C"), QStringLiteral("OUT"), { { QDate(2024, 1, 3), 1, {}, {}, {} } });
    LedgerComputation& l = apri(2024, QStringLiteral("C"));
    l.CambiaMese(2);
    const QString json = MeseJson(l);
    EXPECT_TRUE(json.startsWith(
        QStringLiteral("{\"opening\": -1, \"income\": 0.30000000000000004, \"expense\": 0, ")))
        << json.toStdString();
    QJsonParseError err;
    const QJsonObject o = QJsonDocument::fromJson(json.toUtf8(), &err).object();
    ASSERT_EQ(err.error, QJsonParseError::NoError) << json.toStdString();
    EXPECT_EQ(o.value(QStringLiteral("closing")).toDouble(), -1 + (0.2 + 0.1));
    const QJsonArray entrate = o.value(QStringLiteral("entrate")).toArray();
    ASSERT_EQ(entrate.size(), 2);
    EXPECT_EQ(
        entrate.at(0).toObject().value(QStringLiteral("data")).toString(), QStringLiteral("2024-02-03"));
    EXPECT_EQ(
        entrate.at(1).toObject().value(QStringLiteral("commento")).toString(), QStringLiteral("b \"x\"\n"));
    EXPECT_EQ(entrate.at(1).toObject().value(QStringLiteral("tipologia")).toString(), QStringLiteral("Cibo"));
    EXPECT_EQ(entrate.at(1).toObject().value(QStringLiteral("saldo")).toDouble(), -1 + 0.2 + 0.1);
    EXPECT_TRUE(o.value(QStringLiteral("uscite")).toArray().isEmpty());
}

TEST(LedgerDates, MonthBoundsNamesAndDateTexts)
{
    const struct {
        int anno, mese;
        QDate primo, ultimo;
        const char* nome;
    } casi[] = { { 2024, 2, { 2024, 2, 1 }, { 2024, 2, 29 }, "Febbraio" },
        { 2023, 2, { 2023, 2, 1 }, { 2023, 2, 28 }, "Febbraio" },
        { 1900, 2, { 1900, 2, 1 }, { 1900, 2, 28 }, "Febbraio" },
        { 2000, 2, { 2000, 2, 1 }, { 2000, 2, 29 }, "Febbraio" },
        { 2024, 12, { 2024, 12, 1 }, { 2024, 12, 31 }, "Dicembre" },
        { 2024, 4, { 2024, 4, 1 }, { 2024, 4, 30 }, "Aprile" } };
    for (const auto& c : casi) {
        EXPECT_EQ(PrimoGiornoMese(c.anno, c.mese), dt::fromDate(c.primo));
        EXPECT_EQ(UltimoGiornoMese(c.anno, c.mese), dt::fromDate(c.ultimo));
        EXPECT_EQ(NomeMese(c.mese), QLatin1String(c.nome));
        EXPECT_EQ(AnnoData(dt::fromDate(c.ultimo) + 0.75), c.anno);
        EXPECT_EQ(MeseData(dt::fromDate(c.ultimo) + 0.75), c.mese);
    }
    EXPECT_EQ(NomeMese(0), QString());
    EXPECT_EQ(NomeMese(13), QString());

    SystemFormats::override(
        { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
    EXPECT_TRUE(IsDateText(QStringLiteral("29/02/2024")));
    EXPECT_FALSE(IsDateText(QStringLiteral("29/02/2023")));
    EXPECT_FALSE(IsDateText(QStringLiteral("2024-02-01")));
    EXPECT_FALSE(IsDateText(QString()));
    SystemFormats::reset();
}

TEST(LedgerDates, AmountsShowTwoDecimalsInTheSystemFormat)
{
    const struct {
        QChar separatore;
        double valore;
        const char* atteso;
    } casi[] = { { QLatin1Char(','), 0, "0,00" }, { QLatin1Char(','), 1234.5, "1234,50" },
        { QLatin1Char(','), -78, "-78,00" }, { QLatin1Char(','), 0.1 + 0.2, "0,30" },
        { QLatin1Char('.'), 1e6 + 0.126, "1000000.13" }, { QLatin1Char(','), -0.001, "0,00" },
        { QLatin1Char(','), 123456789012.345, "123456789012,35" } };
    for (const auto& c : casi) {
        SystemFormats::override(
            { c.separatore, QLatin1Char(' '), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
        EXPECT_EQ(FormatImporto(c.valore), QLatin1String(c.atteso)) << c.valore;
    }
    SystemFormats::reset();
}

}
