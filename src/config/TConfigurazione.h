#pragma once

#include "config/IniFile.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace contivo {

/// The type of a setting, from the FieldType word of its template line.
enum class SettingFieldType {
    Unknown = 0,
    Integer = 1,
    Float = 2,
    String = 3,
    CryptedString = 4,
    Bool = 5,
    Time = 6,
    Date = 7,
    DateTime = 8,
    Directory = 9,
    File = 10,
    Choice = 11,
    FixedChoice = 12,
    ChoiceIndex = 13,
    Color = 14,
    None = 15,
};

/// Maps an upper-cased FieldType word to its type (Unknown for any other word).
SettingFieldType settingFieldTypeFromWord(const QString& upperWord);

/// The settings store: Section/Key/Value options in an INI file with typed access, defaults from
/// the template Settings.tpl of the application folder, window placements, and a backup of every
/// template-declared option. Every write reaches the disk at once; readers never fail for a
/// missing or malformed value but fall back to the template's default, then the caller's.
class TConfigurazione {
public:
    /// A stored integer that reads as missing.
    static constexpr int kMissingInteger = 969696;

    /// folder: where the file lives (a trailing '/' is added); name: relative file name without
    /// extension ("Stellaro/Contivo"); keyFile: the key file of enciphered values (empty: none).
    /// templatePath: the template; empty means <application folder>/Config/Settings.tpl. The
    /// folder of the settings file is created here.
    TConfigurazione(const QString& folder, const QString& name, const QString& keyFile,
                    const QString& templatePath = {});

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    bool WriteString(const QString& section, const QString& key, const QString& value);
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool WriteInteger(const QString& section, const QString& key, int value);
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    bool WriteBool(const QString& section, const QString& key, bool value);
    double ReadFloat(const QString& section, const QString& key, double def) const;
    bool WriteFloat(const QString& section, const QString& key, double value);
    /// Whole days; the default is cut to whole days as well. A stored date text in the system's
    /// short date format (as a settings editor may write it) reads as that date.
    QDate ReadDate(const QString& section, const QString& key, const QDate& def) const;
    bool WriteDate(const QString& section, const QString& key, const QDate& value);
    /// Stores the whole days of the date-time, the time cut off.
    bool WriteDate(const QString& section, const QString& key, const QDateTime& value);
    /// Reads with the fall-backs of ReadString and deciphers the result (template and caller
    /// defaults included). Throws ESecHashException when the key file cannot be read.
    QString ReadCryptedString(const QString& section, const QString& key, const QString& def) const;
    /// Enciphers the plain text and writes it. Throws ESecHashException when the key file cannot
    /// be read.
    bool WriteCryptedString(const QString& section, const QString& key, const QString& plain);

    bool HasTemplate() const { return m_template.has_value(); }
    SettingFieldType GetFieldType(const QString& section, const QString& key) const;
    /// The FieldWidth attribute; -1 without template or when it is not an integer.
    int GetFieldWidth(const QString& section, const QString& key) const;
    QString GetCustom(const QString& section, const QString& key) const;
    /// Any attribute of a template line by name (case-insensitive; the first occurrence counts).
    QString GetFieldAttribute(const QString& section, const QString& key, const QString& attribute) const;
    /// Name of the template section at a 0-based index; throws std::out_of_range outside.
    QString GetSectionName(int index) const;
    /// 0-based index of a template section (case-insensitive), -1 when absent.
    int IndexOfSection(const QString& name) const;
    /// Key names of a template section in file order; empty without template.
    QStringList GetSectionKeys(const QString& section) const;
    /// Template section names in file order; empty without template.
    QStringList GetSectionNames() const;

    QString GetIniFileName() const { return m_file.fileName(); }
    QString GetConfigFolder() const { return m_folder; }
    QString GetKeyFileName() const { return m_keyFile; }
    QString GetTemplateFileName() const { return m_template ? m_template->fileName() : QString(); }

    /// Copies every template-declared option, by its type, into <folder>Settings.bkp.
    void BackupSettings();
    /// Writes back the non-empty options of <folder>Settings.bkp by their template types.
    void RestoreSettings();

    /// The settings file itself (for window placements and other raw access).
    IniFile& iniFile() { return m_file; }
    const IniFile& iniFile() const { return m_file; }

private:
    QString stored(const QString& section, const QString& key) const;
    QString templateDefault(const QString& section, const QString& key) const;
    QString derivedKey() const;

    QString m_folder;
    QString m_name;
    QString m_keyFile;
    IniFile m_file;
    std::optional<IniFile> m_template;
};

/// Restores the window's geometry from the settings file (section: the window's objectName up
/// to its first "_", the whole name when there is none) and saves it there whenever the window
/// is closed or hidden. The store must outlive the window.
void BindFormPlacement(TConfigurazione& store, QWidget& form);

/// The section name a window's placement uses.
QString placementSection(const QString& objectName);

}
