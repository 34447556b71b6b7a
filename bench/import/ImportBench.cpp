// Import of a generated 1 000 000-line movement CSV (quoted fields, semicolons, dd/MM/yyyy dates,
// decimal commas) into a movement table, against Python's C csv module parsing the same file.
//
// BM_ImportMovements times the whole import: working copy, normalisation and conversion into rows.
// BM_PythonCsvParse runs /usr/bin/python3 as a subprocess; the script times its own parse loop
// (interpreter start-up excluded) and that time is the iteration time. The import benchmark also
// reports the ratio python / import (each import against a Python run made just before it) and
// the process's peak resident memory.

#include "base/SystemFormats.h"
#include "import/CsvText.h"
#include "import/CsvWorkingCopy.h"
#include "import/ImportCSV.h"
#include "storage/RecordTable.h"
#include "storage/TDC.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace contivo;

namespace {

constexpr int kLines = 1000000;

struct Fixture {
    QTemporaryDir dir;
    QString csv;
    QString hdr;

    Fixture()
    {
        hdr = dir.filePath("Movimenti.hdr");
        QFile h(hdr);
        h.open(QIODevice::WriteOnly);
        h.write("HeaderRows=1\r\nSeparator=;\r\nDelimiter=\"\r\nFieldMapping=$Data;$Tipologia;$Commento;$"
                "Movimento\r\n"
                "DateFormat=dd/MM/yyyy\r\n");
        csv = dir.filePath("movimenti.csv");
        QFile f(csv);
        f.open(QIODevice::WriteOnly);
        static const char* const types[] = { "Spesa", "Casa", "Auto", "Svago", "Stipendio", "Bollette" };
        QByteArray chunk = "\"Data\";\"Tipologia\";\"Commento\";\"Movimento\"\r\n";
        for (int i = 0; i < kLines; ++i) {
            char line[160];
            const int n = std::snprintf(line, sizeof line,
                "\"%02d/%02d/2024\";\"%s\";\"Movimento numero %d del mese\";\"%d.%03d,%02d\"\r\n", i % 28 + 1,
                i % 12 + 1, types[i % 6], i, i % 97, i % 1000, i % 100);
            chunk.append(line, n);
            if (chunk.size() > (1 << 20)) {
                f.write(chunk);
                chunk.clear();
            }
        }
        f.write(chunk);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

double runPython()
{
    Fixture& f = fixture();
    QProcess p;
    const QString script = QStringLiteral("import csv, sys, time\n"
                                          "t = time.perf_counter()\n"
                                          "n = 0\n"
                                          "with open(sys.argv[1], newline='', encoding='cp1252') as fh:\n"
                                          "    for row in csv.reader(fh, delimiter=';', quotechar='\"'):\n"
                                          "        n += 1\n"
                                          "print(time.perf_counter() - t, n)\n");
    p.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral("-c"), script, f.csv });
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
    return out.value(0).toDouble();
}

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void BM_ImportMovements(benchmark::State& state)
{
    Fixture& f = fixture();
    // This machine's speed drifts over seconds, so each import is paired with a Python parse run
    // right before it and the ratio is taken pair by pair; the median pair is reported.
    std::vector<double> ratios;
    std::vector<double> pythonTimes;
    int rows = 0;
    for (auto _ : state) {
        const double python = runPython();
        RecordTable table(QStringLiteral("TabellaImport"));
        TDC::DeclareMovementFields(table);
        ImportCSV engine;
        const auto start = std::chrono::steady_clock::now();
        rows = engine.Import(table, f.hdr, f.csv, false);
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds); // the table's destruction is not part of the import
        ratios.push_back(python / seconds);
        pythonTimes.push_back(python);
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(pythonTimes.begin(), pythonTimes.end());
    state.counters["rows"] = rows;
    state.counters["python_s_median"] = pythonTimes[pythonTimes.size() / 2];
    state.counters["ratio_python_over_import_min"] = ratios.front();
    state.counters["ratio_python_over_import_median"] = ratios[ratios.size() / 2];
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_ImportMovements)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The engine's own share: working copy, normalisation, column cutting and conversions, without a
// record table (the texts of string columns are still copied out as the table would take them).
void BM_ParseWithoutTable(benchmark::State& state)
{
    Fixture& f = fixture();
    const CsvInterface layout = CsvInterface::load(f.hdr);
    double checksum = 0;
    for (auto _ : state) {
        CsvWorkingCopy copy(f.csv, layout);
        int headings = layout.headerRows;
        csv::Columns columns;
        copy.forEachLine([&](QStringView line) {
            if (csv::isBlankLine(line))
                return true;
            if (headings > 0) {
                --headings;
                return true;
            }
            csv::cutEnclosedColumns(line, *layout.delimiter, layout.separator, columns);
            const auto date
                = csv::parseDate(columns[0], csv::DateOrder::DayMonthYear, QLatin1Char('/'), 2026);
            const QString type = columns[1].toString();
            const QString comment = columns[2].toString();
            checksum += csv::parseNumber(columns[3]).value_or(0) + (date ? date->day() : 0) + type.size()
                + comment.size();
            return true;
        });
    }
    benchmark::DoNotOptimize(checksum);
}
BENCHMARK(BM_ParseWithoutTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// The two passes over the file on their own: writing the working copy, and reading its lines back.
void BM_WorkingCopyPasses(benchmark::State& state)
{
    Fixture& f = fixture();
    const CsvInterface layout = CsvInterface::load(f.hdr);
    double writeSeconds = 0;
    double readSeconds = 0;
    qsizetype lines = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CsvWorkingCopy copy(f.csv, layout);
        const auto written = std::chrono::steady_clock::now();
        copy.forEachLine([&](QStringView line) {
            lines += line.size();
            return true;
        });
        writeSeconds += std::chrono::duration<double>(written - start).count();
        readSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - written).count();
    }
    benchmark::DoNotOptimize(lines);
    state.counters["write_ms"] = writeSeconds * 1000 / static_cast<double>(state.iterations());
    state.counters["read_ms"] = readSeconds * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WorkingCopyPasses)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PythonCsvParse(benchmark::State& state)
{
    for (auto _ : state) {
        const double seconds = runPython();
        if (seconds < 0) {
            state.SkipWithError("python3 failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_PythonCsvParse)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}

int main(int argc, char** argv)
{
    // The cores of a shared machine can run at very different speeds: keep this process and the
    // Python runs it starts (which inherit the setting) on one core, so the ratio compares like
    // with like.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    sched_setaffinity(0, sizeof one, &one);
    QCoreApplication app(argc, argv);
    SystemFormats::override(
        { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
