#pragma once

#include <QString>
#include <QStringList>

/// Small text helpers shared by every subsystem.
namespace contivo::str {

/// Text before the first occurrence of sep. When sep is absent: the whole text if
/// wholeWhenAbsent, else the empty text.
QString before(const QString& text, const QString& sep, bool wholeWhenAbsent = true);

/// Text after the first occurrence of sep; empty when sep is absent.
QString after(const QString& text, const QString& sep);

/// The text read as a double with the system decimal separator; def on any conversion error.
double toDoubleDef(const QString& text, double def);

/// Splits at a one-character separator: every piece before a separator is an item (empty
/// pieces included); the text after the last separator is an item only when not empty.
QStringList split(const QString& text, QChar sep, bool trim = false);

/// Pieces joined with carriage return and line feed.
QString joinCrLf(const QStringList& pieces);

/// The path (trimmed) with exactly one trailing '/' added when it has none.
QString withTrailingSeparator(const QString& path);

}
