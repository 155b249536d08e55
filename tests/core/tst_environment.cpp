#include "core/environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTest>

#include <optional>

namespace
{

// The test program is the executable these routines look at.
const QString BaseName = QStringLiteral("core_tst_environment");

// Sets or unsets an environment variable for the scope of one test, then puts it back.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const std::optional<QString> &value)
        : m_name(name), m_saved(qEnvironmentVariableIsSet(name)
                                    ? std::optional<QString>(qEnvironmentVariable(name))
                                    : std::nullopt)
    {
        set(value);
    }
    ~ScopedEnv() { set(m_saved); }

private:
    void set(const std::optional<QString> &value)
    {
        if (value)
            qputenv(m_name, value->toLocal8Bit());
        else
            qunsetenv(m_name);
    }

    const char *m_name;
    std::optional<QString> m_saved;
};

QString Native(QString path)
{
    return path.replace(QLatin1Char('/'), PathDelimiter());
}

} // namespace

class TestEnvironment : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void asciiCase_data();
    void asciiCase();
    void trailingDelimiter_data();
    void trailingDelimiter();
    void currentUserName();
    void userComputerTag();
    void settingsFileNames();
    void configFolderFor();
    void userProfileFolder_data();
    void userProfileFolder();
    void formatDateTime_data();
    void formatDateTime();
    void dateTimeText_data();
    void dateTimeText();
    void versionAndTitleTexts();
};

void TestEnvironment::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestEnvironment::cleanup()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestEnvironment::asciiCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");

    QTest::newRow("ASCII") << "Tarsel.exe"
                           << "TARSEL.EXE"
                           << "tarsel.exe";
    QTest::newRow("accented letters kept") << "\u00c9t\u00e9 \u00e0 No\u00ebl"
                                           << "\u00c9T\u00e9 \u00e0 NO\u00ebL"
                                           << "\u00c9t\u00e9 \u00e0 no\u00ebl";
    QTest::newRow("other scripts kept") << "\u03b1\u0392 z\u00df"
                                        << "\u03b1\u0392 Z\u00df"
                                        << "\u03b1\u0392 z\u00df";
}

void TestEnvironment::asciiCase()
{
    QFETCH(QString, text);
    QFETCH(QString, upper);
    QFETCH(QString, lower);

    QCOMPARE(AsciiUpper(text), upper);
    QCOMPARE(AsciiLower(text), lower);
}

void TestEnvironment::trailingDelimiter_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << Native("/");
    QTest::newRow("missing") << Native("/home/u") << Native("/home/u/");
    QTest::newRow("present") << Native("/home/u/") << Native("/home/u/");
    QTest::newRow("root") << Native("/") << Native("/");
}

void TestEnvironment::trailingDelimiter()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);

    QCOMPARE(IncludeTrailingDelimiter(path), expected);
}

void TestEnvironment::currentUserName()
{
#ifdef Q_OS_WIN
    QSKIP("the account name is checked against id on POSIX");
#else
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-un")});
    QVERIFY(id.waitForFinished());
    QCOMPARE(CurrentUserName(), QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());
#endif
}

void TestEnvironment::userComputerTag()
{
    {
        const ScopedEnv computer("COMPUTERNAME", std::nullopt);
        QCOMPARE(ComputerName(), QSysInfo::machineHostName());
        QCOMPARE(UserComputerTag(), CurrentUserName() + "-" + QSysInfo::machineHostName());
    }
    const ScopedEnv computer("COMPUTERNAME", QStringLiteral("POSTE7"));
    QCOMPARE(UserComputerTag(), CurrentUserName() + "-POSTE7");
}

