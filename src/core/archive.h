#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <string>

// The name of the last folder of a path that ends with the path delimiter ("/" on
// Linux; "\\" or ":" on Windows): "/home/u/Site/" gives "Site", "/a/web.site/" gives
// "web.site", the root "/" gives ".~".
QString ExtractLastDir(const QString &path);

// "user-COMPUTER@Site_2022-03-14.ZIP": the tag, "@", the source folder's own name and
// the day of the run.
QString ArchiveName(const QString &userComputerTag, const QString &sourceText, const QDate &today);

// The temporary folder, ending with the path delimiter. Throws TarselError with the
// system's text when none exists or can be made.
QString TempFolder();

// The 7-Zip console program to use when the settings name none: the one in the current
// folder, else the first of 7z, 7zz and 7za found on PATH, else the bare name "7z".
QString DefaultSevenZipExe();

// Whether the stored 7-Zip names an existing file, or a bare name found on PATH.
bool SevenZipFound(const QString &program);

// The arguments that pack the whole staging folder, with its sub-folders, into one ZIP
// archive. passwordSwitch is empty or "-p" followed by the password.
QStringList SevenZipArguments(const QString &passwordSwitch, const QString &archivePath,
                              const QString &stagingFolder);

// The command line as shown in the console; the password is masked with one "*" per
// character.
QString SevenZipCommandLineText(const QString &exe, const QString &passwordSwitch,
                                const QString &archivePath, const QString &stagingFolder);

// The French text of a 7-Zip exit code; empty for a code 7-Zip does not define.
QString SevenZipExitText(int exitCode);

// The status text shown when 7-Zip has ended.
QString ArchiveDoneText(const QString &targetText, int exitCode);

// Cuts a console child's output bytes into the pieces the console shows. A line feed
// ends the current line; a carriage return goes back to the line's start so that later
// characters overwrite it; a backspace goes back one character (never before the
// start); a tab is eight blanks; NUL and BEL are blanks. Bytes are UTF-8 (the system
// code page on Windows); a character split between two chunks is decoded whole.
class OutputCutter
{
public:
    // Every line the chunk ends, then the unfinished current line (even empty).
    QStringList feed(const QByteArray &chunk);
    // Once the child has ended: the current line when undecoded bytes remained, which
    // then show as replacement characters. The cutter then starts afresh.
    QStringList finish();

private:
    QStringList cut(const QString &text);
    void put(char32_t c);
    QString currentLine() const;

    QByteArray m_pending;
    std::u32string m_line;
    std::size_t m_column = 0;
};
