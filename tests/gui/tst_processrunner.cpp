#include "../support.h"
#include "core/archive.h"
#include "core/error.h"
#include "gui/processrunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>

namespace
{

struct Outcome {
    int exitCode;
    QString output;
};

// Runs 7-Zip to look at an archive, outside the runner under test.
Outcome runSevenZip(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished(-1);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QSet<QString> archivedPaths(const QString &program, const QString &archive)
{
    const Outcome listing =
        runSevenZip(program, {QStringLiteral("l"), QStringLiteral("-slt"), archive});
    QSet<QString> paths;
    bool entries = false;
    for (const QString &line : listing.output.split(u'\n')) {
        if (line.startsWith(QStringLiteral("----------")))
            entries = true;
        else if (entries && line.startsWith(QStringLiteral("Path = ")))
            paths << line.mid(7);
    }
    return paths;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A staging folder with blanks in its path, holding files in nested folders and a
// hidden file. Returns the folder, ending with "/".
QString makeStagingTree(const QTemporaryDir &root)
{
    const QString staging = root.filePath(QStringLiteral("staging dir/"));
    if (!QDir().mkpath(staging + QStringLiteral("sub dir/deeper")) ||
        !writeFile(staging + QStringLiteral("a.txt"), "alpha") ||
        !writeFile(staging + QStringLiteral(".hidden"), "hidden") ||
        !writeFile(staging + QStringLiteral("sub dir/b.txt"), "bravo") ||
        !writeFile(staging + QStringLiteral("sub dir/deeper/c.txt"), "charlie"))
        return QString();
    return staging;
}

const QSet<QString> StagedPaths{".hidden",       "a.txt",          "sub dir",
                                "sub dir/b.txt", "sub dir/deeper", "sub dir/deeper/c.txt"};

QString archivePath(const QTemporaryDir &root)
{
    QDir().mkpath(root.filePath(QStringLiteral("out dir")));
    return root.filePath(QStringLiteral("out dir/")) +
           ArchiveName(QStringLiteral("utilisateur-POSTE1"),
                       root.filePath(QStringLiteral("Mon Site")), QDate(2022, 3, 14));
}

QString startError(ProcessRunner &runner, const QString &program, const QStringList &arguments)
{
    try {
        runner.start(program, arguments);
    } catch (const TarselError &e) {
        return e.message();
    }
    return QString();
}

// What the runner delivered, in the order it arrived.
struct Recorder {
    explicit Recorder(ProcessRunner &runner)
    {
        QObject::connect(&runner, &ProcessRunner::read, &runner,
                         [this](const QString &text) { pieces << text; });
        QObject::connect(&runner, &ProcessRunner::terminated, &runner, [this](int exitCode) {
            exitCodes << exitCode;
            piecesAtEnd = pieces.size();
        });
    }
    QStringList pieces;
    QList<int> exitCodes;
    qsizetype piecesAtEnd = -1;
};

} // namespace

class TestProcessRunner : public QObject
{
    Q_OBJECT
private slots:
    void packsStagingTree_data();
    void packsStagingTree();
    void passwordProtectsArchive();
    void destructionWaitsForChild();
    void secondStartWhileRunningFails();
    void missingProgramFailsWithSystemText();
    void childInputIsClosed();
    void crashIsNotReportedAsSuccess();
};

void TestProcessRunner::packsStagingTree_data()
{
    QTest::addColumn<bool>("waited");

    QTest::newRow("through the event queue") << false;
    QTest::newRow("waited for at program end") << true;
}

void TestProcessRunner::packsStagingTree()
{
    QFETCH(bool, waited);
    const QString sevenZip = SevenZipForTests();
    if (sevenZip.isEmpty())
        QSKIP("7-Zip is not installed");
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString staging = makeStagingTree(root);
    QVERIFY(!staging.isEmpty());
    const QString archive = archivePath(root);

    ProcessRunner runner;
    Recorder recorder(runner);
    runner.start(sevenZip, SevenZipArguments(QString(), archive, staging));
    QVERIFY(runner.isRunning());
    if (waited)
        runner.waitForFinished();
    else
        QTRY_COMPARE_WITH_TIMEOUT(recorder.exitCodes.size(), 1, 300000);

    QVERIFY(!runner.isRunning());
    QCOMPARE(recorder.exitCodes, QList<int>{0});
    QCOMPARE(recorder.piecesAtEnd, recorder.pieces.size());
    const qsizetype scanning = recorder.pieces.indexOf(QStringLiteral("Scanning the drive:"));
    const qsizetype creating =
        recorder.pieces.indexOf(QStringLiteral("Creating archive: ") + archive);
    const qsizetype done = recorder.pieces.indexOf(QStringLiteral("Everything is Ok"));
    QVERIFY2(scanning >= 0 && scanning < creating && creating < done,
             qPrintable(recorder.pieces.join(u'\n')));

    QCOMPARE(archivedPaths(sevenZip, archive), StagedPaths);
    const Outcome test = runSevenZip(sevenZip, {QStringLiteral("t"), archive});
    QCOMPARE(test.exitCode, 0);
    QVERIFY(test.output.contains(QStringLiteral("Everything is Ok")));
}

void TestProcessRunner::passwordProtectsArchive()
{
    const QString sevenZip = SevenZipForTests();
    if (sevenZip.isEmpty())
        QSKIP("7-Zip is not installed");
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString staging = makeStagingTree(root);
    QVERIFY(!staging.isEmpty());
    const QString archive = archivePath(root);

    ProcessRunner runner;
    Recorder recorder(runner);
    runner.start(sevenZip, SevenZipArguments(QStringLiteral("-pmot de passe"), archive, staging));
    runner.waitForFinished();
    QCOMPARE(recorder.exitCodes, QList<int>{0});

    const QString wrong = root.filePath(QStringLiteral("wrong"));
    QVERIFY(runSevenZip(sevenZip, {QStringLiteral("x"), QStringLiteral("-pmot de pass"),
                                   QStringLiteral("-y"), QStringLiteral("-o") + wrong, archive})
                .exitCode != 0);
    const QString right = root.filePath(QStringLiteral("right"));
    QCOMPARE(runSevenZip(sevenZip, {QStringLiteral("x"), QStringLiteral("-pmot de passe"),
                                    QStringLiteral("-y"), QStringLiteral("-o") + right, archive})
                 .exitCode,
             0);
    QCOMPARE(readFile(right + QStringLiteral("/sub dir/deeper/c.txt")), QByteArray("charlie"));
    QCOMPARE(readFile(right + QStringLiteral("/.hidden")), QByteArray("hidden"));
}

void TestProcessRunner::destructionWaitsForChild()
{
    const QString sevenZip = SevenZipForTests();
    if (sevenZip.isEmpty())
        QSKIP("7-Zip is not installed");
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString staging = makeStagingTree(root);
    QVERIFY(!staging.isEmpty());
    const QString archive = archivePath(root);

    {
        ProcessRunner runner;
        runner.start(sevenZip, SevenZipArguments(QString(), archive, staging));
    }

    QCOMPARE(runSevenZip(sevenZip, {QStringLiteral("t"), archive}).exitCode, 0);
    QCOMPARE(archivedPaths(sevenZip, archive), StagedPaths);
}

void TestProcessRunner::secondStartWhileRunningFails()
{
    const QString sevenZip = SevenZipForTests();
    if (sevenZip.isEmpty())
        QSKIP("7-Zip is not installed");
    ProcessRunner runner;
    Recorder recorder(runner);

    QCOMPARE(startError(runner, sevenZip, {}), QString());
    QCOMPARE(startError(runner, sevenZip, {}),
             QStringLiteral("Cannot perform this operation when process is running"));
    runner.waitForFinished();
    QCOMPARE(recorder.exitCodes.size(), 1);

    // Once the child has ended, the runner starts the next one.
    QCOMPARE(startError(runner, sevenZip, {}), QString());
    runner.waitForFinished();
    QCOMPARE(recorder.exitCodes.size(), 2);
}

void TestProcessRunner::missingProgramFailsWithSystemText()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    ProcessRunner runner;
    Recorder recorder(runner);

    const QString message = startError(runner, root.filePath(QStringLiteral("no such 7z")), {});
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(ENOENT))), qPrintable(message));
    QVERIFY(!runner.isRunning());
    QCoreApplication::processEvents();
    QVERIFY(recorder.exitCodes.isEmpty());
}

void TestProcessRunner::childInputIsClosed()
{
    // 7-Zip asks for a missing password on its input; it must read the end of input
    // at once instead of waiting for ever.
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sh"));
    if (shell.isEmpty())
        QSKIP("no shell");
    ProcessRunner runner;
    Recorder recorder(runner);

    runner.start(shell, {QStringLiteral("-c"), QStringLiteral("timeout 60 cat; echo \"cat: $?\"")});
    runner.waitForFinished();
    QVERIFY2(recorder.pieces.contains(QStringLiteral("cat: 0")),
             qPrintable(recorder.pieces.join(u'|')));
}

void TestProcessRunner::crashIsNotReportedAsSuccess()
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sh"));
    if (shell.isEmpty())
        QSKIP("no shell");
    ProcessRunner runner;
    Recorder recorder(runner);

    runner.start(shell, {QStringLiteral("-c"), QStringLiteral("kill -KILL $$")});
    runner.waitForFinished();
    QCOMPARE(recorder.exitCodes, QList<int>{-1});
}

QTEST_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
