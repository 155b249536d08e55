#include "core/environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTime>

#include "core/platform/platform.h"

namespace
{

const QString UnknownUser = QStringLiteral("Inconnu");

char16_t AsciiLowerChar(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool IsAsciiLetter(char16_t c)
{
    const char16_t lower = AsciiLowerChar(c);
    return lower >= u'a' && lower <= u'z';
}

// The first character of a locale format that is neither a letter, a blank nor quoted text:
// the separator the user's regional settings put between the parts of a date or a time.
QChar SeparatorOf(const QString &format, QChar fallback)
{
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetter() && !c.isSpace())
            return c;
    }
    return fallback;
}

// The regional long time without the time zone Qt's long format carries.
QString LongTimeFormat(const QLocale &locale)
{
    QString format;
    bool quoted = false;
    for (const QChar c : locale.timeFormat(QLocale::LongFormat)) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            format += c;
    }
    return format.trimmed();
}

QString Padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// One run of the same pattern letter, already resolved ("m" after an hour reads as 'n').
QString FormatToken(char16_t token, qsizetype count, const QDateTime &dateTime,
                    const QLocale &locale)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    switch (token) {
    case u'd':
        if (count >= 4)
            return locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
        if (count == 3)
            return locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
        return Padded(date.day(), int(count));
    case u'm':
        if (count >= 4)
            return locale.monthName(date.month(), QLocale::LongFormat);
        if (count == 3)
            return locale.monthName(date.month(), QLocale::ShortFormat);
        return Padded(date.month(), int(count));
    case u'y':
        return count <= 2 ? Padded(date.year() % 100, 2) : Padded(date.year(), 4);
    case u'h':
        return Padded(time.hour(), count >= 2 ? 2 : 1);
    case u'n':
        return Padded(time.minute(), count >= 2 ? 2 : 1);
    case u's':
        return Padded(time.second(), count >= 2 ? 2 : 1);
    case u'z':
        return Padded(time.msec(), count >= 3 ? 3 : 1);
    default:
        return QString();
    }
}

} // namespace

