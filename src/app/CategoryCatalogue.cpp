#include "app/CategoryCatalogue.h"

#include "base/AtomicFile.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace contivo {

namespace {

// Names longer than this (in bytes, as the file system stores them) cannot be created.
constexpr int kMaxFileNameBytes = 255;
// The longest extension the program appends to a category name (".OUT", ".ICO", ".lst").
constexpr int kLongestExtensionBytes = 4;

QDir::Filters entryFilters()
{
    return QDir::Files | QDir::Hidden | QDir::System;
}

}

CategoryCatalogue::CategoryCatalogue(QString folder)
    : m_folder(std::move(folder))
{
}

QList<CategoryEntry> CategoryCatalogue::list() const
{
    QList<CategoryEntry> result;
    QDir dir(m_folder);
    if (!dir.exists())
        return result;
    // One enumeration serves both the movement files and the icons, so a crowded year folder is
    // read once whatever the number of categories. Unsorted keeps the file system's order.
    dir.setFilter(entryFilters());
    dir.setSorting(QDir::Unsorted);
    const QStringList names = dir.entryList();
    QHash<QString, QString> byLowerName;
    byLowerName.reserve(names.size());
    for (const QString& fileName : names)
        byLowerName.insert(fileName.toLower(), fileName);
    const QString outSuffix = QStringLiteral(".out");
    for (const QString& fileName : names) {
        if (!fileName.endsWith(outSuffix, Qt::CaseInsensitive))
            continue;
        CategoryEntry entry;
        entry.caption = NomeSenzaEstensione(fileName);
        const QString icon = byLowerName.value(entry.caption.toLower() + QStringLiteral(".ico"));
        if (!icon.isEmpty())
            entry.iconPath = m_folder + icon;
        result.append(entry);
    }
    return result;
}

QString CategoryCatalogue::existingFile(const QString& name, const QString& extension) const
{
    const QString wanted = name + QLatin1Char('.') + extension;
    const QString exact = m_folder + wanted;
    if (QFileInfo::exists(exact))
        return exact;
    QDir dir(m_folder);
    dir.setFilter(entryFilters());
    dir.setSorting(QDir::Unsorted);
    const QStringList names = dir.entryList();
    for (const QString& entry : names) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return m_folder + entry;
    }
    return {};
}

bool CategoryCatalogue::rename(const QString& oldName, const QString& newName) const
{
    if (hasFile(newName, QStringLiteral("IN")) || hasFile(newName, QStringLiteral("OUT")))
        return false;
    // The new files take the extensions the program writes at creation, so every reader that
    // builds the exact path (the ledger, the import) finds them.
    const QString oldOut = existingFile(oldName, QStringLiteral("OUT"));
    if (oldOut.isEmpty() || !QFile::rename(oldOut, filePath(newName, QStringLiteral("OUT"))))
        return false;
    const QString oldIn = existingFile(oldName, QStringLiteral("IN"));
    return !oldIn.isEmpty() && QFile::rename(oldIn, filePath(newName, QStringLiteral("IN")));
}

bool CategoryCatalogue::remove(const QString& name) const
{
    const QString outFile = existingFile(name, QStringLiteral("OUT"));
    const QString inFile = existingFile(name, QStringLiteral("IN"));
    const bool outRemoved = !outFile.isEmpty() && QFile::remove(outFile);
    const bool inRemoved = !inFile.isEmpty() && QFile::remove(inFile);
    return outRemoved && inRemoved;
}

bool CategoryCatalogue::setIcon(const QString& name, const QString& sourceFile) const
{
    QFile source(sourceFile);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    const QString old = existingFile(name, QStringLiteral("ICO"));
    const QString target = filePath(name, QStringLiteral("ICO"));
    try {
        writeFileAtomically(target, bytes);
    } catch (const std::exception&) {
        return false;
    }
    // A differently cased old icon would otherwise shadow nothing but stay as clutter.
    if (!old.isEmpty() && old != target)
        QFile::remove(old);
    return true;
}

bool CategoryCatalogue::restoreIcon(const QString& name) const
{
    const QString icon = existingFile(name, QStringLiteral("ICO"));
    return !icon.isEmpty() && QFile::remove(icon);
}

bool categoryNameRefused(const QString& name)
{
    if (NomeNonValido(name) > 0)
        return true;
    if (name.contains(QChar(0)))
        return true;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return true;
    return name.toUtf8().size() + kLongestExtensionBytes > kMaxFileNameBytes;
}

}
