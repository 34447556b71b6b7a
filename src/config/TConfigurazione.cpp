#include "config/TConfigurazione.h"

#include "base/DateTime.h"
#include "base/StringUtils.h"
#include "base/SystemFormats.h"
#include "config/Cipher.h"
#include "config/SettingsText.h"
#include "platform/Folders.h"

#include <QFileInfo>
#include <cmath>
#include <stdexcept>

namespace contivo {
namespace {

QString attributeOf(const QString& line, const QString& attribute)
{
    for (const QString& item : settingstext::parseCommaText(line)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? item : item.left(eq);
        if (name.compare(attribute, Qt::CaseInsensitive) == 0)
            return eq < 0 ? QString() : item.mid(eq + 1);
    }
    return {};
}

int wholeDays(const QDate& date) { return date.isValid() ? static_cast<int>(dt::fromDate(date)) : 0; }

}

SettingFieldType settingFieldTypeFromWord(const QString& w)
{
    struct Word {
        const char* word;
        SettingFieldType type;
    };
    static const Word kWords[] = {
        {"INT", SettingFieldType::Integer},       {"INTEGER", SettingFieldType::Integer},
        {"FLOAT", SettingFieldType::Float},       {"DOUBLE", SettingFieldType::Float},
        {"STRING", SettingFieldType::String},     {"CRYPTEDSTRING", SettingFieldType::CryptedString},
        {"BOOL", SettingFieldType::Bool},         {"BOOLEAN", SettingFieldType::Bool},
        {"TIME", SettingFieldType::Time},         {"DATE", SettingFieldType::Date},
        {"DATETIME", SettingFieldType::DateTime}, {"DIRECTORY", SettingFieldType::Directory},
        {"FILE", SettingFieldType::File},         {"CHOICE", SettingFieldType::Choice},
        {"FIXEDCHOICE", SettingFieldType::FixedChoice}, {"CHOICEINDEX", SettingFieldType::ChoiceIndex},
        {"COLOR", SettingFieldType::Color},       {"NONE", SettingFieldType::None},
    };
    for (const Word& k : kWords)
        if (w == QLatin1String(k.word))
            return k.type;
    return SettingFieldType::Unknown;
}

TConfigurazione::TConfigurazione(const QString& folder, const QString& name, const QString& keyFile,
                                 const QString& templatePath)
    : m_folder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'))
    , m_name(QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')))
    , m_keyFile(keyFile)
    , m_file(m_folder + m_name + QStringLiteral(".ini"))
{
    ForceDirectories(QFileInfo(m_file.fileName()).absolutePath());
    const QString tpl = templatePath.isEmpty() ? SottocartellaProgramma(QStringLiteral("Config")) + QStringLiteral("Settings.tpl")
                                               : templatePath;
    if (QFileInfo::exists(tpl))
        m_template.emplace(tpl);
}

QString TConfigurazione::stored(const QString& section, const QString& key) const
{
    return m_file.readString(section, key);
}

QString TConfigurazione::templateDefault(const QString& section, const QString& key) const
{
    if (!m_template)
        return {};
    return attributeOf(m_template->readString(section, key), QStringLiteral("DefaultValue"));
}

QString TConfigurazione::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const QString value = stored(section, key);
    if (!value.isEmpty())
        return value;
    const QString tdef = templateDefault(section, key);
    return tdef.isEmpty() ? def : tdef;
}

bool TConfigurazione::WriteString(const QString& section, const QString& key, const QString& value)
{
    m_file.writeString(section, key, value);
    return true;
}

int TConfigurazione::ReadInteger(const QString& section, const QString& key, int def) const
{
    int value = settingstext::toInt(stored(section, key)).value_or(kMissingInteger);
    if (value == kMissingInteger) {
        const QString tdef = templateDefault(section, key);
        if (!tdef.isEmpty())
            value = settingstext::toInt(tdef).value_or(def);
    }
    return value == kMissingInteger ? def : value;
}

bool TConfigurazione::WriteInteger(const QString& section, const QString& key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TConfigurazione::ReadBool(const QString& section, const QString& key, bool def) const
{
    QString value = stored(section, key).toUpper();
    if (value.isEmpty())
        value = templateDefault(section, key).toUpper();
    if (value.isEmpty())
        return def;
    return value == QLatin1String("TRUE");
}

bool TConfigurazione::WriteBool(const QString& section, const QString& key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

double TConfigurazione::ReadFloat(const QString& section, const QString& key, double def) const
{
    QString value = stored(section, key);
    if (value.isEmpty())
        value = templateDefault(section, key);
    if (value.isEmpty())
        return def;
    return str::toDoubleDef(value, def);
}

bool TConfigurazione::WriteFloat(const QString& section, const QString& key, double value)
{
    return WriteString(section, key, SystemFormats::formatGeneral(value));
}

QDate TConfigurazione::ReadDate(const QString& section, const QString& key, const QDate& def) const
{
    // The settings window may have stored a date as date text: both forms read back.
    const QString text = stored(section, key);
    if (!text.isEmpty() && !settingstext::toInt(text)) {
        const QDate date = QDate::fromString(text, SystemFormats::shortDateFormat());
        if (date.isValid())
            return date;
    }
    return dt::toDate(ReadInteger(section, key, wholeDays(def)));
}

bool TConfigurazione::WriteDate(const QString& section, const QString& key, const QDate& value)
{
    return WriteInteger(section, key, wholeDays(value));
}

bool TConfigurazione::WriteDate(const QString& section, const QString& key, const QDateTime& value)
{
    return WriteInteger(section, key, value.isValid() ? static_cast<int>(std::trunc(dt::fromDateTime(value))) : 0);
}

QString TConfigurazione::derivedKey() const { return DeriveSettingsKey(m_keyFile); }

QString TConfigurazione::ReadCryptedString(const QString& section, const QString& key, const QString& def) const
{
    const QString cipher = ReadString(section, key, def);
    return DecipherText(cipher, derivedKey());
}

bool TConfigurazione::WriteCryptedString(const QString& section, const QString& key, const QString& plain)
{
    return WriteString(section, key, EncipherText(plain, derivedKey()));
}

SettingFieldType TConfigurazione::GetFieldType(const QString& section, const QString& key) const
{
    if (!m_template)
        return SettingFieldType::Unknown;
    const QString line = m_template->readString(section, key).toUpper();
    return settingFieldTypeFromWord(attributeOf(line, QStringLiteral("FIELDTYPE")));
}

int TConfigurazione::GetFieldWidth(const QString& section, const QString& key) const
{
    if (!m_template)
        return -1;
    return settingstext::toInt(GetFieldAttribute(section, key, QStringLiteral("FieldWidth"))).value_or(-1);
}

QString TConfigurazione::GetCustom(const QString& section, const QString& key) const
{
    return m_template ? GetFieldAttribute(section, key, QStringLiteral("Custom")) : QString();
}

QString TConfigurazione::GetFieldAttribute(const QString& section, const QString& key, const QString& attribute) const
{
    if (!m_template)
        return {};
    return attributeOf(m_template->readString(section, key), attribute);
}

QStringList TConfigurazione::GetSectionNames() const
{
    QStringList names;
    if (!m_template)
        return names;
    // A section written twice is one section: only its first occurrence is ever read.
    for (const QString& name : m_template->sections())
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    return names;
}

QString TConfigurazione::GetSectionName(int index) const
{
    const QStringList names = GetSectionNames();
    if (index < 0 || index >= names.size())
        throw std::out_of_range(QStringLiteral("List index out of bounds (%1)").arg(index).toStdString());
    return names[index];
}

int TConfigurazione::IndexOfSection(const QString& name) const
{
    const QStringList names = GetSectionNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList TConfigurazione::GetSectionKeys(const QString& section) const
{
    return m_template ? m_template->keys(section) : QStringList();
}

void TConfigurazione::BackupSettings()
{
    if (!m_template)
        return;
    QList<IniFile::Entry> entries;
    for (const QString& section : GetSectionNames()) {
        for (const QString& key : GetSectionKeys(section)) {
            QString text;
            switch (GetFieldType(section, key)) {
            case SettingFieldType::String:
                text = ReadString(section, key, QString());
                break;
            case SettingFieldType::CryptedString:
                text = ReadCryptedString(section, key, QString());
                break;
            case SettingFieldType::Integer:
            case SettingFieldType::Time:
            case SettingFieldType::Date:
            case SettingFieldType::Color:
                text = QString::number(ReadInteger(section, key, 0));
                break;
            case SettingFieldType::Bool:
                text = ReadBool(section, key, false) ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                break;
            case SettingFieldType::Float:
            case SettingFieldType::DateTime:
                text = SystemFormats::formatGeneral(ReadFloat(section, key, 0));
                break;
            default:
                break;
            }
            entries.append({section, key, text});
        }
    }
    IniFile(m_folder + QStringLiteral("Settings.bkp")).writeStrings(entries);
}

void TConfigurazione::RestoreSettings()
{
    if (!m_template)
        return;
    const IniFile backup(m_folder + QStringLiteral("Settings.bkp"));
    for (const QString& section : backup.sections()) {
        for (const QString& key : backup.keys(section)) {
            const QString text = backup.readString(section, key);
            if (text.isEmpty())
                continue;
            switch (GetFieldType(section, key)) {
            case SettingFieldType::String:
                WriteString(section, key, text);
                break;
            case SettingFieldType::CryptedString:
                WriteCryptedString(section, key, text);
                break;
            case SettingFieldType::Integer:
            case SettingFieldType::Time:
            case SettingFieldType::Date:
            case SettingFieldType::Color:
                WriteInteger(section, key, settingstext::toInt(text).value_or(0));
                break;
            case SettingFieldType::Bool:
                WriteBool(section, key, text.toUpper() == QLatin1String("TRUE"));
                break;
            case SettingFieldType::Float:
            case SettingFieldType::DateTime:
                WriteFloat(section, key, str::toDoubleDef(text, 0));
                break;
            default:
                break;
            }
        }
    }
}

}