void TestEnvironment::settingsFileNames()
{
    const ScopedEnv computer("COMPUTERNAME", QStringLiteral("POSTE7"));
    const QString folder =
        IncludeTrailingDelimiter(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
    const QString tag = CurrentUserName() + "-POSTE7";

    // The test program's folder is writable, so everything lies beside it.
    QCOMPARE(ExeFolder(), folder);
    QCOMPARE(ConfigFolder(), folder);
    QCOMPARE(ExeBaseName(false), BaseName);
    QCOMPARE(ExeBaseName(true), BaseName.toUpper());
    QCOMPARE(UserIniFileName(), folder + BaseName + "@" + tag + ".INI");
    QCOMPARE(DefaultIniFileName(), folder + BaseName + ".INI");
    QCOMPARE(ListFileName(QStringLiteral("dossiers_source@")),
             folder + "dossiers_source@" + tag + ".txt");
    QCOMPARE(LogFileName(), folder + "LISTE_FICHIERS.LOG");
}

void TestEnvironment::configFolderFor()
{
    const QString exeFolder = Native("/opt/tarsel/");
    QCOMPARE(ConfigFolderFor(exeFolder, true), exeFolder);

    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QVERIFY(!config.isEmpty());
    QCOMPARE(ConfigFolderFor(exeFolder, false),
             IncludeTrailingDelimiter(QDir::toNativeSeparators(config)));
#ifndef Q_OS_WIN
    // An installed program keeps its settings in the user's folder, even when run by root.
    for (const char *installed : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
        QCOMPARE(ConfigFolderFor(QString::fromLatin1(installed), true),
                 IncludeTrailingDelimiter(config));
#endif
}

void TestEnvironment::userProfileFolder_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << true << Native("/home/u") << Native("/home/u/");
    QTest::newRow("ending with the delimiter") << true << Native("/home/u/") << Native("/home/u//");
    QTest::newRow("unset") << false << QString() << Native("/");
}

void TestEnvironment::userProfileFolder()
{
    QFETCH(bool, set);
    QFETCH(QString, home);
    QFETCH(QString, expected);

    const std::optional<QString> value = set ? std::optional<QString>(home) : std::nullopt;
#ifdef Q_OS_WIN
    const ScopedEnv profile("USERPROFILE", value);
#else
    const ScopedEnv profile("HOME", value);
#endif
    QCOMPARE(UserProfileFolder(), expected);
}

void TestEnvironment::formatDateTime_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    const QLocale french(QLocale::French, QLocale::France);
    QTest::newRow("title pattern") << french << "dd/mm/yyyy"
                                   << "04/03/2022";
    QTest::newRow("regional date separator")
        << QLocale(QLocale::German, QLocale::Germany) << "dd/mm/yyyy"
        << "04.03.2022";
    QTest::newRow("letters without case") << french << "DD/MM/YYYY"
                                          << "04/03/2022";
    QTest::newRow("short numbers") << french << "d/m/yy"
                                   << "4/3/22";
    QTest::newRow("minutes after an hour") << french << "hh:mm:ss"
                                           << "09:05:07";
    QTest::newRow("minutes after an hour and text") << french << "h'h'mm"
                                                    << "9h05";
    QTest::newRow("month after a day") << french << "hh d mm"
                                       << "09 4 03";
    QTest::newRow("n for minutes, z for milliseconds") << french << "hh:nn:ss.zzz"
                                                       << "09:05:07.089";
    QTest::newRow("names") << french << "dddd d mmmm yyyy"
                           << "vendredi 4 mars 2022";
    QTest::newRow("quoted text copied") << french << "\"le\" dd, 'yyyy' yyyy"
                                        << "le 04, yyyy 2022";
    QTest::newRow("other letters copied") << french << "yyyymmdd-xq"
                                          << "20220304-xq";
}

void TestEnvironment::formatDateTime()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);

    QLocale::setDefault(locale);
    const QDateTime moment(QDate(2022, 3, 4), QTime(9, 5, 7, 89));
    QCOMPARE(FormatDateTime(pattern, moment), expected);
}

void TestEnvironment::dateTimeText_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("day time") << QTime(10, 23, 45) << "14/03/2022 10:23:45";
    QTest::newRow("exactly midnight") << QTime(0, 0) << "14/03/2022";
    QTest::newRow("a millisecond after midnight") << QTime(0, 0, 0, 1) << "14/03/2022 00:00:00";
    QTest::newRow("last second") << QTime(23, 59, 59, 999) << "14/03/2022 23:59:59";
}

void TestEnvironment::dateTimeText()
{
    QFETCH(QTime, time);
    QFETCH(QString, expected);

    QCOMPARE(DateTimeText(QDateTime(QDate(2022, 3, 14), time)), expected);
}

void TestEnvironment::versionAndTitleTexts()
{
    const QString version =
        QStringLiteral("%1.%2").arg(TARSEL_VERSION_MAJOR).arg(TARSEL_VERSION_MINOR);
    const QDateTime modified = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    const QString day = modified.toString(QStringLiteral("dd/MM/yyyy"));

    QCOMPARE(ShortVersion(), version);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                .match(FullVersion())
                .hasMatch());
    QVERIFY(FullVersion().startsWith(version + "."));
    QCOMPARE(ExeDateText(QStringLiteral("dd/mm/yyyy")), day);
    QCOMPARE(ExeDateTimeText(), DateTimeText(modified));
    QCOMPARE(VersionAndDate(), FullVersion() + " du " + DateTimeText(modified));
    QCOMPARE(WindowTitleText(QString(), QStringLiteral("dd/mm/yyyy")),
             BaseName.toUpper() + " " + version + " | Norvane ***{:-  | " + day);
    QCOMPARE(WindowTitleText(QStringLiteral("100 % %1"), QStringLiteral("yyyy")),
             BaseName.toUpper() + " " + version + " | Norvane ***{:- 100 % %1 | " +
                 modified.toString(QStringLiteral("yyyy")));
}

QTEST_GUILESS_MAIN(TestEnvironment)
#include "tst_environment.moc"
