#pragma once

#include <QList>
#include <QString>

namespace contivo {

/// One listed category of a year folder: its caption and, when present, the path of its icon file.
struct CategoryEntry {
    QString caption;
    QString iconPath; ///< empty when the category has no ".ICO" file
};

/// The categories of one year folder. The catalogue is the file system: a category exists for a
/// year exactly when its ".OUT" file exists. Extensions are matched without regard to case so that
/// files written by other tools (or copied from another system) are found as they would be on a
/// case-insensitive file system.
class CategoryCatalogue {
public:
    /// folder is the year folder, ending with '/'.
    explicit CategoryCatalogue(QString folder);

    const QString& folder() const { return m_folder; }

    /// The categories in the file system's enumeration order.
    QList<CategoryEntry> list() const;

    /// The path of an existing entry named name + "." + extension (case ignored), or empty.
    QString existingFile(const QString& name, const QString& extension) const;
    bool hasFile(const QString& name, const QString& extension) const
    {
        return !existingFile(name, extension).isEmpty();
    }

    /// Path of a file of the category as the program writes it (extension as given).
    QString filePath(const QString& name, const QString& extension) const
    {
        return m_folder + name + QLatin1Char('.') + extension;
    }

    /// Renames both movement files; false when a file of the new name exists or a rename fails.
    /// When the first rename succeeded and the second failed, the first stays done.
    bool rename(const QString& oldName, const QString& newName) const;

    /// Deletes both movement files; both deletions are attempted. False when either fails (a
    /// missing file counts as a failure). Icon and notes stay.
    bool remove(const QString& name) const;

    /// Copies the icon file as the category's icon, replacing an existing one.
    bool setIcon(const QString& name, const QString& sourceFile) const;

    /// Removes the category's icon; false when there was none or it cannot be deleted.
    bool restoreIcon(const QString& name) const;

private:
    QString m_folder;
};

/// True when a category (or file) name cannot be used: one of the eight characters
/// \ / : * ? " < > (the vertical bar is allowed), a character the Linux file system cannot hold,
/// a name that would leave the year folder ("." or ".."), or a name too long for a file name
/// once its extension is added.
bool categoryNameRefused(const QString& name);

}
