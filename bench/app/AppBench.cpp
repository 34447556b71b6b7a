// The category list of a crowded year folder and the watched-folder import of a large file.
#include "app/CategoryCatalogue.h"
#include "app/MovementImport.h"

#include "base/SystemFormats.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace contivo;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

// 1 000 categories (two files each, a tenth with an icon file) in one year folder.
void ListThousandCategories(benchmark::State& state)
{
    QTemporaryDir tmp;
    const QString folder = tmp.path() + QLatin1Char('/');
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("Categoria %1").arg(i, 4, 10, QLatin1Char('0'));
        writeBytes(folder + name + QStringLiteral(".OUT"), "x");
        writeBytes(folder + name + QStringLiteral(".IN"), "x");
        if (i % 10 == 0)
            writeBytes(folder + name + QStringLiteral(".ICO"), "x");
    }
    const CategoryCatalogue catalogue(folder);
    for (auto _ : state) {
        const QList<CategoryEntry> entries = catalogue.list();
        benchmark::DoNotOptimize(entries.size());
    }
}
BENCHMARK(ListThousandCategories)->Unit(benchmark::kMillisecond);

// A CSV of state.range(0) movements appended to a side file; the CSV engine, the year filter and
// the save of the whole side file.
void ImportDroppedFile(benchmark::State& state)
{
    QTemporaryDir tmp;
    const QString app = tmp.path() + QStringLiteral("/app/");
    QDir().mkpath(app + QStringLiteral("Interfacce"));
    writeBytes(app + QStringLiteral("Interfacce/Movimenti.hdr"),
        "HeaderRows=1\r\nSeparator=;\r\nFieldMapping=Data;Tipologia;Commento;Movimento\r\nDateFormat=dd/MM/"
        "yyyy\r\n");
    setApplicationFolderForTests(app);
    setUserFolder(tmp.path() + QStringLiteral("/dati/"));
    SystemFormats::override(
        { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });

    QByteArray csv = "Data;Tipologia;Commento;Importo\r\n";
    for (int i = 0; i < state.range(0); ++i)
        csv += QStringLiteral("%1/%2/2024;Cibo;movimento %3;%4,50\r\n")
                   .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                   .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                   .arg(i)
                   .arg(i % 500)
                   .toLatin1();
    const QString csvFile = tmp.path() + QStringLiteral("/Movimenti_Casa_2024_USCITE.csv");
    writeBytes(csvFile, csv);
    const QString sideFile = SottocartellaUtente(QStringLiteral("Tabelle/2024")) + QStringLiteral("Casa.OUT");

    TDC dc;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(sideFile);
        state.ResumeTiming();
        const int n = MovementImport(dc).run(
            csvFile, QStringLiteral("Casa"), QStringLiteral("2024"), QStringLiteral("OUT"));
        if (n != state.range(0))
            state.SkipWithError("not every row was imported");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    SystemFormats::reset();
    setApplicationFolderForTests({});
}
BENCHMARK(ImportDroppedFile)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
