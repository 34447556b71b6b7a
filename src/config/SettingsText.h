#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// Text conversions of the settings store.
namespace contivo::settingstext {

/// Parses comma text: items separated by commas or by unquoted blanks (runs of blanks and control
/// characters count as one separator next to a comma); an item that begins with a double quote
/// runs to the closing quote, with doubled quotes standing for one; a trailing comma adds an
/// empty item. Quotes inside an unquoted item are plain characters.
QStringList parseCommaText(const QString& text);

/// A whole text read as a 32-bit integer: optional leading blanks, optional sign, decimal digits
/// or hexadecimal after "$" or "0x". Nothing else may follow. Empty when it is not one.
std::optional<int> toInt(const QString& text);

}
