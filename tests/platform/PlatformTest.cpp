#include "platform/DynamicLibrary.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "platform/SingleInstance.h"
#include "platform/SystemFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace contivo;

namespace {

/// Points the application folder, the XDG folders and the user folder at a fresh temp folder.
class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_root = m_tmp.path() + QLatin1Char('/');
        m_savedDataHome = qgetenv("XDG_DATA_HOME");
        m_savedDataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", (m_root + "xdg-home").toUtf8());
        setApplicationFolderForTests(m_root + "app");
        setUserFolder({});
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", m_savedDataHome);
        qputenv("XDG_DATA_DIRS", m_savedDataDirs);
        setApplicationFolderForTests({});
        setUserFolder({});
    }
    QTemporaryDir m_tmp;
    QString m_root;
    QByteArray m_savedDataHome, m_savedDataDirs;
};

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

}

TEST_F(FoldersTest, FolderServicesEndWithSeparatorAndCreateTheFolder)
{
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    struct Case {
        QString result;
        QString expected;
    };
    const Case cases[] = {
        {CartellaProgramma(), m_root + "app/"},
        {SottocartellaProgramma("Config"), m_root + "app/Config/"},
        {CartellaDatiApplicazione(), m_root + "xdg-home/" + exe + "/"},
        {CartellaDatiApplicazione("Debug"), m_root + "xdg-home/" + exe + "/Debug/"},
        {CartellaSpeciale(platform::kFolderUserAppData), m_root + "xdg-home/"},
        // Before start-up sets it, the user folder is the per-user application data folder.
        {CartellaUtente(), m_root + "xdg-home/" + exe + "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected);
        EXPECT_TRUE(QFileInfo(c.expected).isDir()) << c.expected.toStdString();
    }

    setUserFolder(m_root + "data"); // the separator is added
    EXPECT_EQ(CartellaUtente(), m_root + "data/");
    EXPECT_EQ(SottocartellaUtente("Tabelle/2024"), m_root + "data/Tabelle/2024/");
    EXPECT_TRUE(QFileInfo(m_root + "data/Tabelle/2024").isDir());
}

TEST_F(FoldersTest, SharedDataIsTheFirstWritableDataDirElseVarLib)
{
    QDir().mkpath(m_root + "shared");
    qputenv("XDG_DATA_DIRS", (m_root + "missing:relative/dir:" + m_root + "shared:/usr/share").toUtf8());
    EXPECT_EQ(CartellaSpeciale(platform::kFolderSharedAppData), m_root + "shared/");
    qputenv("XDG_DATA_DIRS", (m_root + "missing").toUtf8());
    EXPECT_EQ(platform::specialFolderPath(platform::kFolderSharedAppData), "/var/lib");
    EXPECT_EQ(CartellaSpeciale(12345), QString());
    EXPECT_FALSE(platform::specialFolderPath(platform::kFolderDocuments).isEmpty());
}

TEST_F(FoldersTest, KeyFileHasRandomIntegersInRangeAndIsNeverRewritten)
{
    setUserFolder(m_root + "data/");
    const QString path = FileChiave();
    EXPECT_EQ(path, m_root + "data/Support.dat");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    ASSERT_EQ(bytes.size() % 4, 0);
    const qsizetype count = bytes.size() / 4;
    EXPECT_GE(count, 1024);
    EXPECT_LE(count, 1535);
    QSet<qint32> distinct;
    for (qsizetype i = 0; i < count; ++i) {
        const qint32 v = qFromLittleEndian<qint32>(bytes.constData() + i * 4);
        ASSERT_GE(v, 50) << i;
        ASSERT_LE(v, 23703) << i;
        distinct.insert(v);
    }
    EXPECT_GT(distinct.size(), 100); // random content, not a constant
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    FileChiave();
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), bytes);
}

