#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

/// Date-time numbers: days since 30 December 1899, the fraction being the time of day.
/// Table files, settings and amounts of the program store dates this way.
namespace contivo::dt {

/// The day number of a date (30 December 1899 is 0).
double fromDate(const QDate& date);
/// Day number plus the time of day as a fraction.
double fromDateTime(const QDateTime& dateTime);
/// The date of a day number; the fraction is cut off toward zero.
QDate toDate(double value);
/// Date and time of a day number (local time, no time zone shift).
QDateTime toDateTime(double value);
/// The time-of-day fraction of a number as milliseconds since midnight, rounded.
int millisecondsOfDay(double value);

/// First and last day of a month.
QDate firstDayOfMonth(int year, int month);
QDate lastDayOfMonth(int year, int month);

/// Italian month name, "Gennaio".."Dicembre"; empty outside 1..12.
QString monthName(int month);

}
