// The built program, started unattended over a generated tree, copies exactly the files
// written today and ends by itself.

#include "portable.h"

#include "../support.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace
{

struct TreeFile {
    QString relative;
    int daysAgo;
    QTime time;
    bool expected;
};

QList<TreeFile> treeFiles()
{
    return {
        {QStringLiteral("aujourdhui.txt"), 0, QTime(10, 0), true},
        {QStringLiteral("vieux.txt"), 3, QTime(10, 0), false},
        {QStringLiteral("un fichier avec blancs.txt"), 0, QTime(0, 0), true},
        {QStringLiteral("été/Résumé É.doc"), 0, QTime(23, 59, 59), true},
        {QStringLiteral("a=b/c=d.txt"), 0, QTime(12, 0), true},
        {QStringLiteral(".caché.txt"), 0, QTime(9, 0), true},
        {QStringLiteral(".dossier caché/dedans.txt"), 0, QTime(9, 0), false},
        {QStringLiteral("profond/er/gros.bin"), 0, QTime(14, 0), true},
        {QStringLiteral("profond/hier.bin"), 1, QTime(23, 59, 59), false},
        {QStringLiteral("profond/demain.bin"), -1, QTime(0, 0), false},
    };
}

QDateTime stampFor(const TreeFile &file, const QDate &today)
{
    return QDateTime(today.addDays(-file.daysAgo), file.time);
}

void makeTree(const QString &root, const QDate &today)
{
    for (const TreeFile &file : treeFiles()) {
        const QString path = root + u'/' + file.relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QByteArray content = file.relative.toUtf8();
        if (file.relative.endsWith(QStringLiteral(".bin"))) {
            content.resize(3 * 1024 * 1024 + 17);
            for (char &c : content)
                c = char(QRandomGenerator::global()->generate());
        }
        out.write(content);
        out.close();
        QVERIFY(out.open(QIODevice::ReadWrite));
        QVERIFY(out.setFileTime(stampFor(file, today), QFileDevice::FileModificationTime));
    }
}

QStringList filesBelow(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

ino_t inodeOf(const QString &path)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestCopyRun : public QObject
{
    Q_OBJECT

private slots:
    void unattendedCopyOfTodaysFiles();
    void unattendedRunThatFindsNothingEnds();
};

void TestCopyRun::unattendedCopyOfTodaysFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.path() + QStringLiteral("/source");
    const QString target = dir.path() + QStringLiteral("/cible sauvegarde");
    PortableCopy app(dir.path() + QStringLiteral("/programme"));

    // The day is read before and after the run; a run across midnight is made again.
    QDate today;
    int exitCode = -1;
    QString errors;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir(source).removeRecursively();
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        today = QDate::currentDate();
        makeTree(source, today);
        app.set(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), source);
        app.set(QStringLiteral("DOSSIER"), QStringLiteral("CIBLE"), target);
        app.setOption("chk_AutoRun", true);
        app.setOption("chk_AutoClose", true);
        app.setOption("chk_ZIP", false);
        app.setOption("chk_OPEN", false);
        QVERIFY2(app.run(exitCode, errors), "the program did not end by itself");
        if (QDate::currentDate() == today)
            break;
    }
    QCOMPARE(exitCode, 0);
    QVERIFY2(!errors.contains(QStringLiteral("MessageBox:")), qPrintable(errors));

    QStringList expected;
    for (const TreeFile &file : treeFiles())
        if (file.expected)
            expected << file.relative;
    expected.sort();
    QCOMPARE(filesBelow(target), expected);
    for (const TreeFile &file : treeFiles()) {
        if (!file.expected)
            continue;
        const QString copied = target + u'/' + file.relative;
        QCOMPARE(contentOf(copied), contentOf(source + u'/' + file.relative));
        QCOMPARE(QFileInfo(copied).lastModified(), stampFor(file, today));
    }

    // The log lists the selected paths, one per line.
    const QString log =
        QString::fromUtf8(contentOf(app.folder() + QStringLiteral("/LISTE_FICHIERS.LOG")));
    QStringList logged = log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (QString &path : logged)
        path = QDir(source).relativeFilePath(path);
    logged.sort();
    QCOMPARE(logged, expected);

    // Closing saved the settings.
    QCOMPARE(IniReadString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), QString(),
                           app.settingsFile()),
             source + u'/');
    QVERIFY(!IniReadString(QStringLiteral("tarsel"), QStringLiteral("Form1"), QString(),
                           app.settingsFile())
                 .isEmpty());
    QVERIFY(QFile::exists(app.folder() + QStringLiteral("/dossiers_source@") + UserComputerTag() +
                          QStringLiteral(".txt")));

    // Without always replacing, a second run keeps every file as it is.
    QMap<QString, ino_t> inodes;
    for (const QString &file : expected)
        inodes[file] = inodeOf(target + u'/' + file);
    app.setOption("chk_FORCE", false);
    QVERIFY(app.run(exitCode, errors));
    QCOMPARE(exitCode, 0);
    for (const QString &file : expected)
        QCOMPARE(inodeOf(target + u'/' + file), inodes[file]);
}

void TestCopyRun::unattendedRunThatFindsNothingEnds()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.path() + QStringLiteral("/source");
    const QString target = dir.path() + QStringLiteral("/cible");
    QDir().mkpath(source);
    QDir().mkpath(target);
    QVERIFY(WriteStampedFile(source + QStringLiteral("/ancien.txt"), "x",
                             QDateTime::currentDateTime().addDays(-30)));

    PortableCopy app(dir.path() + QStringLiteral("/programme"));
    app.set(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), source);
    app.set(QStringLiteral("DOSSIER"), QStringLiteral("CIBLE"), target);
    app.setOption("chk_AutoRun", true);
    app.setOption("chk_AutoClose", true);
    for (bool zip : {false, true}) {
        app.setOption("chk_ZIP", zip);
        int exitCode = -1;
        QString errors;
        QVERIFY2(app.run(exitCode, errors, 60000), "an empty unattended run must end by itself");
        QCOMPARE(exitCode, 0);
        QVERIFY2(filesBelow(target).isEmpty(), qPrintable(filesBelow(target).join(u',')));
    }
}

QTEST_GUILESS_MAIN(TestCopyRun)
#include "tst_copyrun.moc"
