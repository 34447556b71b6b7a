#include "app/Startup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace contivo;

namespace {

void addEntries(const QString& folder, QMap<QString, QString>& out)
{
    out.insert(folder, QFileInfo(folder).exists() ? QStringLiteral("folder") : QStringLiteral("missing"));
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        out.insert(info.filePath(), QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()));
    }
}

/// Every entry under the program's folders (application, data, runtime) with its size and
/// modification time. Caches of the system libraries are not the program's files.
QMap<QString, QString> snapshot(const QString& root)
{
    QMap<QString, QString> out;
    for (const char* sub : {"app", "home", "dati", "run"})
        addEntries(root + sub, out);
    return out;
}

/// A copy of the program in its own application folder, with the XDG folders in the same temp
/// folder, so runs never meet the user's real data or a copy the user has open.
class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_root = m_tmp.path() + "/";
        for (const char* d : {"app/Config/Stellaro", "home", "run", "config", "cache", "dati"})
            QDir().mkpath(m_root + d);
        QFile::setPermissions(m_root + "run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_TRUE(QFile::copy(QStringLiteral(CONTIVO_APPDIR "/contivo"), m_root + "app/contivo"));
        QFile startup(m_root + "app/Config/Stellaro/Contivo.ini");
        ASSERT_TRUE(startup.open(QIODevice::WriteOnly));
        startup.write("[Avvio]\r\nUserDir=" + (m_root + "dati").toUtf8() + "\r\n");
    }
    void TearDown() override
    {
        for (QProcess* p : {&m_first, &m_second}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
    void prepare(QProcess& p)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", m_root + "home");
        env.insert("XDG_DATA_DIRS", m_root + "home");
        env.insert("XDG_RUNTIME_DIR", m_root + "run");
        env.insert("XDG_CONFIG_HOME", m_root + "config");
        env.insert("XDG_CACHE_HOME", m_root + "cache");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("CONTIVO_DIALOGS", "auto");
        p.setProcessEnvironment(env);
        p.setProgram(m_root + "app/contivo");
        p.setWorkingDirectory(m_root);
    }
    /// Waits (generously: sanitizer builds start slowly) until the path exists.
    static bool waitFor(const QString& path, QProcess& running)
    {
        for (int i = 0; i < 1200 && running.state() != QProcess::NotRunning; ++i) {
            if (QFileInfo::exists(path))
                return true;
            QThread::msleep(50);
        }
        return QFileInfo::exists(path);
    }
    QTemporaryDir m_tmp;
    QString m_root;
    QProcess m_first, m_second;
};

}

TEST_F(ProgramRun, SecondCopyShowsTheBoxExitsZeroAndTouchesNothing)
{
    prepare(m_first);
    m_first.start();
    ASSERT_TRUE(m_first.waitForStarted());
    // The first copy honours UserDir of the start-up file: its key file lands in the chosen folder.
    ASSERT_TRUE(waitFor(m_root + "dati/Support.dat", m_first)) << m_first.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(m_root + "dati/Config/Stellaro").isDir());
    EXPECT_FALSE(QFileInfo::exists(m_root + "home/contivo")); // the default data folder is not used
    // Let the first copy finish its start-up (main window, folders it creates) before comparing.
    QMap<QString, QString> before = snapshot(m_root);
    for (int i = 0; i < 120; ++i) {
        QThread::msleep(500);
        const QMap<QString, QString> now = snapshot(m_root);
        if (now == before)
            break;
        before = now;
    }

    prepare(m_second);
    m_second.start();
    ASSERT_TRUE(m_second.waitForFinished(120000));
    const QString err = QString::fromUtf8(m_second.readAllStandardError());
    EXPECT_EQ(m_second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_second.exitCode(), 0);
    EXPECT_TRUE(err.contains("Verifica singola istanza")) << err.toStdString();
    EXPECT_TRUE(err.contains(QString::fromUtf8("L'applicativo risulta già in uso (183)"))) << err.toStdString();
    EXPECT_EQ(snapshot(m_root), before);
    EXPECT_EQ(m_first.state(), QProcess::Running);

    // Once the first copy is gone (however it ended), the next one starts normally.
    m_first.kill();
    m_first.waitForFinished();
    // A copy that gets past the lock recreates the deleted key file.
    ASSERT_TRUE(QFile::remove(m_root + "dati/Support.dat"));
    QProcess third;
    prepare(third);
    third.start();
    ASSERT_TRUE(third.waitForStarted());
    EXPECT_TRUE(waitFor(m_root + "dati/Support.dat", third));
    EXPECT_EQ(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished();
    EXPECT_FALSE(QString::fromUtf8(third.readAllStandardError()).contains("Verifica singola istanza"));
}

TEST(StartupTexts, SingleInstanceMessage)
{
    EXPECT_EQ(SingleInstanceMessage(183), QString::fromUtf8("L'applicativo risulta già in uso (183)"));
}
