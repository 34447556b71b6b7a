#pragma once

#include <QString>

namespace contivo {

/// The parts of a file name dropped into the watched folder:
/// "Movimenti_" + category + "_" + year + "_" + side + "." + extension.
struct WatchedFileName {
    QString category; ///< part 1, case kept
    QString yearText; ///< part 2, as written (it names the year folder)
    QString side; ///< part 3 ("ENTRATE", "USCITE" or anything else)

    /// Splits the file name (without its folder and its last extension) at every "_"; a missing
    /// part is empty.
    static WatchedFileName parse(const QString& path);

    /// The year part read as a decimal integer. Throws std::runtime_error with the conversion
    /// message when it is not one (a missing year included).
    int year() const;
};

/// The table file suffix of a side word compared after upper-casing: "IN" for "ENTRATE",
/// "OUT" for "USCITE", empty for anything else.
QString sideSuffix(const QString& side);

}
