#include "ConfigTestUtil.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace contivo;
using testutil::readBytes;
using testutil::writeBytes;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_tmp.isValid()); }
    QString path(const QString& name = "a.ini") const { return m_tmp.path() + "/" + name; }
    QTemporaryDir m_tmp;
};

}

TEST_F(IniFileTest, ReadsWithPrivateProfileRules)
{
    writeBytes(path(), "; a comment\r\n"
                       "[Generale]\r\n"
                       "Nome=Mario\r\n"
                       "  Spazi  =   con blank   \r\n"
                       "Doppie=\"  tra virgolette \"\r\n"
                       "Singole='x'\r\n"
                       "Spaiate=\"x'\r\n"
                       "SoloInizio=\"x\r\n"
                       "Vuota=\r\n"
                       "Nome=seconda\r\n"
                       "senza uguale\r\n"
                       "Valuta=\x80.\r\n"
                       "Uguale=a=b\r\n"
                       "[ altra ]\n"
                       "Chiave=lf\n"
                       "[GENERALE]\r\n"
                       "Dopo=ignorata\r\n");
    const IniFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"Generale", "Nome", "Mario"},
        {"generale", "NOME", "Mario"}, // names match without regard to case, the first occurrence counts
        {"Generale", "spazi", "con blank"},
        {"Generale", "Doppie", "  tra virgolette "},
        {"Generale", "Singole", "x"},
        {"Generale", "Spaiate", "\"x'"},
        {"Generale", "SoloInizio", "\"x"},
        {"Generale", "Vuota", ""},
        {"Generale", "Valuta", QString::fromUtf8("€.")},
        {"Generale", "Uguale", "a=b"},
        {"Altra", "chiave", "lf"},
        {"Generale", "Dopo", "<def>"}, // only the first section of a name is read
        {"Generale", "Manca", "<def>"},
        {"Nessuna", "Nome", "<def>"},
        {"Generale", "; a comment", "<def>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.readString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.sections(), (QStringList{"Generale", "altra", "GENERALE"}));
    EXPECT_EQ(ini.keys("GENERALE"),
              (QStringList{"Nome", "Spazi", "Doppie", "Singole", "Spaiate", "SoloInizio", "Vuota", "Nome", "Valuta", "Uguale"}));
}

TEST_F(IniFileTest, ValuesAreCutAt2047Characters)
{
    IniFile ini(path());
    const QString longValue = QString(3000, 'x');
    ini.writeString("S", "K", longValue);
    EXPECT_EQ(ini.readString("S", "K").size(), 2047);
    ini.writeString("S", "K", QString(2047, 'y'));
    EXPECT_EQ(ini.readString("S", "K"), QString(2047, 'y'));
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndFirstWriteCreatesIt)
{
    IniFile ini(path("sub.ini"));
    EXPECT_FALSE(ini.exists());
    EXPECT_EQ(ini.readString("S", "K", "d"), "d");
    EXPECT_TRUE(ini.sections().isEmpty());
    ini.writeString("Sezione", "Chiave", QString::fromUtf8("€ 1"));
    EXPECT_EQ(readBytes(path("sub.ini")), QByteArray("[Sezione]\r\nChiave=\x80 1\r\n"));
    EXPECT_EQ(QFileInfo(path("sub.ini")).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
}

TEST_F(IniFileTest, WritesReplaceOrAddOneLineAndKeepTheRest)
{
    const QByteArray original = "; commento\r\n"
                                "[Uno]\r\n"
                                "A=1\r\n"
                                "strana riga\r\n"
                                "\r\n"
                                "[Due]\n"
                                "b = 2\n"
                                "[Tre]\r\n"
                                "C=3";
    writeBytes(path(), original);
    IniFile ini(path());
    ini.writeString("uno", "a", "uno");      // replaced in place, caller's spelling
    ini.writeString("Uno", "Nuova", "n");    // added after the section's last line, before the blank
    ini.writeString("DUE", "B", "due");
    ini.writeString("Tre", "D", "4");        // the unterminated last line gets its line end
    ini.writeString("Quattro", "E", "5");    // new section at the end
    EXPECT_EQ(readBytes(path()), QByteArray("; commento\r\n"
                                            "[Uno]\r\n"
                                            "a=uno\r\n"
                                            "strana riga\r\n"
                                            "Nuova=n\r\n"
                                            "\r\n"
                                            "[Due]\n"
                                            "B=due\n"
                                            "[Tre]\r\n"
                                            "C=3\r\n"
                                            "D=4\r\n"
                                            "[Quattro]\r\n"
                                            "E=5\r\n"));
    ini.deleteKey("Tre", "c");
    EXPECT_EQ(ini.readString("Tre", "C", "gone"), "gone");
    EXPECT_EQ(ini.readString("Tre", "D"), "4");
}

TEST_F(IniFileTest, NothingIsCachedAndWritesLeaveNoTemporaryFiles)
{
    IniFile ini(path());
    ini.writeString("S", "K", "1");
    writeBytes(path(), "[S]\r\nK=changed outside\r\n");
    EXPECT_EQ(ini.readString("S", "K"), "changed outside");
    ini.writeStrings({{"S", "A", "a"}, {"T", "B", "b"}, {"S", "K", "k"}});
    EXPECT_EQ(readBytes(path()), QByteArray("[S]\r\nK=k\r\nA=a\r\n[T]\r\nB=b\r\n"));
    EXPECT_EQ(QDir(m_tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST_F(IniFileTest, WriteToAnUnwritablePathThrows)
{
    QDir().mkpath(path("dir.ini")); // a folder where the file should be
    IniFile ini(path("dir.ini"));
    EXPECT_THROW(ini.writeString("S", "K", "v"), std::runtime_error);
}
