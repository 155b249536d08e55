// A second start of the same program file is refused; copies in other folders run side by side.

#include "portable.h"

#include "gui/singleinstance.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>

namespace
{

const QString Refusal =
    QStringLiteral("MessageBox: Tarsel est Déjà lancé (voir la Barre des tâches)");

// The instance lock of a program file, held by its running first instance.
QString lockOf(const PortableCopy &app)
{
    return QDir::tempPath() + u'/' + InstanceKey(app.exe(), CurrentUserName()) +
           QStringLiteral(".lock");
}

bool waitForLock(const PortableCopy &app)
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (QFile::exists(lockOf(app)))
            return true;
        QThread::msleep(50);
    }
    return false;
}

QStringList filesIn(const PortableCopy &app)
{
    return QDir(app.folder()).entryList(QDir::Files | QDir::Hidden);
}

void stop(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace

class TestSingleStart : public QObject
{
    Q_OBJECT

private slots:
    void secondStartIsRefused();
    void simultaneousStartsLeaveOne();
};

void TestSingleStart::secondStartIsRefused()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PortableCopy app(dir.path() + QStringLiteral("/un"));
    QProcess first;
    app.start(first);
    QVERIFY(first.waitForStarted());
    QVERIFY(waitForLock(app));
    const QStringList before = filesIn(app);

    int exitCode = -1;
    QString errors;
    QVERIFY(app.run(exitCode, errors, 30000));
    QCOMPARE(exitCode, 0);
    QVERIFY2(errors.contains(Refusal), qPrintable(errors));
    QCOMPARE(filesIn(app), before); // the refused start wrote no setting
    QCOMPARE(first.state(), QProcess::Running);

    // A copy in another folder is another program: it runs beside the first.
    PortableCopy other(dir.path() + QStringLiteral("/deux"));
    QProcess beside;
    other.start(beside);
    QVERIFY(waitForLock(other));
    QVERIFY(!beside.waitForFinished(2000));

    // Once the first has ended, the next start is the first again.
    stop(first);
    QProcess again;
    app.start(again);
    QVERIFY(waitForLock(app));
    QVERIFY(!again.waitForFinished(2000));
    stop(again);
    stop(beside);
}

void TestSingleStart::simultaneousStartsLeaveOne()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PortableCopy app(dir.path() + QStringLiteral("/pareil"));
    QProcess a;
    QProcess b;
    app.start(a);
    app.start(b);
    QVERIFY(a.waitForStarted() && b.waitForStarted());

    // Exactly one of them is refused and ends; the other keeps running.
    QDeadlineTimer deadline(30000);
    bool aEnded = false;
    bool bEnded = false;
    while (!aEnded && !bEnded && !deadline.hasExpired()) {
        aEnded = a.waitForFinished(50);
        bEnded = !aEnded && b.waitForFinished(50);
    }
    QVERIFY(aEnded || bEnded);
    QProcess &ended = aEnded ? a : b;
    QProcess &running = aEnded ? b : a;
    QCOMPARE(ended.exitCode(), 0);
    QVERIFY(QString::fromUtf8(ended.readAllStandardError()).contains(Refusal));
    QVERIFY(!running.waitForFinished(2000));
    stop(running);
}

QTEST_GUILESS_MAIN(TestSingleStart)
#include "tst_singlestart.moc"
