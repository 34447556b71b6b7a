#include "ConfigTestUtil.h"
#include "base/SystemFormats.h"
#include "config/Cipher.h"
#include "config/SettingsText.h"
#include "config/TConfigurazione.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

using namespace contivo;
using testutil::readBytes;
using testutil::writeBytes;

namespace {

const QByteArray kTemplate = "[Backup]\r\n"
                             "Stringa=FieldType=STRING,DefaultValue=DaModello\r\n"
                             "Intero=fieldtype=integer,defaultvalue=64,FieldWidth=80\r\n"
                             "InteroRotto=FieldType=INT,DefaultValue=abc\r\n"
                             "Vero=FieldType=BOOL,DefaultValue=true\r\n"
                             "Reale=FieldType=FLOAT,DefaultValue=2,5\r\n"
                             "RealeModello=FieldType=DOUBLE,\"DefaultValue=3,25\"\r\n"
                             "Giorno=FieldType=DATE,DefaultValue=45000\r\n"
                             "Segreto=FieldType=CRYPTEDSTRING\r\n"
                             "Cartella=FieldType=DIRECTORY,FieldWidth=x\r\n"
                             "Scelta=FieldType=CHOICE,Custom=1\r\n"
                             "Indice=FieldType=CHOICEINDEX\r\n"
                             "Colore=FieldType=COLOR,DefaultValue=255\r\n"
                             "[Interfaccia]\r\n"
                             "Testo=\"Custom=a b\" FieldType=STRING,\"FileExt=x,\"\"y\"\"\",FieldType=INTEGER\r\n"
                             "Titolo=FieldType=NONE\r\n"
                             "Strano=FieldType=STRINGA\r\n"
                             "[backup]\r\n"
                             "Nascosta=FieldType=STRING,DefaultValue=mai\r\n";

/// A store over a temp folder, with the template above unless told otherwise, a key file and an
/// Italian number format (comma decimal separator).
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_root = m_tmp.path() + "/";
        setApplicationFolderForTests(m_root + "app");
        SystemFormats::override({',', '.', "dd/MM/yyyy", "HH:mm:ss"});
        writeBytes(m_root + "key.dat", QByteArray(1024, 'k'));
    }
    void TearDown() override
    {
        SystemFormats::reset();
        setApplicationFolderForTests({});
    }
    TConfigurazione store(bool withTemplate = true)
    {
        if (withTemplate) {
            QDir().mkpath(m_root + "app/Config");
            writeBytes(m_root + "app/Config/Settings.tpl", kTemplate);
        } else {
            QFile::remove(m_root + "app/Config/Settings.tpl");
        }
        return TConfigurazione(m_root + "user/Config", "Stellaro/Contivo", m_root + "key.dat");
    }
    void storeFile(const QByteArray& bytes)
    {
        QDir().mkpath(m_root + "user/Config/Stellaro");
        writeBytes(m_root + "user/Config/Stellaro/Contivo.ini", bytes);
    }
    QTemporaryDir m_tmp;
    QString m_root;
};

}

TEST_F(SettingsTest, ConstructionNamesTheFilesAndCreatesTheFolder)
{
    TConfigurazione s = store();
    EXPECT_EQ(s.GetIniFileName(), m_root + "user/Config/Stellaro/Contivo.ini");
    EXPECT_EQ(s.GetConfigFolder(), m_root + "user/Config/");
    EXPECT_TRUE(QFileInfo(m_root + "user/Config/Stellaro").isDir());
    EXPECT_FALSE(QFileInfo::exists(s.GetIniFileName())); // created by the first write
    EXPECT_TRUE(s.HasTemplate());
    EXPECT_TRUE(s.WriteString("Backup", "Stringa", "x"));
    EXPECT_EQ(readBytes(s.GetIniFileName()), QByteArray("[Backup]\r\nStringa=x\r\n"));
}

