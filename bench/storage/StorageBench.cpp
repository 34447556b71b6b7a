// Record table and table file speed on a movement table of 100 000 rows, and appends of up to
// 1 000 000 rows as a CSV import makes them.
#include "storage/TDC.h"
#include "storage/TableFile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>
#include <random>
#include <vector>

using namespace contivo;

namespace {

void fillMonths(RecordTable& months)
{
    months.AddField("Mese", FieldType::Integer);
    for (int m = 1; m <= 12; ++m) {
        months.Append();
        months.Fields(0).SetAsInteger(m);
        months.Post();
    }
    months.First();
}

// Movements of one year in random order, as a CSV import would append them.
void fillMovements(RecordTable& t, int rows)
{
    std::mt19937 rng(42);
    Field& data = t.FieldByName("Data");
    Field& tipo = t.FieldByName("Tipologia");
    Field& commento = t.FieldByName("Commento");
    Field& importo = t.FieldByName("Movimento");
    Field& mese = t.FieldByName("Mese");
    t.DisableControls();
    for (int i = 0; i < rows; ++i) {
        const int day = static_cast<int>(rng() % 366);
        t.Append();
        data.SetAsDateTime(45292 + day);
        tipo.SetAsString(QStringLiteral("Tipo %1").arg(rng() % 40));
        commento.SetAsString(QStringLiteral("Movimento numero %1").arg(i));
        importo.SetAsFloat(static_cast<double>(rng() % 100000) / 100.0);
        mese.SetAsInteger(1 + day / 31 % 12);
        t.Post();
    }
    t.EnableControls();
}

constexpr int kRows = 100000;

void BM_SaveToFile(benchmark::State& state)
{
    RecordTable t("T");
    TDC::DeclareMovementFields(t);
    fillMovements(t, kRows);
    QTemporaryDir dir;
    const QString path = dir.filePath("Casa.OUT");
    TableFileFormat format;
    for (auto _ : state)
        format.Save(t, path);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_LoadFromFile(benchmark::State& state)
{
    RecordTable t("T");
    TDC::DeclareMovementFields(t);
    fillMovements(t, kRows);
    QTemporaryDir dir;
    const QString path = dir.filePath("Casa.OUT");
    TableFileFormat format;
    format.Save(t, path);
    RecordTable u("U");
    for (auto _ : state)
        format.Load(u, path);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

void BM_SortOnMeseData(benchmark::State& state)
{
    RecordTable t("T");
    TDC::DeclareMovementFields(t);
    fillMovements(t, kRows);
    for (auto _ : state) {
        t.SortOn("Mese;Data");
        state.PauseTiming();
        t.SortOn("");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SortOnMeseData)->Unit(benchmark::kMillisecond);

void BM_TwelveMasterSwitches(benchmark::State& state)
{
    RecordTable months("TabellaMesi");
    fillMonths(months);
    RecordTable t("TabellaEntrate");
    TDC::DeclareMovementFields(t);
    fillMovements(t, kRows);
    t.SetMasterSource(&months);
    t.SetMasterFields("Mese");
    t.SortOn("Mese;Data");
    for (auto _ : state) {
        for (months.First(); !months.Eof(); months.Next())
            benchmark::DoNotOptimize(t.RecordCount());
    }
}
BENCHMARK(BM_TwelveMasterSwitches)->Unit(benchmark::kMicrosecond);

// Appending into a table sorted on Mese;Data and linked to the month list: each row takes its
// sorted place at once. Time per row should stay flat from 10 000 to 100 000 rows.
void BM_AppendIntoSortedLinkedTable(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        RecordTable months("TabellaMesi");
        fillMonths(months);
        RecordTable t("TabellaEntrate");
        TDC::DeclareMovementFields(t);
        t.SetMasterSource(&months);
        t.SetMasterFields("Mese");
        t.SortOn("Mese;Data");
        state.ResumeTiming();
        fillMovements(t, rows);
        benchmark::DoNotOptimize(t.TotalRowCount());
        state.PauseTiming();
        t.SetMasterSource(nullptr);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendIntoSortedLinkedTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Appending into a table in insertion order (no sort, no link), as a CSV import fills the import
// table: each row goes after the last one. Time per row should stay flat up to 1 000 000 rows.
void BM_AppendInInsertionOrder(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto t = std::make_unique<RecordTable>("TabellaImport");
        TDC::DeclareMovementFields(*t);
        fillMovements(*t, rows);
        benchmark::DoNotOptimize(t->TotalRowCount());
        state.PauseTiming();
        t.reset(); // freeing the rows is not part of the append
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendInInsertionOrder)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The table's own share of an import: texts made before the clock starts, so only Append, the
// field writes, Post and the row memory are timed (1 000 000 rows, insertion order).
void BM_AppendPreparedRows(benchmark::State& state)
{
    constexpr int rows = 1000000;
    std::vector<QString> comments;
    comments.reserve(rows);
    for (int i = 0; i < rows; ++i)
        comments.push_back(QStringLiteral("Movimento numero %1 del mese").arg(i));
    const QString types[] = { "Spesa", "Casa", "Auto", "Svago", "Stipendio", "Bollette" };
    for (auto _ : state) {
        auto t = std::make_unique<RecordTable>("TabellaImport");
        TDC::DeclareMovementFields(*t);
        Field& data = t->FieldByName("Data");
        Field& tipo = t->FieldByName("Tipologia");
        Field& commento = t->FieldByName("Commento");
        Field& importo = t->FieldByName("Movimento");
        t->DisableControls();
        for (int i = 0; i < rows; ++i) {
            t->Append();
            data.SetAsDateTime(45292 + i % 366);
            tipo.SetAsString(types[i % 6]);
            commento.SetAsString(comments[static_cast<size_t>(i)]);
            importo.SetAsFloat(i * 0.25);
            t->Post();
        }
        t->EnableControls();
        benchmark::DoNotOptimize(t->TotalRowCount());
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendPreparedRows)->Iterations(3)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