QString AsciiUpper(const QString &s)
{
    QString result = s;
    for (QChar &c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return result;
}

QString AsciiLower(const QString &s)
{
    QString result = s;
    for (QChar &c : result)
        c = QChar(AsciiLowerChar(c.unicode()));
    return result;
}

bool FileNamesIgnoreCase()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

QChar PathDelimiter()
{
#ifdef Q_OS_WIN
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QString IncludeTrailingDelimiter(const QString &path)
{
    return path.endsWith(PathDelimiter()) ? path : path + PathDelimiter();
}

QString ExePath()
{
    return QCoreApplication::applicationFilePath();
}

QString CurrentUserName()
{
    const platform::NativeString name = platform::CurrentUserName();
    if (name.empty())
        return UnknownUser;
#ifdef Q_OS_WIN
    return QString::fromStdWString(name);
#else
    return QString::fromLocal8Bit(name.data(), qsizetype(name.size()));
#endif
}

QString ComputerName()
{
    const QString name = qEnvironmentVariable("COMPUTERNAME");
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

QString UserComputerTag()
{
    return CurrentUserName() + QLatin1Char('-') + ComputerName();
}

QString ExeFolder()
{
    const QString folder =
        IncludeTrailingDelimiter(QDir::toNativeSeparators(QFileInfo(ExePath()).absolutePath()));
    return FileNamesIgnoreCase() ? AsciiLower(folder) : folder;
}

QString ExeBaseName(bool upper)
{
    const QString name = QFileInfo(ExePath()).completeBaseName();
    return upper ? AsciiUpper(name) : name;
}

QString ProgramDataFolder()
{
    return qEnvironmentVariable("ProgramData");
}

QString DesktopFolder()
{
#ifdef Q_OS_WIN
    return IncludeTrailingDelimiter(qEnvironmentVariable("USERPROFILE")) +
           QStringLiteral("desktop\\");
#else
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return desktop.isEmpty() ? QString() : IncludeTrailingDelimiter(desktop);
#endif
}

QString UserProfileFolder()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("USERPROFILE") + PathDelimiter();
#else
    return qEnvironmentVariable("HOME") + PathDelimiter();
#endif
}

QString MyDocumentsFolder()
{
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString ShortVersion()
{
    return QStringLiteral("%1.%2").arg(TARSEL_VERSION_MAJOR).arg(TARSEL_VERSION_MINOR);
}

QString FullVersion()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(TARSEL_VERSION_MAJOR)
        .arg(TARSEL_VERSION_MINOR)
        .arg(TARSEL_VERSION_PATCH)
        .arg(TARSEL_VERSION_TWEAK);
}

QString DateTimeText(const QDateTime &dateTime)
{
    const QLocale locale;
    QString text = locale.toString(dateTime.date(), QLocale::ShortFormat);
    if (dateTime.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(dateTime.time(), LongTimeFormat(locale));
    return text;
}

QString FormatDateTime(const QString &pattern, const QDateTime &dateTime)
{
    const QLocale locale;
    const QChar dateSeparator = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
    const QChar timeSeparator = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
    QString text;
    char16_t lastLetter = 0;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            text += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == u'/') {
            text += dateSeparator;
            ++i;
        } else if (c == u':') {
            text += timeSeparator;
            ++i;
        } else if (IsAsciiLetter(c.unicode())) {
            const char16_t letter = AsciiLowerChar(c.unicode());
            qsizetype count = 1;
            while (i + count < pattern.size() &&
                   AsciiLowerChar(pattern.at(i + count).unicode()) == letter)
                ++count;
            const char16_t token = (letter == u'm' && lastLetter == u'h') ? u'n' : letter;
            const QString part = FormatToken(token, count, dateTime, locale);
            text += part.isNull() ? pattern.mid(i, count) : part;
            lastLetter = token;
            i += count;
        } else {
            text += c;
            ++i;
        }
    }
    return text;
}

QString ExeDateTimeText()
{
    const QDateTime modified = QFileInfo(ExePath()).lastModified();
    return modified.isValid() ? DateTimeText(modified) : QString();
}

QString ExeDateText(const QString &pattern)
{
    const QDateTime modified = QFileInfo(ExePath()).lastModified();
    return modified.isValid() ? FormatDateTime(pattern, modified) : QString();
}

QString VersionAndDate()
{
    return QStringLiteral("%1 du %2").arg(FullVersion(), ExeDateTimeText());
}

QString WindowTitleText(const QString &freeText, const QString &pattern)
{
    return QStringLiteral("%1 %2 | Norvane ***{:- %3 | %4")
        .arg(ExeBaseName(true), ShortVersion(), freeText, ExeDateText(pattern));
}

namespace
{

// A program in the system's own program folders is installed, even where that folder is
// writable (for root): its settings never go beside it.
bool InSystemProgramFolder(const QString &exeFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(exeFolder);
    return false;
#else
    for (const char *prefix : {"/usr/", "/bin/", "/sbin/"})
        if (exeFolder.startsWith(QLatin1String(prefix)))
            return true;
    return false;
#endif
}

} // namespace

QString ConfigFolderFor(const QString &exeFolder, bool exeFolderWritable)
{
    if (exeFolderWritable && !InSystemProgramFolder(exeFolder))
        return exeFolder;
    const QString location = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return location.isEmpty() ? exeFolder
                              : IncludeTrailingDelimiter(QDir::toNativeSeparators(location));
}

QString ConfigFolder()
{
    const QString exeFolder = ExeFolder();
    const QString folder = ConfigFolderFor(exeFolder, QFileInfo(exeFolder).isWritable());
    QDir().mkpath(folder);
    return folder;
}

QString UserIniFileName()
{
    return ConfigFolder() + ExeBaseName(false) + QLatin1Char('@') + UserComputerTag() +
           QStringLiteral(".INI");
}

QString DefaultIniFileName()
{
    return ConfigFolder() + ExeBaseName(false) + QStringLiteral(".INI");
}

QString ListFileName(const QString &prefix)
{
    return ConfigFolder() + prefix + UserComputerTag() + QStringLiteral(".txt");
}

QString LogFileName()
{
    return ConfigFolder() + QStringLiteral("LISTE_FICHIERS.LOG");
}