TEST_F(SettingsTest, ReadersFallBackToTemplateThenCallerDefault)
{
    TConfigurazione s = store();
    storeFile("[Backup]\r\n"
              "Stringa=\r\n"
              "Intero=12abc\r\n"
              "InteroRotto=969696\r\n"
              "Vero=\r\n"
              "Reale=1.5\r\n"
              "Giorno=\r\n"
              "[Interfaccia]\r\n"
              "Testo=  valore  \r\n"
              "N1=969696\r\n"
              "N2=-17\r\n"
              "N3=$1F\r\n"
              "N4= 7 x\r\n"
              "B1=true\r\n"
              "B2=\"TRUE\"\r\n"
              "B3=True\r\n"
              "B4=1\r\n"
              "B5=Yes\r\n"
              "F1=1,5\r\n"
              "F2=-2,5E3\r\n"
              "F3=abc\r\n"
              "D1=45291\r\n"
              "D2=31/12/2023\r\n"
              "D3=ieri\r\n");
    // strings
    EXPECT_EQ(s.ReadString("Backup", "Stringa", "chiamante"), "DaModello"); // empty stored: template default
    EXPECT_EQ(s.ReadString("backup", "STRINGA", "chiamante"), "DaModello");
    EXPECT_EQ(s.ReadString("Interfaccia", "Testo", "chiamante"), "valore");
    EXPECT_EQ(s.ReadString("Interfaccia", "Manca", "chiamante"), "chiamante");
    // integers
    struct IntCase {
        const char* section;
        const char* key;
        int def;
        int expected;
    };
    const IntCase ints[] = {
        {"Backup", "Intero", 1, 64},       // not an integer: template default
        {"Backup", "InteroRotto", 5, 5},   // 969696 reads as missing; template default not a number
        {"Backup", "Colore", 0, 255},      // absent: template default
        {"Interfaccia", "N1", 3, 3},       // 969696 without template default
        {"Interfaccia", "N2", 3, -17},
        {"Interfaccia", "N3", 3, 31},
        {"Interfaccia", "N4", 3, 3},
        {"Interfaccia", "Manca", 969696, 969696},
    };
    for (const IntCase& c : ints)
        EXPECT_EQ(s.ReadInteger(c.section, c.key, c.def), c.expected) << c.key;
    // booleans: exactly TRUE without regard to case is true
    const std::pair<const char*, bool> bools[] = {{"B1", true}, {"B2", true}, {"B3", true}, {"B4", false}, {"B5", false}};
    for (const auto& [key, expected] : bools)
        EXPECT_EQ(s.ReadBool("Interfaccia", key, !expected), expected) << key;
    EXPECT_TRUE(s.ReadBool("Backup", "Vero", false)); // empty: template default "true"
    EXPECT_TRUE(s.ReadBool("Interfaccia", "Manca", true));
    EXPECT_FALSE(s.ReadBool("Interfaccia", "Manca", false));
    // floats with the comma separator
    EXPECT_DOUBLE_EQ(s.ReadFloat("Interfaccia", "F1", 9), 1.5);
    EXPECT_DOUBLE_EQ(s.ReadFloat("Interfaccia", "F2", 9), -2500);
    EXPECT_DOUBLE_EQ(s.ReadFloat("Interfaccia", "F3", 9), 9);
    EXPECT_DOUBLE_EQ(s.ReadFloat("Backup", "Reale", 9), 9); // a point does not convert: caller default
    EXPECT_DOUBLE_EQ(s.ReadFloat("Backup", "RealeModello", 9), 3.25);
    EXPECT_DOUBLE_EQ(s.ReadFloat("Interfaccia", "Manca", 9), 9);
    // dates
    EXPECT_EQ(s.ReadDate("Interfaccia", "D1", QDate()), QDate(2023, 12, 31));
    EXPECT_EQ(s.ReadDate("Interfaccia", "D2", QDate()), QDate(2023, 12, 31));
    EXPECT_EQ(s.ReadDate("Interfaccia", "D3", QDate(2020, 1, 2)), QDate(2020, 1, 2));
    EXPECT_EQ(s.ReadDate("Backup", "Giorno", QDate(2020, 1, 2)), QDate(2023, 3, 15)); // template 45000
    EXPECT_EQ(s.ReadDate("Interfaccia", "Manca", QDate()), QDate(1899, 12, 30));
}

