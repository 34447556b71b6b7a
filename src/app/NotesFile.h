#pragma once

#include <QString>
#include <QStringList>

namespace contivo {

/// A notes list on disk: plain text in code page 1252, one note per line, every line ended by
/// carriage return and line feed.
namespace notes {

/// The lines of the file; an empty list when the file does not exist. Lines may end with
/// CR LF, LF or CR; a final line break does not add an empty line.
QStringList load(const QString& path);

/// Replaces the file with the lines (an empty list writes an empty file). Throws
/// std::runtime_error when the file cannot be written.
void save(const QString& path, const QStringList& lines);

/// The notes file of a year folder: "Appunti.lst" for the general notes, otherwise the
/// category name + ".lst" (an empty category gives ".lst").
QString path(const QString& yearFolder, bool categoryNotes, const QString& category);

}

}
