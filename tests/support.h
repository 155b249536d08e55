#pragma once

// Small helpers shared by the GUI and end-to-end tests.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

// The 7-Zip console program of this machine, or "" when none is installed.
inline QString SevenZipForTests()
{
    for (const char *name : {"7zz", "7z", "7za"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// Runs 7-Zip with closed input and gives its exit code.
inline int RunSevenZip(const QStringList &arguments)
{
    QProcess process;
    process.start(SevenZipForTests(), arguments);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return process.exitCode();
}

// Writes a file with its folders and gives it a last-write time; false when that failed.
inline bool WriteStampedFile(const QString &path, const QByteArray &content, const QDateTime &stamp)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush())
        return false;
    return file.setFileTime(stamp, QFileDevice::FileModificationTime);
}