TEST_F(SettingsTest, WritersStoreTheDocumentedTexts)
{
    TConfigurazione s = store();
    s.WriteString("W", "S", QString::fromUtf8("€."));
    s.WriteInteger("W", "I", -7);
    s.WriteBool("W", "T", true);
    s.WriteBool("W", "F", false);
    s.WriteFloat("W", "R", 1.5);
    s.WriteDate("W", "D", QDateTime(QDate(2023, 12, 31), QTime(14, 30)));
    s.WriteDate("W", "E", QDate(1899, 12, 29));
    EXPECT_EQ(readBytes(s.GetIniFileName()), QByteArray("[W]\r\nS=\x80.\r\nI=-7\r\nT=True\r\nF=False\r\nR=1,5\r\nD=45291\r\nE=-1\r\n"));
    EXPECT_EQ(s.ReadDate("W", "D", QDate()), QDate(2023, 12, 31));
    EXPECT_EQ(s.ReadFloat("W", "R", 0), 1.5);
    EXPECT_TRUE(s.ReadBool("W", "T", false));
    EXPECT_FALSE(s.ReadBool("W", "F", true));
    SystemFormats::override({'.', ',', "dd/MM/yyyy", "HH:mm:ss"});
    EXPECT_EQ(s.ReadFloat("W", "R", 7), 7); // written with a comma, read on a point system
}

TEST_F(SettingsTest, TemplateQueries)
{
    TConfigurazione s = store();
    struct TypeCase {
        const char* section;
        const char* key;
        SettingFieldType type;
    };
    const TypeCase types[] = {
        {"Backup", "Stringa", SettingFieldType::String},
        {"Backup", "Intero", SettingFieldType::Integer}, // lower-case attribute and word
        {"Backup", "InteroRotto", SettingFieldType::Integer},
        {"Backup", "Vero", SettingFieldType::Bool},
        {"Backup", "Reale", SettingFieldType::Float},
        {"Backup", "RealeModello", SettingFieldType::Float},
        {"Backup", "Giorno", SettingFieldType::Date},
        {"Backup", "Segreto", SettingFieldType::CryptedString},
        {"Backup", "Cartella", SettingFieldType::Directory},
        {"Backup", "Scelta", SettingFieldType::Choice},
        {"Backup", "Indice", SettingFieldType::ChoiceIndex},
        {"Backup", "Colore", SettingFieldType::Color},
        {"Interfaccia", "Testo", SettingFieldType::String}, // the first FieldType counts
        {"Interfaccia", "Titolo", SettingFieldType::None},
        {"Interfaccia", "Strano", SettingFieldType::Unknown},
        {"Interfaccia", "Manca", SettingFieldType::Unknown},
        {"Backup", "Nascosta", SettingFieldType::Unknown}, // a repeated section is never read
    };
    for (const TypeCase& c : types)
        EXPECT_EQ(s.GetFieldType(c.section, c.key), c.type) << c.key;
    const std::pair<QString, SettingFieldType> words[] = {
        {"INT", SettingFieldType::Integer}, {"DOUBLE", SettingFieldType::Float}, {"BOOLEAN", SettingFieldType::Bool},
        {"TIME", SettingFieldType::Time}, {"DATETIME", SettingFieldType::DateTime}, {"FILE", SettingFieldType::File},
        {"FIXEDCHOICE", SettingFieldType::FixedChoice}, {"string", SettingFieldType::Unknown},
    };
    for (const auto& [word, type] : words)
        EXPECT_EQ(settingFieldTypeFromWord(word), type) << word.toStdString();

    EXPECT_EQ(s.GetFieldWidth("Backup", "Intero"), 80);
    EXPECT_EQ(s.GetFieldWidth("Backup", "Cartella"), -1);
    EXPECT_EQ(s.GetFieldWidth("Backup", "Stringa"), -1);
    EXPECT_EQ(s.GetCustom("Interfaccia", "Testo"), "a b");
    EXPECT_EQ(s.GetCustom("Backup", "Scelta"), "1");
    EXPECT_EQ(s.GetCustom("Backup", "Stringa"), "");
    EXPECT_EQ(s.GetFieldAttribute("Interfaccia", "Testo", "fileext"), "x,\"y\"");
    EXPECT_EQ(s.GetSectionNames(), (QStringList{"Backup", "Interfaccia"}));
    EXPECT_EQ(s.GetSectionName(1), "Interfaccia");
    EXPECT_THROW(s.GetSectionName(2), std::out_of_range);
    EXPECT_EQ(s.IndexOfSection("INTERFACCIA"), 1);
    EXPECT_EQ(s.IndexOfSection("Avvio"), -1);
    EXPECT_EQ(s.GetSectionKeys("interfaccia"), (QStringList{"Testo", "Titolo", "Strano"}));
}

