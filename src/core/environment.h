#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>

// What the program learns about its surroundings: user, computer, where the executable lies,
// the special folders, the version and date texts, and where its settings, lists and log live.
// Nothing is cached: every call asks the system again.

// Case conversions that change only the ASCII letters; accented letters keep their case.
QString AsciiUpper(const QString &s);
QString AsciiLower(const QString &s);

bool FileNamesIgnoreCase();
QChar PathDelimiter();
// Appends the path delimiter when the text does not end with it ("" gives the delimiter alone).
QString IncludeTrailingDelimiter(const QString &path);

QString ExePath();
// Account name of the effective user; "Inconnu" when the system can't tell.
QString CurrentUserName();
// "COMPUTERNAME" when set, else the host name.
QString ComputerName();
// User, "-", computer: the part of every settings and list file name that keeps users apart.
QString UserComputerTag();
// Folder of the executable, ending with the delimiter; lower-cased where file names ignore case.
QString ExeFolder();
// File name of the executable without folder and extension.
QString ExeBaseName(bool upper);
QString ProgramDataFolder();
QString DesktopFolder();
// The home folder followed by one delimiter, appended whether or not it already ends with one.
QString UserProfileFolder();
QString MyDocumentsFolder();

QString ShortVersion();
QString FullVersion();
// Regional short date, a blank and the long time; a time of exactly midnight is left out.
QString DateTimeText(const QDateTime &dateTime);
// Formats with a pattern of d, m, y, h, n, s and z letters ("dd/mm/yyyy", "hh:nn:ss"): "m" right
// after an hour means minutes, "/" and ":" are the regional separators, quoted text is copied.
QString FormatDateTime(const QString &pattern, const QDateTime &dateTime);
QString ExeDateTimeText();
QString ExeDateText(const QString &pattern);
QString VersionAndDate();
QString WindowTitleText(const QString &freeText, const QString &pattern);

// Where settings, lists and log live, ending with the delimiter: the executable's folder when
// it is writable (a portable copy), else the user's configuration folder, created on demand.
QString ConfigFolder();
QString ConfigFolderFor(const QString &exeFolder, bool exeFolderWritable);
QString UserIniFileName();
QString DefaultIniFileName();
QString ListFileName(const QString &prefix);
QString LogFileName();
