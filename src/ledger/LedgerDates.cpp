#include "ledger/LedgerDates.h"

#include "base/DateTime.h"
#include "base/SystemFormats.h"

#include <cmath>

namespace contivo::ledger {

double PrimoGiornoMese(int year, int month)
{
    return dt::fromDate(dt::firstDayOfMonth(year, month));
}

double UltimoGiornoMese(int year, int month)
{
    return dt::fromDate(dt::lastDayOfMonth(year, month));
}

int AnnoData(double dateTime)
{
    return dt::toDate(dateTime).year();
}

int MeseData(double dateTime)
{
    return dt::toDate(dateTime).month();
}

QString NomeMese(int month)
{
    return dt::monthName(month);
}

bool IsDateText(const QString& text)
{
    return QDate::fromString(text.trimmed(), SystemFormats::shortDateFormat()).isValid();
}

QString FormatImporto(double value)
{
    if (!std::isfinite(value))
        return SystemFormats::formatGeneral(value);
    // Beyond 16 integer digits fixed notation would print digits the value does not have.
    if (std::fabs(value) >= 1e16) {
        QString s = QString::number(value, 'E', 15);
        return s.replace(QLatin1Char('.'), SystemFormats::decimalSeparator());
    }
    const double rounded = QString::number(value, 'g', 16).toDouble();
    return SystemFormats::formatFixed(rounded, 2);
}

}
