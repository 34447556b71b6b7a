#pragma once

#include <QString>

/// Calendar helpers of the ledger, on date-time numbers (days since 30 December 1899).
namespace contivo::ledger {

/// The day number of year-month-1.
double PrimoGiornoMese(int year, int month);
/// The day number of the last day of the month (leap years by the Gregorian rule).
double UltimoGiornoMese(int year, int month);
/// Calendar year and month of a date-time number.
int AnnoData(double dateTime);
int MeseData(double dateTime);
/// "Gennaio".."Dicembre"; empty outside 1..12.
QString NomeMese(int month);
/// True when the text converts to a date with the system's short date format.
bool IsDateText(const QString& text);

/// An amount in fixed notation with two decimals and the system decimal separator, taken to
/// 16 significant digits first (so 0.1+0.2 shows as 0,30 and huge values do not invent digits).
QString FormatImporto(double value);

}
