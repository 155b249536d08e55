#include "core/criterion.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>

#include <time.h>

class TestCriterion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void compareDay_data();
    void compareDay();
    void utcToLocalUsesOffsetInForceNow_data();
    void utcToLocalUsesOffsetInForceNow();
    void criterionTexts_data();
    void criterionTexts();
    void fileDateText_data();
    void fileDateText();
    void statusTexts_data();
    void statusTexts();
};

static const QLocale French(QLocale::French, QLocale::France);

void TestCriterion::initTestCase()
{
    QLocale::setDefault(French);
    // A zone with daylight-saving time, whatever the machine's own zone is.
    qputenv("TZ", "Europe/Paris");
#ifdef Q_OS_WIN
    _tzset();
#else
    tzset();
#endif
}

void TestCriterion::cleanup()
{
    QLocale::setDefault(French);
}

// A file is selected when CompareDay equals the date mode (-1, 0, +1), so the
// result at each edge of the day decides all three modes.
void TestCriterion::compareDay_data()
{
    QTest::addColumn<QDate>("fileDate");
    QTest::addColumn<QTime>("fileTime");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("expected");

    const QDate d(2022, 3, 5);
    QTest::newRow("last ms of the day before")
        << d.addDays(-1) << QTime(23, 59, 59, 999) << d << -1;
    QTest::newRow("first ms of the day") << d << QTime(0, 0) << d << 0;
    QTest::newRow("last ms of the day") << d << QTime(23, 59, 59, 999) << d << 0;
    QTest::newRow("first ms of the day after") << d.addDays(1) << QTime(0, 0) << d << 1;
    QTest::newRow("a year before") << d.addYears(-1) << QTime(12, 0) << d << -1;
    QTest::newRow("a year after") << d.addYears(1) << QTime(12, 0) << d << 1;

    const QDate eve(1969, 12, 31);
    QTest::newRow("1969: last ms of the day before")
        << eve.addDays(-1) << QTime(23, 59, 59, 999) << eve << -1;
    QTest::newRow("1969: first ms of the day") << eve << QTime(0, 0) << eve << 0;
    QTest::newRow("1969: last ms of the day") << eve << QTime(23, 59, 59, 999) << eve << 0;
    QTest::newRow("1969: first ms of the day after") << eve.addDays(1) << QTime(0, 0) << eve << 1;
    QTest::newRow("1950") << QDate(1950, 6, 1) << QTime(0, 0) << QDate(1950, 6, 1) << 0;
}

void TestCriterion::compareDay()
{
    QFETCH(QDate, fileDate);
    QFETCH(QTime, fileTime);
    QFETCH(QDate, day);
    QFETCH(int, expected);

    QCOMPARE(CompareDay(LocalMsecs(fileDate, fileTime), day), expected);
}

// The columns give the day comparison when standard time (+1 h) or summer time
// (+2 h) is in force while the test runs.
void TestCriterion::utcToLocalUsesOffsetInForceNow_data()
{
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("inStandardTime");
    QTest::addColumn<int>("inSummerTime");

    QTest::newRow("written 23:30 standard time")
        << QDateTime(QDate(2022, 1, 14), QTime(22, 30), Qt::UTC) << QDate(2022, 1, 14) << 0 << 1;
    QTest::newRow("written 00:30 summer time")
        << QDateTime(QDate(2022, 7, 14), QTime(22, 30), Qt::UTC) << QDate(2022, 7, 15) << -1 << 0;
}

void TestCriterion::utcToLocalUsesOffsetInForceNow()
{
    QFETCH(QDateTime, utc);
    QFETCH(QDate, day);
    QFETCH(int, inStandardTime);
    QFETCH(int, inSummerTime);

    const qint64 utcMsecs = utc.toMSecsSinceEpoch();
    const qint64 offsetBefore = QDateTime::currentDateTime().offsetFromUtc();
    const qint64 local = UtcToLocalMsecs(utcMsecs);
    const qint64 offsetAfter = QDateTime::currentDateTime().offsetFromUtc();

    const qint64 offset = (local - utcMsecs) / 1000;
    QVERIFY2(offset == offsetBefore || offset == offsetAfter, qPrintable(QString::number(offset)));
    QVERIFY2(offset == 3600 || offset == 7200, qPrintable(QString::number(offset)));
    QCOMPARE(CompareDay(local, day), offset == 3600 ? inStandardTime : inSummerTime);
}

