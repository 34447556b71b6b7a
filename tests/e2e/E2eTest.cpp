// The real program, started as a user would start it (under a virtual X display when xvfb-run is
// installed), picks up a movements file dropped into its watched folder.
#include "storage/RecordTable.h"
#include "storage/TableFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

using namespace contivo;

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// The parent process id of a process, or -1.
qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
}

/// The descendant of root whose executable is the given file (the program under xvfb-run).
qint64 descendantRunning(qint64 root, const QString& executable)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() != executable)
            continue;
        for (qint64 p = parentOf(pid); p > 1; p = parentOf(p))
            if (p == root)
                return pid;
    }
    return -1;
}

template <typename Pred> bool waitUntil(Pred pred, const QProcess& running, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (pred())
            return true;
        if (running.state() == QProcess::NotRunning)
            return pred();
        QThread::msleep(100);
    }
    return pred();
}

}

TEST(EndToEnd, ADroppedMovementsFileIsImportedIntoItsCategoryAndRemoved)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString root = tmp.path() + QLatin1Char('/');
    const QString app = root + QStringLiteral("app/");
    const QString data = root + QStringLiteral("dati/");
    for (const char* sub : { "Langs", "Interfacce", "pics", "Config" })
        copyTree(QStringLiteral(CONTIVO_APPDIR "/") + QLatin1String(sub), app + QLatin1String(sub));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CONTIVO_APPDIR "/contivo"), app + QStringLiteral("contivo")));
    QDir().mkpath(app + QStringLiteral("Config/Stellaro"));
    ASSERT_TRUE(writeFile(
        app + QStringLiteral("Config/Stellaro/Contivo.ini"), "[Avvio]\r\nUserDir=" + data.toUtf8() + "\r\n"));
    for (const char* d : { "home", "config", "cache", "run" })
        QDir().mkpath(root + QLatin1String(d));
    QFile::setPermissions(
        root + QStringLiteral("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("home"));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), root + QStringLiteral("home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("run"));
    env.insert(QStringLiteral("CONTIVO_DIALOGS"), QStringLiteral("auto"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));

    QProcess program;
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty()) {
        std::cout << "[ NOTE     ] xvfb-run is not installed (scripts/deps installs it): running offscreen\n";
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProgram(app + QStringLiteral("contivo"));
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProgram(xvfb);
        program.setArguments({ QStringLiteral("-a"), app + QStringLiteral("contivo") });
    }
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(root);
    program.start();
    ASSERT_TRUE(program.waitForStarted());

    // The main window is up once it watches its exchange folder and has listed its year.
    const QString exchange = data + QStringLiteral("Exchange/");
    const QString tables = data + QStringLiteral("Tabelle/");
    ASSERT_TRUE(waitUntil(
        [&] {
            return QFileInfo(exchange).isDir()
                && QDir(tables).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() >= 1;
        },
        program, 120))
        << program.readAllStandardError().toStdString();
    QThread::msleep(1500);

    // Written beside the folder and moved in, as a well-behaved producer does.
    const QString dropped = exchange + QStringLiteral("Movimenti_Casa_2024_ENTRATE.csv");
    const QByteArray csv = "\"Data\";\"Tipologia\";\"Commento\";\"Importo\"\r\n"
                           "\"05/03/2024\";\"Stipendio\";\"marzo\";\"1500,00\"\r\n"
                           "\"20/04/2024\";\"Regalo\";\"compleanno\";\"50,25\"\r\n";
    ASSERT_TRUE(writeFile(root + QStringLiteral("drop.csv"), csv));
    ASSERT_TRUE(QFile::rename(root + QStringLiteral("drop.csv"), dropped));

    const QString income = tables + QStringLiteral("2024/Casa.IN");
    EXPECT_TRUE(waitUntil([&] { return !QFileInfo::exists(dropped); }, program, 120))
        << program.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(income));
    EXPECT_TRUE(QFileInfo::exists(tables + QStringLiteral("2024/Casa.OUT")));

    RecordTable table(QStringLiteral("Entrate"));
    TableFileFormat().Load(table, income);
    ASSERT_EQ(table.TotalRowCount(), 2);
    table.First();
    EXPECT_EQ(table.FieldByName(QStringLiteral("Commento")).AsString(), QStringLiteral("marzo"));
    EXPECT_DOUBLE_EQ(table.FieldByName(QStringLiteral("Movimento")).AsFloat(), 1500.0);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Mese")).AsInteger(), 3);
    table.Next();
    EXPECT_EQ(table.FieldByName(QStringLiteral("Tipologia")).AsString(), QStringLiteral("Regalo"));
    EXPECT_DOUBLE_EQ(table.FieldByName(QStringLiteral("Movimento")).AsFloat(), 50.25);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Mese")).AsInteger(), 4);

    // A termination request ends the program in order and with code 0.
    const qint64 pid = xvfb.isEmpty() ? program.processId()
                                      : descendantRunning(program.processId(),
                                          QFileInfo(app + QStringLiteral("contivo")).canonicalFilePath());
    ASSERT_GT(pid, 0);
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(120000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}
