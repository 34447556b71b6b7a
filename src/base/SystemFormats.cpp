#include "base/SystemFormats.h"

#include <QLocale>
#include <QRegularExpression>
#include <optional>

namespace contivo {
namespace {
std::optional<SystemFormats::Formats>& overridden()
{
    static std::optional<SystemFormats::Formats> value;
    return value;
}

// Widens any run of 'y' to "yyyy" so the year is never written with two digits.
QString fourDigitYear(QString format)
{
    static const QRegularExpression years(QStringLiteral("y+"));
    return format.replace(years, QStringLiteral("yyyy"));
}
}

SystemFormats::Formats SystemFormats::fromLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return {QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss")};
    Formats f;
    f.decimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char(',') : locale.decimalPoint().at(0);
    f.thousandSeparator = locale.groupSeparator().isEmpty() ? QLatin1Char('.') : locale.groupSeparator().at(0);
    f.shortDate = fourDigitYear(locale.dateFormat(QLocale::ShortFormat));
    f.longTime = locale.timeFormat(QLocale::LongFormat);
    // Long time formats may carry a time zone ("t"); a time of day never needs it.
    f.longTime.remove(QRegularExpression(QStringLiteral("\\s*t+"))).squeeze();
    if (f.longTime.isEmpty())
        f.longTime = QStringLiteral("HH:mm:ss");
    return f;
}

const SystemFormats::Formats& SystemFormats::current()
{
    if (overridden())
        return *overridden();
    static const Formats system = fromLocale(QLocale::system());
    return system;
}

void SystemFormats::override(const Formats& formats) { overridden() = formats; }
void SystemFormats::reset() { overridden().reset(); }

QString SystemFormats::formatFixed(double value, int decimals)
{
    QString s = QString::number(value, 'f', decimals);
    if (s.startsWith(QLatin1Char('-')) && s.count(QLatin1Char('0')) + 2 == s.size())
        s.remove(0, 1); // "-0.00" reads as "0.00"
    return s.replace(QLatin1Char('.'), decimalSeparator());
}

QString SystemFormats::formatGeneral(double value)
{
    QString s = QString::number(value, 'g', 15);
    return s.replace(QLatin1Char('.'), decimalSeparator());
}

bool SystemFormats::parseDouble(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar sep = decimalSeparator();
    if (sep != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(sep, QLatin1Char('.'));
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(t).hasMatch())
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return false;
    value = v;
    return true;
}

QString SystemFormats::formatDate(const QDate& date) { return date.toString(shortDateFormat()); }

}
