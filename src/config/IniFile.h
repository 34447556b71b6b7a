#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace contivo {

/// An INI file with private-profile rules: [Section] lines and Key=Value lines, cp1252 text.
/// Section and key names match without regard to case (the first occurrence counts); a value is
/// returned without surrounding blanks and without quotes that enclose all of it, and at most
/// 2047 characters of it. Nothing is cached: every read reads the file, every write rewrites the
/// file at once and atomically, keeping every other line as it was. A missing file reads as
/// empty and is created by the first write.
class IniFile {
public:
    static constexpr int kMaxValueLength = 2047;

    explicit IniFile(const QString& path) : m_path(path) { }
    const QString& fileName() const { return m_path; }

    bool exists() const;
    /// The value of (section, key); def when there is no such key.
    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    bool hasKey(const QString& section, const QString& key) const;
    /// Section names in file order.
    QStringList sections() const;
    /// Key names of the section in file order (comment lines and lines without '=' skipped).
    QStringList keys(const QString& section) const;

    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    /// Writes one value: replaces the key's line, or adds the key at the end of its section, or
    /// adds the section at the end of the file. Throws std::runtime_error when the file cannot
    /// be written.
    void writeString(const QString& section, const QString& key, const QString& value);
    /// Writes several values with one rewrite of the file.
    void writeStrings(const QList<Entry>& entries);
    /// Removes a key's line; nothing happens when it is absent.
    void deleteKey(const QString& section, const QString& key);

private:
    QString m_path;
};

}