void TestCriterion::criterionTexts_data()
{
    QTest::addColumn<int>("dateMode");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("console");

    QTest::newRow("Strict. Ant.")
        << -1 << "*.txt"
        << "Copie des fichiers modifiés avant le  05/02/2022"
        << "OK de tous les fichiers \"*.txt\" modifiés \"avant le sam. 05 févr. 2022\" ()\r\n"
           "De \"/home/léa/src\" vers \"/media/sauve\"";
    QTest::newRow("Date Exacte, empty mask")
        << 0 << ""
        << "Copie des fichiers modifiés le  05/02/2022"
        << "OK de tous les fichiers \"\" modifiés \"le sam. 05 févr. 2022\" ()\r\n"
           "De \"/home/léa/src\" vers \"/media/sauve\"";
    QTest::newRow("Strict. Post., mask with a percent sign")
        << 1 << "*%1*"
        << "Copie des fichiers modifiés après le  05/02/2022"
        << "OK de tous les fichiers \"*%1*\" modifiés \"après le sam. 05 févr. 2022\" ()\r\n"
           "De \"/home/léa/src\" vers \"/media/sauve\"";
}

void TestCriterion::criterionTexts()
{
    QFETCH(int, dateMode);
    QFETCH(QString, mask);
    QFETCH(QString, caption);
    QFETCH(QString, console);

    const QDate day(2022, 2, 5);
    QCOMPARE(CriterionCaption(dateMode, day), caption);
    QCOMPARE(CriterionConsoleText("OK", mask, dateMode, day, "/home/léa/src", "/media/sauve"),
             console);
}

void TestCriterion::fileDateText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("seconds without leading zero")
        << French << QDate(2022, 3, 5) << QTime(7, 4, 9) << "05/03/22 07:04:9";
    QTest::newRow("last ms of a century")
        << French << QDate(1999, 12, 31) << QTime(23, 59, 59, 999) << "31/12/99 23:59:59";
    QTest::newRow("midnight") << French << QDate(2000, 1, 1) << QTime(0, 0) << "01/01/00 00:00:0";
    QTest::newRow("before 1970") << French << QDate(1969, 12, 31) << QTime(23, 59, 58, 500)
                                 << "31/12/69 23:59:58";
    QTest::newRow("German date separator")
        << QLocale(QLocale::German, QLocale::Germany) << QDate(2022, 3, 5) << QTime(17, 4, 19)
        << "05.03.22 17:04:19";
}

void TestCriterion::fileDateText()
{
    QFETCH(QLocale, locale);
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(QString, expected);

    QLocale::setDefault(locale);
    QCOMPARE(FileDateText(LocalMsecs(date, time)), expected);
}

void TestCriterion::statusTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QDate day(2022, 1, 10);
    QTest::newRow("size, decimal comma, no group separator")
        << SizeText(1234567890) << "Taille = 1234,57 Mo";
    QTest::newRow("size zero") << SizeText(0) << "Taille = 0,00 Mo";
    QTest::newRow("walk progress") << WalkProgressText(3, 17) << "3/17";
    QTest::newRow("walk summary ends with a space")
        << WalkSummaryText(1234, 1.5) << "1234 fichiers trouvés en 1,500 secondes ";
    QTest::newRow("selection count") << SelectionCountCaption(0, day) << "0 FICHIERS 10/01/2022";
    QTest::newRow("run count, long time without zone")
        << RunCountCaption(12, day, QTime(14, 3, 27)) << "12 FICHIERS 10/01/2022 14:03:27";
    QTest::newRow("run summary after a copy")
        << RunSummaryText("OK", "", 3, "De \"/a\" vers \"/b\"", 2.25)
        << "OK  de 3 fichiers De \"/a\" vers \"/b\" terminée en 2,250 secondes";
    QTest::newRow("run summary after an archive")
        << RunSummaryText("OK", "Attendez le message \"Everything is OK\" !", 1, "De \"/a\"", 0.0)
        << "OK Attendez le message \"Everything is OK\" ! de 1 fichiers De \"/a\" terminée en "
           "0,000 secondes";
    QTest::newRow("decimal") << DecimalText(1234567.891, 3) << "1234567,891";
}

void TestCriterion::statusTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(text, expected);
}

QTEST_GUILESS_MAIN(TestCriterion)
#include "tst_criterion.moc"