TEST_F(FoldersTest, KeyFileThatCannotBeCreatedLeavesThePathAndNoError)
{
    touch(m_root + "blocker"); // a file where the user folder should be
    setUserFolder(m_root + "blocker/data");
    QString path;
    EXPECT_NO_THROW(path = FileChiave());
    EXPECT_EQ(path, m_root + "blocker/data/Support.dat");
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(FoldersTest, ElencaFileListsOneFolderByMask)
{
    const QString dir = m_root + "list/";
    QDir().mkpath(dir + "Sub.IN");
    QDir().mkpath(dir + "Other");
    QDir().mkpath(dir + "Other/Deep.IN");
    touch(dir + "Casa.IN");
    touch(dir + "Casa.OUT");
    touch(dir + ".Nascosta.IN");
    touch(dir + "Note");

    struct Case {
        QString mask;
        bool foldersOnly;
        QStringList expected;
    };
    const Case cases[] = {
        {dir + "*.IN", false, {".Nascosta.IN", "Casa.IN", "Sub.IN"}},
        {dir + "*.in", false, {".Nascosta.IN", "Casa.IN", "Sub.IN"}},
        {dir + "*.IN", true, {"Sub.IN"}},
        {dir + "*.*", false, {".Nascosta.IN", "Casa.IN", "Casa.OUT", "Note", "Other", "Sub.IN"}},
        {dir + "*", true, {"Other", "Sub.IN"}},
        {dir + "Cas?.*", false, {"Casa.IN", "Casa.OUT"}},
        {dir + "*.XLS", false, {}},
        {m_root + "missing/*.IN", false, {}},
    };
    for (const Case& c : cases) {
        QStringList got = ElencaFile(c.mask, c.foldersOnly, false);
        got.sort();
        EXPECT_EQ(got, c.expected) << c.mask.toStdString();
    }
    QStringList full = ElencaFile(dir + "*.OUT", false, true);
    EXPECT_EQ(full, QStringList{dir + "Casa.OUT"});
}

TEST(FileNames, NomeSenzaEstensione)
{
    const std::pair<QString, QString> cases[] = {
        {"/x/Casa.OUT", "Casa"}, {"Casa.tar.gz", "Casa.tar"}, {"/x.y/Casa", "Casa"}, {"/x/.lst", ""}, {"", ""},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(NomeSenzaEstensione(path), name) << path.toStdString();
}

TEST(FileNames, NomeNonValidoGivesThePositionOfTheFirstListedCharacter)
{
    const std::pair<QString, int> cases[] = {
        {"Casa", 0}, {"a|b", 0}, {"", 0},
        {"a\\b", 2}, {"ab/", 3}, {"x:y", 2}, {"*", 1}, {"a?", 2}, {"\"q\"", 1}, {"a<b", 2}, {"a>b", 2},
        // list order wins over position in the name: the backslash is listed before the slash
        {"a/b\\c", 4},
        {"<a:b", 3},
    };
    for (const auto& [name, pos] : cases)
        EXPECT_EQ(NomeNonValido(name), pos) << name.toStdString();
}

TEST(SingleInstanceLock, SecondHolderGets183UntilTheFirstGoes)
{
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    {
        auto first = std::make_unique<platform::SingleInstance>("Stellaro.test");
        EXPECT_EQ(first->acquire(), 0);
        EXPECT_EQ(first->lockFilePath(), runtime.path() + "/Stellaro.test.lock");
        platform::SingleInstance second("Stellaro.test");
        EXPECT_EQ(second.acquire(), platform::SingleInstance::kAlreadyRunning);
        platform::SingleInstance other("Stellaro.other");
        EXPECT_EQ(other.acquire(), 0);
        first.reset();
        EXPECT_EQ(second.acquire(), 0);
    }
    EXPECT_EQ(platform::SingleInstance::defaultName(),
              "Stellaro." + QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(SingleInstanceLock, LockOfADeadProcessIsReleased)
{
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    platform::SingleInstance probe("Stellaro.proc");
    QProcess holder;
    holder.start("flock", {"--exclusive", "--no-fork", probe.lockFilePath(), "sleep", "60"});
    ASSERT_TRUE(holder.waitForStarted());
    // flock takes the lock shortly after starting; wait until it holds it.
    int code = 0;
    for (int i = 0; i < 200; ++i) {
        platform::SingleInstance attempt("Stellaro.proc");
        code = attempt.acquire();
        if (code == platform::SingleInstance::kAlreadyRunning)
            break;
        QThread::msleep(10);
    }
    EXPECT_EQ(code, platform::SingleInstance::kAlreadyRunning);
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(probe.acquire(), 0);
    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(RunTimeLibrary, LoadsResolvesAndReportsMissingFiles)
{
    platform::DynamicLibrary lib;
    EXPECT_FALSE(lib.load("/nonexistent/libTabulon.so"));
    EXPECT_FALSE(lib.errorString().isEmpty());
    EXPECT_EQ(lib.resolve("zlibVersion"), nullptr);

    ASSERT_TRUE(lib.load("libz.so.1")) << lib.errorString().toStdString();
    using VersionFn = const char* (*)();
    auto version = lib.resolveAs<VersionFn>("zlibVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version()[0], '1');
    EXPECT_EQ(lib.resolve("noSuchFunction"), nullptr);
    lib.unload();
    EXPECT_FALSE(lib.isLoaded());
    EXPECT_EQ(platform::DynamicLibrary::platformFileName("Tabulon"), "libTabulon.so");
}

TEST(StartingPrograms, WaitsAndGivesTheExitCode)
{
    QTemporaryDir dir;
    EXPECT_EQ(platform::runProgramAndWait("sh", {"-c", "echo x > out.txt; exit 3"}, dir.path()), 3);
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/out.txt"));
    EXPECT_EQ(platform::runProgramAndWait("/nonexistent/program", {}), -1);
}
