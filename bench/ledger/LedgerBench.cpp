// Month change, add and plain walk over a category year of 50 000 movements per side.
// The goal is a month change to December (which walks the eleven earlier months) within five
// times one plain walk over all 100 000 rows.
#include "base/DateTime.h"
#include "ledger/LedgerComputation.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>

#include <memory>
#include <random>

using namespace contivo;
using namespace contivo::ledger;

namespace {

constexpr int kPerLato = 50000;

struct Anno {
    QTemporaryDir dir;
    std::unique_ptr<TDC> dc;
    std::unique_ptr<LedgerComputation> ledger;

    Anno()
    {
        setUserFolder(dir.path());
        dc = std::make_unique<TDC>();
        std::mt19937 caso(2024);
        std::uniform_int_distribution<int> giorno(0, 365);
        std::uniform_int_distribution<int> centesimi(1, 500000);
        const QDate inizio(2024, 1, 1);
        const QString cartella = SottocartellaUtente(QStringLiteral("Tabelle/2024"));
        for (const char* suffisso : { "IN", "OUT" }) {
            RecordTable t(QStringLiteral("Bench"));
            TDC::DeclareMovementFields(t);
            for (int i = 0; i < kPerLato; ++i) {
                const QDate d = inizio.addDays(giorno(caso));
                t.Append();
                t.FieldByName(QStringLiteral("Data")).SetAsDateTime(dt::fromDate(d));
                t.FieldByName(QStringLiteral("Tipologia")).SetAsString(QStringLiteral("Spesa"));
                t.FieldByName(QStringLiteral("Commento")).SetAsString(QStringLiteral("movimento %1").arg(i));
                t.FieldByName(QStringLiteral("Movimento")).SetAsFloat(centesimi(caso) / 100.0);
                t.FieldByName(QStringLiteral("Mese")).SetAsInteger(d.month());
                t.Post();
            }
            dc->SaveFormat.Save(t, cartella + QStringLiteral("Bench.") + QLatin1String(suffisso));
        }
        ledger = std::make_unique<LedgerComputation>(*dc);
        ledger->Anno = 2024;
        ledger->NomeCategoria = QStringLiteral("Bench");
        ledger->RicaricaMovimenti();
    }
};

Anno& anno()
{
    static Anno a;
    return a;
}

void BM_PercorsoSemplice(benchmark::State& state)
{
    Anno& a = anno();
    for (auto _ : state) {
        double somma = 0;
        for (RecordTable* t : { &a.dc->TabellaEntrate, &a.dc->TabellaUscite }) {
            t->SuspendLink();
            const Field& data = t->FieldByName(QStringLiteral("Data"));
            const Field& movimento = t->FieldByName(QStringLiteral("Movimento"));
            for (t->First(); !t->Eof(); t->Next())
                somma += data.AsDateTime() + movimento.AsFloat();
            t->ResumeLink();
        }
        benchmark::DoNotOptimize(somma);
    }
    state.counters["righe"] = 2 * kPerLato;
}

void BM_CambioMeseDicembre(benchmark::State& state)
{
    Anno& a = anno();
    for (auto _ : state) {
        state.PauseTiming();
        a.ledger->SelezionaMese(1);
        state.ResumeTiming();
        a.ledger->CambiaMese(12);
        benchmark::DoNotOptimize(a.ledger->Totali().saldoFinale);
    }
}

void BM_AggiungiDicembre(benchmark::State& state)
{
    Anno& a = anno();
    a.ledger->CambiaMese(12);
    RecordTable& uscite = a.ledger->Uscite();
    const TMovimento m { dt::fromDate(QDate(2024, 12, 15)), 12.5, QStringLiteral("nuovo"),
        QStringLiteral("Spesa") };
    const bool salva = state.range(0) != 0;
    for (auto _ : state) {
        a.ledger->MemorizzaMovimento(m, uscite, ModoMemorizza::Aggiungi);
        if (salva)
            a.ledger->SalvaMovimenti(uscite, QStringLiteral("OUT"));
        a.ledger->AggiornaMese();
        state.PauseTiming();
        // Keep the year at its size: remove the row just added (the last one of 15 December).
        uscite.Locate(QStringLiteral("Commento"), QStringLiteral("nuovo"));
        uscite.Delete();
        state.ResumeTiming();
    }
}

}

BENCHMARK(BM_PercorsoSemplice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CambioMeseDicembre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AggiungiDicembre)->Arg(0)->Arg(1)->ArgName("salva")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
