// The built program, started unattended with "Zipper au lieu de copier", packs exactly the
// files written today into one dated archive with the real 7-Zip and cleans up after itself.

#include "portable.h"

#include "../support.h"

#include "core/archive.h"

#include <QStandardPaths>
#include <QTemporaryDir>

namespace
{

// The paths of the files an archive holds, as 7-Zip lists them.
QStringList archivedFiles(const QString &archive)
{
    QProcess list;
    list.start(SevenZipForTests(), {QStringLiteral("l"), QStringLiteral("-slt"), archive});
    list.waitForFinished(60000);
    QStringList files;
    QString path;
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split(u'\n');
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QStringLiteral("Path = ")))
            path = line.mid(7);
        else if (line.startsWith(QStringLiteral("Folder = -")) && !path.isEmpty())
            files << path;
    }
    files.sort();
    return files;
}

} // namespace

class TestZipRun : public QObject
{
    Q_OBJECT

private slots:
    void unattendedArchiveOfTodaysFiles();
};

void TestZipRun::unattendedArchiveOfTodaysFiles()
{
    if (SevenZipForTests().isEmpty())
        QSKIP("7-Zip is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.path() + QStringLiteral("/Mon Site");
    const QString target = dir.path() + QStringLiteral("/archives");
    QDir().mkpath(target);
    PortableCopy app(dir.path() + QStringLiteral("/programme"));
    app.set(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), source);
    app.set(QStringLiteral("DOSSIER"), QStringLiteral("CIBLE"), target);
    app.setOption("chk_AutoRun", true);
    app.setOption("chk_AutoClose", true);
    app.setOption("chk_ZIP", true);
    app.setOption("chk_OPEN", false);
    QFile exclusions(app.folder() + QStringLiteral("/exclusions@") + UserComputerTag() +
                     QStringLiteral(".txt"));
    QVERIFY(exclusions.open(QIODevice::WriteOnly));
    exclusions.write("*.ini\r\n");
    exclusions.close();

    QDate today;
    int exitCode = -1;
    QString errors;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir(source).removeRecursively();
        today = QDate::currentDate();
        const QDateTime now(today, QTime(9, 30));
        QVERIFY(WriteStampedFile(source + QStringLiteral("/index.html"), "<html/>", now));
        QVERIFY(WriteStampedFile(source + QStringLiteral("/css/style été.css"), "body{}", now));
        QVERIFY(WriteStampedFile(source + QStringLiteral("/réglages.ini"), "[x]", now));
        QVERIFY(WriteStampedFile(source + QStringLiteral("/ancien.txt"), "old", now.addDays(-2)));
        QVERIFY2(app.run(exitCode, errors), "the program did not end by itself");
        if (QDate::currentDate() == today)
            break;
    }
    QCOMPARE(exitCode, 0);

    const QString name = ArchiveName(UserComputerTag(), source, today);
    QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{name});
    const QString archive = target + u'/' + name;
    const QStringList expected = {QStringLiteral("css/style été.css"),
                                  QStringLiteral("index.html")};
    QCOMPARE(archivedFiles(archive), expected);
    QCOMPARE(RunSevenZip({QStringLiteral("t"), archive}), 0);

    // The program waited for 7-Zip before it removed its staging folder.
    const QString staging = TempFolder() + name;
    QVERIFY2(!QFileInfo::exists(staging), qPrintable(staging));

    // A second run of the same day makes the same archive again.
    QVERIFY(app.run(exitCode, errors));
    QCOMPARE(exitCode, 0);
    QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{name});
    QCOMPARE(archivedFiles(archive), expected);
}

QTEST_GUILESS_MAIN(TestZipRun)
#include "tst_ziprun.moc"
