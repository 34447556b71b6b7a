#pragma once

#include <QChar>
#include <QDate>
#include <QString>

namespace contivo {

/// The system's number and date formats: decimal separator, short date and long time.
/// Read from QLocale::system(); the short date's year is always four digits so exported dates
/// re-import without ambiguity. The C/POSIX locale falls back to Italian formats. Tests may
/// override the formats for the whole process.
class SystemFormats {
public:
    struct Formats {
        QChar decimalSeparator;
        QChar thousandSeparator;
        QString shortDate; ///< QDate format, e.g. "dd/MM/yyyy"
        QString longTime;  ///< QTime format, e.g. "HH:mm:ss"
    };

    static const Formats& current();
    static void override(const Formats& formats);
    static void reset();

    static QChar decimalSeparator() { return current().decimalSeparator; }
    static QString shortDateFormat() { return current().shortDate; }
    static QString longTimeFormat() { return current().longTime; }

    /// A number in fixed notation with the given decimals and the system separator, no grouping.
    static QString formatFixed(double value, int decimals);
    /// General format with up to 15 significant digits and the system separator.
    static QString formatGeneral(double value);
    /// Parses a number with the system decimal separator (no grouping, optional sign and
    /// exponent, surrounding blanks allowed). False when the text is not a number.
    static bool parseDouble(const QString& text, double& value);
    /// A date in the short date format.
    static QString formatDate(const QDate& date);

    /// Builds formats from a locale (exposed for tests).
    static Formats fromLocale(const class QLocale& locale);
};

}
