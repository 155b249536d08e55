#include "core/criterion.h"

#include <QDateTime>
#include <QLocale>

namespace
{

constexpr qint64 MsecsPerDay = 86400000;
constexpr qint64 EpochJulianDay = 2440588; // 1970-01-01

// Day count and millisecond of the day, rounding towards the past so that
// times before 1970 fall on their own day.
qint64 DayOf(qint64 localMsecs)
{
    qint64 day = localMsecs / MsecsPerDay;
    if (localMsecs % MsecsPerDay < 0)
        --day;
    return day;
}

qint64 MsecOfDay(qint64 localMsecs)
{
    return localMsecs - DayOf(localMsecs) * MsecsPerDay;
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The separator of a date or time format: its first character that is neither
// a format letter nor a quote.
QChar SeparatorOf(const QString &format, QChar fallback)
{
    for (const QChar c : format) {
        if (!IsAsciiLetter(c) && c != u'\'')
            return c;
    }
    return fallback;
}

// A time format without its time-zone fields and the blanks before them.
QString WithoutTimeZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (!result.isEmpty() && result.back().isSpace())
                result.chop(1);
            continue;
        }
        result += c;
    }
    return result.trimmed();
}

QString TwoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

qint64 UtcToLocalMsecs(qint64 utcMsecs)
{
    // Reading the offset costs a time-zone lookup and the walk converts the
    // time of every entry, so the offset is kept for the current UTC second.
    // Offsets change only on whole seconds, so the kept value is exact; a new
    // system time zone applies from the next second.
    thread_local qint64 keptSecond = -1;
    thread_local qint64 keptOffsetMsecs = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = now / 1000;
    if (second != keptSecond) {
        keptOffsetMsecs =
            qint64(QDateTime::fromMSecsSinceEpoch(now, Qt::LocalTime).offsetFromUtc()) * 1000;
        keptSecond = second;
    }
    return utcMsecs + keptOffsetMsecs;
}

qint64 LocalMsecs(const QDate &date, const QTime &time)
{
    return (date.toJulianDay() - EpochJulianDay) * MsecsPerDay + time.msecsSinceStartOfDay();
}

int CompareDay(qint64 fileLocalMsecs, const QDate &calendarDay)
{
    const qint64 fileJulianDay = DayOf(fileLocalMsecs) + EpochJulianDay;
    const qint64 calendarJulianDay = calendarDay.toJulianDay();
    if (fileJulianDay == calendarJulianDay)
        return 0;
    return fileJulianDay < calendarJulianDay ? -1 : 1;
}

QString DatePrefixWord(int dateMode)
{
    if (dateMode < 0)
        return QStringLiteral("avant le ");
    if (dateMode > 0)
        return QStringLiteral("après le ");
    return QStringLiteral("le ");
}

QString ShortDateText(const QDate &day)
{
    return QLocale().toString(day, QLocale::ShortFormat);
}

QString LongTimeText(const QTime &time)
{
    const QLocale locale;
    return locale.toString(time, WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString LongDateText(const QDate &day)
{
    return QLocale().toString(day, QStringLiteral("ddd dd MMM yyyy"));
}

QString CriterionCaption(int dateMode, const QDate &day)
{
    return QStringLiteral("Copie des fichiers modifiés ") + DatePrefixWord(dateMode) + u' ' +
           ShortDateText(day);
}

QString CriterionConsoleText(const QString &runCaption, const QString &mask, int dateMode,
                             const QDate &day, const QString &sourceText, const QString &targetText)
{
    // The parentheses stay empty; the completion report reads this layout back.
    return runCaption + QStringLiteral(" de tous les fichiers \"") + mask +
           QStringLiteral("\" modifiés \"") + DatePrefixWord(dateMode) + LongDateText(day) +
           QStringLiteral("\" ()\r\nDe \"") + sourceText + QStringLiteral("\" vers \"") +
           targetText + u'"';
}

QString FileDateText(qint64 fileLocalMsecs)
{
    const QLocale locale;
    const QChar dateSeparator = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
    const QChar timeSeparator = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
    const QDate date = QDate::fromJulianDay(DayOf(fileLocalMsecs) + EpochJulianDay);
    const qint64 seconds = MsecOfDay(fileLocalMsecs) / 1000;
    return TwoDigits(date.day()) + dateSeparator + TwoDigits(date.month()) + dateSeparator +
           TwoDigits((date.year() % 100 + 100) % 100) + u' ' + TwoDigits(seconds / 3600) +
           timeSeparator + TwoDigits(seconds / 60 % 60) + timeSeparator +
           QString::number(seconds % 60);
}

QString DecimalText(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString SizeText(qint64 bytes)
{
    return QStringLiteral("Taille = ") + DecimalText(double(bytes) / 1000000.0, 2) +
           QStringLiteral(" Mo");
}

QString WalkProgressText(int selected, int position)
{
    return QString::number(selected) + u'/' + QString::number(position);
}

QString WalkSummaryText(int count, double seconds)
{
    return QString::number(count) + QStringLiteral(" fichiers trouvés en ") +
           DecimalText(seconds, 3) + QStringLiteral(" secondes ");
}

QString SelectionCountCaption(int count, const QDate &day)
{
    return QString::number(count) + QStringLiteral(" FICHIERS ") + ShortDateText(day);
}

QString RunCountCaption(int count, const QDate &day, const QTime &now)
{
    return SelectionCountCaption(count, day) + u' ' + LongTimeText(now);
}

QString RunSummaryText(const QString &runCaption, const QString &line4, int count,
                       const QString &line1, double seconds)
{
    return runCaption + u' ' + line4 + QStringLiteral(" de ") + QString::number(count) +
           QStringLiteral(" fichiers ") + line1 + QStringLiteral(" terminée en ") +
           DecimalText(seconds, 3) + QStringLiteral(" secondes");
}