TEST_F(SettingsTest, WithoutTemplateEverythingFallsToTheCaller)
{
    TConfigurazione s = store(false);
    EXPECT_FALSE(s.HasTemplate());
    EXPECT_EQ(s.ReadString("Backup", "Stringa", "c"), "c");
    EXPECT_EQ(s.ReadInteger("Backup", "Intero", 3), 3);
    EXPECT_TRUE(s.ReadBool("Backup", "Vero", true));
    EXPECT_EQ(s.GetFieldType("Backup", "Intero"), SettingFieldType::Unknown);
    EXPECT_EQ(s.GetFieldWidth("Backup", "Intero"), -1);
    EXPECT_EQ(s.GetCustom("Backup", "Scelta"), "");
    EXPECT_TRUE(s.GetSectionKeys("Backup").isEmpty());
    EXPECT_EQ(s.IndexOfSection("Backup"), -1);
    EXPECT_THROW(s.GetSectionName(0), std::out_of_range);
    s.BackupSettings();
    writeBytes(s.GetConfigFolder() + "Settings.bkp", "[Backup]\r\nStringa=x\r\n");
    s.RestoreSettings();
    EXPECT_FALSE(QFileInfo::exists(s.GetIniFileName()));
}

TEST_F(SettingsTest, BackupAndRestoreFollowTheTemplateTypes)
{
    TConfigurazione s = store();
    s.WriteString("Backup", "Stringa", "mio");
    s.WriteInteger("Backup", "Intero", 12);
    s.WriteBool("Backup", "Vero", false);
    s.WriteFloat("Backup", "Reale", 0.25);
    s.WriteCryptedString("Backup", "Segreto", "parola");
    s.WriteString("Backup", "Cartella", "/dati/");
    s.WriteString("Backup", "Scelta", "uno");
    s.BackupSettings();

    const IniFile bkp(s.GetConfigFolder() + "Settings.bkp");
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"Backup", "Stringa", "mio"},   {"Backup", "Intero", "12"},     {"Backup", "InteroRotto", "0"},
        {"Backup", "Vero", "FALSE"},    {"Backup", "Reale", "0,25"},    {"Backup", "RealeModello", "3,25"},
        {"Backup", "Giorno", "45000"},  {"Backup", "Segreto", "parola"}, {"Backup", "Cartella", ""},
        {"Backup", "Scelta", ""},       {"Backup", "Indice", ""},       {"Backup", "Colore", "255"},
        {"Interfaccia", "Testo", ""},   {"Interfaccia", "Titolo", ""},  {"Interfaccia", "Strano", ""},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(bkp.hasKey(c.section, c.key)) << c.key;
        EXPECT_EQ(bkp.readString(c.section, c.key, "<none>"), c.expected) << c.key;
    }

    s.WriteString("Backup", "Stringa", "cambiato");
    s.WriteInteger("Backup", "Intero", 99);
    s.WriteBool("Backup", "Vero", true);
    s.WriteFloat("Backup", "Reale", 8);
    s.WriteCryptedString("Backup", "Segreto", "altra");
    s.WriteString("Backup", "Cartella", "/altrove/");
    s.WriteString("Backup", "Scelta", "due");
    s.RestoreSettings();
    EXPECT_EQ(s.ReadString("Backup", "Stringa", ""), "mio");
    EXPECT_EQ(s.ReadInteger("Backup", "Intero", 0), 12);
    EXPECT_FALSE(s.ReadBool("Backup", "Vero", true));
    EXPECT_DOUBLE_EQ(s.ReadFloat("Backup", "Reale", 0), 0.25);
    EXPECT_EQ(s.ReadCryptedString("Backup", "Segreto", ""), "parola");
    EXPECT_EQ(s.ReadString("Backup", "Cartella", ""), "/altrove/"); // not restored
    EXPECT_EQ(s.ReadString("Backup", "Scelta", ""), "due");
    EXPECT_TRUE(QFileInfo::exists(s.GetConfigFolder() + "Settings.bkp"));

    // a malformed integer restores as 0; keys the template does not know are skipped
    writeBytes(s.GetConfigFolder() + "Settings.bkp", "[Backup]\r\nIntero=xyz\r\nIgnota=5\r\n");
    s.RestoreSettings();
    EXPECT_EQ(s.ReadString("Backup", "Intero", ""), "0");
    EXPECT_EQ(s.ReadString("Backup", "Ignota", "absent"), "absent");
}

