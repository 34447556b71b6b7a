#include "ConfigTestUtil.h"
#include "config/Startup.h"
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <ctime>

using namespace contivo;
using testutil::writeBytes;

namespace {

class StartupFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_root = m_tmp.path() + "/";
        m_savedHome = qgetenv("XDG_DATA_HOME");
        m_savedDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", (m_root + "home").toUtf8());
        QDir().mkpath(m_root + "shared");
        qputenv("XDG_DATA_DIRS", (m_root + "shared").toUtf8());
        setApplicationFolderForTests(m_root + "app");
        m_exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", m_savedHome);
        qputenv("XDG_DATA_DIRS", m_savedDirs);
        setApplicationFolderForTests({});
        setUserFolder({});
    }
    void startupFile(const QByteArray& userDirLine)
    {
        QDir().mkpath(m_root + "app/Config/Stellaro");
        writeBytes(m_root + "app/Config/Stellaro/Contivo.ini", "[Avvio]\r\n" + userDirLine + "\r\n");
    }
    QTemporaryDir m_tmp;
    QString m_root;
    QString m_exe;
    QByteArray m_savedHome, m_savedDirs;
};

}

TEST_F(StartupFoldersTest, UserDirPlaceholdersMatchTheWholeValueWithoutRegardToCase)
{
    struct Case {
        QString value;
        QString folder;
    };
    const Case cases[] = {
        {"<UserAppData>", m_root + "home/" + m_exe + "/"},
        {"<userappdata>", m_root + "home/" + m_exe + "/"},
        {"<SHAREDAPPDATA>", m_root + "shared/" + m_exe + "/"},
        {"<appdir>", m_root + "app/User/"},
        {m_root + "dati/", m_root + "dati/"},
        // no trailing separator: one is added so data stays inside the folder
        {m_root + "dati", m_root + "dati/"},
        // no trimming, no search for a part: used as a folder name
        {" <APPDIR>", " <APPDIR>/"},
        {"<APPDIR>x", "<APPDIR>x/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveUserFolder(c.value), c.folder) << c.value.toStdString();
}

TEST_F(StartupFoldersTest, InizializzaCartelleSettlesTheFoldersAndBothStores)
{
    startupFile("UserDir=" + (m_root + "dati").toUtf8());
    InizializzaCartelle("Stellaro/Contivo");
    EXPECT_EQ(CartellaUtente(), m_root + "dati/");
    EXPECT_EQ(SottocartellaUtente("Tabelle") + "Tipologie.DAT", m_root + "dati/Tabelle/Tipologie.DAT");
    EXPECT_EQ(StartupSettings().GetIniFileName(), m_root + "app/Config/Stellaro/Contivo.ini");
    EXPECT_EQ(StartupSettings().GetKeyFileName(), "");
    EXPECT_EQ(GetSettings().GetIniFileName(), m_root + "dati/Config/Stellaro/Contivo.ini");
    EXPECT_EQ(GetSettings().GetKeyFileName(), m_root + "dati/Support.dat");
    EXPECT_EQ(&UserSettings(), &GetSettings());
    EXPECT_TRUE(QFileInfo::exists(m_root + "dati/Support.dat"));
    // the user store works, enciphered values included, and its file is private
    GetSettings().WriteCryptedString("Backup", "Segreto", "abc");
    EXPECT_EQ(GetSettings().ReadCryptedString("Backup", "Segreto", ""), "abc");
    EXPECT_EQ(QFileInfo(GetSettings().GetIniFileName()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              QFile::Permissions());
}

TEST_F(StartupFoldersTest, DefaultIsThePerUserDataFolderAndAppDirSelectsUser)
{
    InizializzaCartelle("Stellaro/Contivo"); // no start-up file at all
    EXPECT_EQ(CartellaUtente(), m_root + "home/" + m_exe + "/");
    EXPECT_TRUE(QFileInfo::exists(m_root + "home/" + m_exe + "/Support.dat"));
    EXPECT_FALSE(QFileInfo::exists(m_root + "app/Config/Stellaro/Contivo.ini")); // only read

    startupFile("UserDir=<appdir>");
    InizializzaCartelle("Stellaro/Contivo");
    EXPECT_EQ(CartellaUtente(), m_root + "app/User/");
    EXPECT_TRUE(QFileInfo(m_root + "app/User/Config/Stellaro").isDir());
}

TEST_F(StartupFoldersTest, DeletedKeyFileIsRecreatedAndOldValuesNoLongerDecipher)
{
    startupFile("UserDir=" + (m_root + "dati/").toUtf8());
    InizializzaCartelle("Stellaro/Contivo");
    GetSettings().WriteCryptedString("Backup", "Segreto", "valore segreto");
    const QByteArray firstKey = testutil::readBytes(m_root + "dati/Support.dat");
    QFile::remove(m_root + "dati/Support.dat");
    // The generator is seeded with the time in seconds: a restart happens in a later second.
    const std::time_t started = std::time(nullptr);
    while (std::time(nullptr) == started)
        QThread::msleep(20);
    InizializzaCartelle("Stellaro/Contivo");
    const QByteArray secondKey = testutil::readBytes(m_root + "dati/Support.dat");
    EXPECT_FALSE(secondKey.isEmpty());
    EXPECT_NE(secondKey, firstKey);
    EXPECT_NE(GetSettings().ReadCryptedString("Backup", "Segreto", ""), "valore segreto");
}

TEST_F(StartupFoldersTest, UnwritableDataFolderLeavesOnlyTheEncipheredSettingsFailing)
{
    writeBytes(m_root + "blocker", "x"); // a file where the data folder would go
    startupFile("UserDir=" + (m_root + "blocker/dati/").toUtf8());
    EXPECT_NO_THROW(InizializzaCartelle("Stellaro/Contivo"));
    EXPECT_EQ(GetSettings().ReadInteger("Interfaccia", "LarghezzaTipologie", 64), 64);
    EXPECT_THROW(GetSettings().ReadCryptedString("Backup", "Segreto", ""), std::runtime_error);
}
