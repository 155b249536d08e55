#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// File times are "local milliseconds": milliseconds since 1970-01-01 00:00 on
// the local wall clock. A UTC time becomes local with the offset in force now,
// not the one in force at that time: a file written at 23:30 standard time and
// examined during daylight-saving time counts as written on the next day.
qint64 UtcToLocalMsecs(qint64 utcMsecs);
// Wall-clock date and time of day as local milliseconds.
qint64 LocalMsecs(const QDate &date, const QTime &time);

// Three-way comparison of the calendar day of a file time with a calendar day:
// -1 before, 0 same day, +1 after. The time of day plays no part.
int CompareDay(qint64 fileLocalMsecs, const QDate &calendarDay);

// The word before the date for a date mode: "le ", "avant le " or "après le ".
QString DatePrefixWord(int dateMode);
// The day in the user's short date format.
QString ShortDateText(const QDate &day);
// The time of day in the user's long time format (seconds, no time zone).
QString LongTimeText(const QTime &time);
// Abbreviated day name, day on two digits, abbreviated month name, year.
QString LongDateText(const QDate &day);

// Caption of the file group restating the criterion.
QString CriterionCaption(int dateMode, const QDate &day);
// The two lines of the console restating the run, the criterion and the folders.
QString CriterionConsoleText(const QString &runCaption, const QString &mask, int dateMode,
                             const QDate &day, const QString &sourceText,
                             const QString &targetText);

// Date text of a listed file: day/month/two-digit year, hours:minutes:seconds
// with the user's separators and the seconds without a leading zero.
QString FileDateText(qint64 fileLocalMsecs);
// Fixed-point number with the user's decimal separator and no group separator.
QString DecimalText(double value, int decimals);

// Status texts of the selection and of the run.
QString SizeText(qint64 bytes);
QString WalkProgressText(int selected, int position);
QString WalkSummaryText(int count, double seconds);
QString SelectionCountCaption(int count, const QDate &day);
QString RunCountCaption(int count, const QDate &day, const QTime &now);
QString RunSummaryText(const QString &runCaption, const QString &line4, int count,
                       const QString &line1, double seconds);