TEST_F(SettingsTest, EncipheredSettingsStoreLettersAndReportAMissingKeyFile)
{
    TConfigurazione s = store();
    s.WriteCryptedString("Backup", "Segreto", QString::fromUtf8("pässwörd €"));
    const QString stored = s.ReadString("Backup", "Segreto", "");
    EXPECT_EQ(stored.size(), 4 * 10);
    EXPECT_TRUE(QRegularExpression("^[a-p]+$").match(stored).hasMatch()) << stored.toStdString();
    EXPECT_EQ(s.ReadCryptedString("Backup", "Segreto", ""), QString::fromUtf8("pässwörd €"));
    EXPECT_EQ(s.ReadCryptedString("Backup", "Vuoto", ""), "");
    // the caller's default and a template default pass through the decipher too
    const QString key = DeriveSettingsKey(m_root + "key.dat");
    EXPECT_EQ(s.ReadCryptedString("Backup", "Vuoto", EncipherText("dal chiamante", key)), "dal chiamante");
    writeBytes(m_root + "app/Config/Settings.tpl",
               "[Backup]\r\nSegreto2=FieldType=CRYPTEDSTRING,DefaultValue=" + EncipherText("dal modello", key).toLatin1() + "\r\n");
    const TConfigurazione withDefault(m_root + "user/Config", "Stellaro/Contivo", m_root + "key.dat");
    EXPECT_EQ(withDefault.ReadCryptedString("Backup", "Segreto2", ""), "dal modello");

    TConfigurazione noKey(m_root + "user/Config", "Stellaro/Contivo", m_root + "missing.dat");
    try {
        noKey.ReadCryptedString("Backup", "Segreto", "");
        FAIL() << "no error for a missing key file";
    } catch (const ESecHashException& e) {
        EXPECT_STREQ(e.what(), "File not found !");
    }
    EXPECT_THROW(noKey.WriteCryptedString("Backup", "Segreto", "x"), ESecHashException);
    EXPECT_EQ(s.ReadCryptedString("Backup", "Segreto", ""), QString::fromUtf8("pässwörd €")); // unchanged
}

