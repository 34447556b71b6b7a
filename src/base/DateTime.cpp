#include "base/DateTime.h"

#include <array>
#include <cmath>

namespace contivo::dt {
namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}

double fromDate(const QDate& date) { return static_cast<double>(kEpoch.daysTo(date)); }

double fromDateTime(const QDateTime& dateTime)
{
    const double days = fromDate(dateTime.date());
    const double frac = dateTime.time().msecsSinceStartOfDay() / kMsPerDay;
    // Before the epoch the fraction counts away from zero, as the platform's numbers do.
    return days < 0 ? days - frac : days + frac;
}

QDate toDate(double value)
{
    // Day numbers beyond any calendar (damaged files, NaN) give an invalid date instead of
    // overflowing the integer conversion.
    constexpr double kLimit = 1e9;
    if (!(std::fabs(value) < kLimit))
        return {};
    return kEpoch.addDays(static_cast<qint64>(std::trunc(value)));
}

int millisecondsOfDay(double value)
{
    const double frac = std::fabs(value - std::trunc(value));
    if (!(frac < 1.0))
        return 0;
    int ms = static_cast<int>(std::llround(frac * kMsPerDay));
    return ms >= 86400000 ? 86399999 : ms;
}

QDateTime toDateTime(double value)
{
    return QDateTime(toDate(value), QTime::fromMSecsSinceStartOfDay(millisecondsOfDay(value)));
}

QDate firstDayOfMonth(int year, int month) { return QDate(year, month, 1); }

QDate lastDayOfMonth(int year, int month)
{
    const QDate first(year, month, 1);
    return first.addDays(first.daysInMonth() - 1);
}

QString monthName(int month)
{
    static const std::array<const char*, 12> names = {"Gennaio", "Febbraio", "Marzo",     "Aprile",
                                                      "Maggio",  "Giugno",   "Luglio",    "Agosto",
                                                      "Settembre", "Ottobre", "Novembre", "Dicembre"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(names[month - 1]);
}

}
