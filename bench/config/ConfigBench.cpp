// Settings reads go to the file every time (nothing is cached), and enciphered values hash the
// key file at every call: these measure what one read or write costs on a settings file of a
// realistic size (window placements of every window plus the options).
#include "config/Cipher.h"
#include "config/IniFile.h"
#include "config/TConfigurazione.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace contivo;

namespace {

QString makeSettingsFile(const QTemporaryDir& dir, int sections)
{
    const QString path = dir.path() + "/Config/Stellaro/Contivo.ini";
    IniFile ini(path);
    QList<IniFile::Entry> entries;
    for (int s = 0; s < sections; ++s)
        for (int k = 0; k < 8; ++k)
            entries.append({QStringLiteral("Sezione%1").arg(s), QStringLiteral("Chiave%1").arg(k), QStringLiteral("%1").arg(s * k)});
    QDir().mkpath(dir.path() + "/Config/Stellaro");
    ini.writeStrings(entries);
    return path;
}

void BM_ReadInteger(benchmark::State& state)
{
    QTemporaryDir dir;
    makeSettingsFile(dir, int(state.range(0)));
    TConfigurazione store(dir.path() + "/Config", "Stellaro/Contivo", {}, dir.path() + "/none.tpl");
    const QString section = QStringLiteral("Sezione%1").arg(state.range(0) - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.ReadInteger(section, "Chiave7", 0));
}
BENCHMARK(BM_ReadInteger)->Arg(10)->Arg(100)->Arg(1000);

void BM_WriteInteger(benchmark::State& state)
{
    QTemporaryDir dir;
    makeSettingsFile(dir, int(state.range(0)));
    TConfigurazione store(dir.path() + "/Config", "Stellaro/Contivo", {}, dir.path() + "/none.tpl");
    int v = 0;
    for (auto _ : state)
        store.WriteInteger("Sezione0", "Chiave0", ++v);
}
BENCHMARK(BM_WriteInteger)->Arg(10)->Arg(100);

void BM_EncipherWithKeyFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString key = dir.path() + "/Support.dat";
    QFile f(key);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray(1535 * 4, 'x'));
    f.close();
    const QString plain(int(state.range(0)), QLatin1Char('a'));
    for (auto _ : state)
        benchmark::DoNotOptimize(EncipherText(plain, DeriveSettingsKey(key)));
}
BENCHMARK(BM_EncipherWithKeyFile)->Arg(16)->Arg(511);

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