TEST_F(SettingsTest, FormPlacementUsesTheNameUpToTheFirstUnderscore)
{
    EXPECT_EQ(placementSection("FormImpostazioni"), "FormImpostazioni");
    EXPECT_EQ(placementSection("FormImpostazioni_1"), "FormImpostazioni");
    EXPECT_EQ(placementSection("A_b_c"), "A");

    TConfigurazione s = store();
    {
        QWidget first;
        first.setObjectName("FormImpostazioni_1");
        BindFormPlacement(s, first);
        first.setGeometry(40, 50, 300, 200);
        first.show();
        first.close();
    }
    EXPECT_EQ(s.ReadInteger("FormImpostazioni", "Width", 0), 300);
    EXPECT_EQ(s.ReadInteger("FormImpostazioni", "Height", 0), 200);
    EXPECT_EQ(s.ReadInteger("FormImpostazioni", "Left", 0), 40);
    EXPECT_EQ(s.ReadInteger("FormImpostazioni", "Top", 0), 50);

    QWidget second;
    second.setObjectName("FormImpostazioni");
    BindFormPlacement(s, second);
    EXPECT_EQ(second.geometry(), QRect(40, 50, 300, 200));

    // a maximised window keeps its normal geometry and comes back maximised
    {
        QWidget big;
        big.setObjectName("FormGrande");
        BindFormPlacement(s, big);
        big.setGeometry(10, 20, 200, 100);
        big.showMaximized();
        big.close();
    }
    EXPECT_TRUE(s.ReadBool("FormGrande", "Maximized", false));
    EXPECT_EQ(s.ReadInteger("FormGrande", "Width", 0), 200);
    QWidget bigAgain;
    bigAgain.setObjectName("FormGrande");
    BindFormPlacement(s, bigAgain);
    EXPECT_TRUE(bigAgain.windowState() & Qt::WindowMaximized);

    QWidget other;
    other.setObjectName("FormAltro");
    other.resize(123, 45);
    BindFormPlacement(s, other);
    EXPECT_EQ(other.size(), QSize(123, 45)); // nothing stored: left as it was
}

TEST(CommaText, SplitsLikeTheTemplateFormat)
{
    const std::pair<QString, QStringList> cases[] = {
        {"FieldType=INTEGER,DefaultValue=64", {"FieldType=INTEGER", "DefaultValue=64"}},
        {"a b,c", {"a", "b", "c"}},
        {"  a ,  b  ", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},
        {"\"x y\",z", {"x y", "z"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"Custom=\"a", {"Custom=\"a"}},
        {"\"ab\"cd", {"ab", "cd"}},
        {"\"open", {"open"}},
        {"", {}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(settingstext::parseCommaText(text), items) << text.toStdString();
}

TEST(IntegerText, ReadsWholeIntegersOnly)
{
    const std::pair<QString, std::optional<int>> cases[] = {
        {"12", 12}, {"-7", -7}, {"+3", 3}, {"  5", 5}, {"$1f", 31}, {"0x10", 16}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"2147483648", std::nullopt}, {"5 ", std::nullopt}, {"12abc", std::nullopt},
        {"", std::nullopt}, {"-", std::nullopt}, {"1.0", std::nullopt}, {"$", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(settingstext::toInt(text), value) << text.toStdString();
}

TEST(ShippedTemplate, DeclaresTheProgramsOwnSettings)
{
    const QString path = QStringLiteral(CONTIVO_SOURCE_DIR "/resources/Config/Settings.tpl");
    const QByteArray bytes = readBytes(path);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')); // CRLF throughout
    EXPECT_TRUE(bytes.contains("DefaultValue=\x80.")); // the euro sign is the cp1252 byte
    QTemporaryDir tmp;
    TConfigurazione s(tmp.path() + "/Config", "Stellaro/Contivo", QString(), path);
    EXPECT_EQ(s.GetSectionName(0), "Backup"); // the settings window opens there
    struct Case {
        const char* section;
        const char* key;
        SettingFieldType type;
    };
    const Case cases[] = {
        {"Interfaccia", "MostraHint", SettingFieldType::Bool},
        {"Interfaccia", "LarghezzaTipologie", SettingFieldType::Integer},
        {"OpzioniInternazionali", "Valuta", SettingFieldType::String},
        {"Backup", "UltimoBackup", SettingFieldType::Date},
        {"Backup", "BackupAutomatico", SettingFieldType::Integer},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.GetFieldType(c.section, c.key), c.type) << c.key;
    EXPECT_TRUE(s.ReadBool("Interfaccia", "MostraHint", false));
    EXPECT_EQ(s.ReadInteger("Interfaccia", "LarghezzaTipologie", 0), 64);
    EXPECT_EQ(s.ReadString("OpzioniInternazionali", "Valuta", ""), QString::fromUtf8("€."));
    EXPECT_EQ(s.ReadDate("Backup", "UltimoBackup", QDate(2000, 1, 1)), QDate(1899, 12, 30));
    EXPECT_EQ(s.ReadInteger("Backup", "BackupAutomatico", 9), 0);
}
