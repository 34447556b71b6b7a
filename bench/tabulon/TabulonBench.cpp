// Writing a 65 000 x 4 sheet through Tabulon's exported functions, and the same sheet with
// Python's xlwt (Debian's /usr/bin/python3) in the same run, for comparison.
#include "tabulon/Tabulon.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 65000;

struct Sheet {
    std::vector<std::string> types, comments;
    Sheet()
    {
        for (int r = 0; r < kRows; ++r) {
            types.push_back("Tipologia " + std::to_string(r % 40));
            comments.push_back("Commento del movimento numero " + std::to_string(r));
        }
    }
};

const Sheet& sheet()
{
    static const Sheet s;
    return s;
}

const char kData[] = "BorderLeft,BorderRight,BorderTop,BorderBottom";
const char kFont[] = "MS Sans Serif,8,";

void writeWithTabulon(const std::string& path)
{
    const Sheet& s = sheet();
    _XlsInit(path.c_str());
    for (int r = 0; r < kRows; ++r) {
        _AddStringCell(r + 1, 1, kData, kFont, 0, s.types[std::size_t(r)].c_str());
        _AddDoubleCell(r + 1, 2, kData, kFont, -1, r * 1.25);
        _AddIntegerCell(r + 1, 3, kData, kFont, 0, r % 65536);
        _AddStringCell(r + 1, 4, kData, kFont, 0, s.comments[std::size_t(r)].c_str());
    }
    if (!_SaveToFile(path.c_str()))
        throw std::runtime_error("cannot write " + path);
    _XlsDeinit();
}

double tabulonSeconds(const std::string& path)
{
    const auto start = std::chrono::steady_clock::now();
    writeWithTabulon(path);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The Python side times itself, so the interpreter's start-up is not counted against it.
const char kXlwtScript[] = R"(
import sys, time, xlwt
path, n = sys.argv[1], int(sys.argv[2])
types = ['Tipologia %d' % (r % 40) for r in range(n)]
comments = ['Commento del movimento numero %d' % r for r in range(n)]
start = time.perf_counter()
book = xlwt.Workbook(encoding='cp1252')
ws = book.add_sheet('Foglio1')
for r in range(n):
    ws.write(r, 0, types[r])
    ws.write(r, 1, r * 1.25)
    ws.write(r, 2, r % 65536)
    ws.write(r, 3, comments[r])
book.save(path)
print(time.perf_counter() - start)
)";

double xlwtSeconds(const QString& path, QString* error)
{
    QProcess py;
    py.start("/usr/bin/python3", { "-c", kXlwtScript, path, QString::number(kRows) });
    if (!py.waitForFinished(600000) || py.exitCode() != 0) {
        *error = QString::fromLocal8Bit(py.readAllStandardError()).trimmed();
        if (error->isEmpty())
            *error = "python3 did not run";
        return -1;
    }
    return py.readAllStandardOutput().trimmed().toDouble();
}

void BM_Tabulon_65000x4(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("bench.xls").toStdString();
    sheet();
    for (auto _ : state)
        writeWithTabulon(path);
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_Tabulon_65000x4)->Unit(benchmark::kMillisecond);

// Reports xlwt's time per iteration and, as "times_faster", how many times Tabulon is quicker
// on the same sheet measured within the same iteration.
void BM_Xlwt_65000x4_vs_Tabulon(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string tabulonPath = dir.filePath("tabulon.xls").toStdString();
    sheet();
    double xlwtTotal = 0, tabulonTotal = 0;
    for (auto _ : state) {
        QString error;
        const double x = xlwtSeconds(dir.filePath("xlwt.xls"), &error);
        if (x < 0) {
            state.SkipWithError(("xlwt under /usr/bin/python3: " + error).toStdString().c_str());
            return;
        }
        state.SetIterationTime(x);
        xlwtTotal += x;
        tabulonTotal += tabulonSeconds(tabulonPath);
    }
    state.counters["tabulon_ms"]
        = benchmark::Counter(tabulonTotal * 1000, benchmark::Counter::kAvgIterations);
    state.counters["times_faster"] = xlwtTotal / tabulonTotal;
}
BENCHMARK(BM_Xlwt_65000x4_vs_Tabulon)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
