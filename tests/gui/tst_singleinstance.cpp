#include "core/environment.h"
#include "gui/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

// Started with InstanceSwitch and a control folder, this program acts as a small instance of
// the program: it says "ready", waits for the file "go" in the control folder, asks for the
// first place and says "first" or "refused". A refused instance asks the first one to come
// forward and ends; the first says "activated" for every such request and runs until the file
// "quit" appears.
static const QString InstanceSwitch = QStringLiteral("--tarsel-instance");
constexpr int InstanceLifetimeMs = 120000;
constexpr int WaitMs = 30000;

static void Say(const char *word)
{
    std::printf("%s\n", word);
    std::fflush(stdout);
}

static int RunInstance(const QString &controlFolder)
{
    const QDir control(controlFolder);
    const QDeadlineTimer lifetime(InstanceLifetimeMs);
    SingleInstance instance(QCoreApplication::applicationFilePath());
    Say("ready");
    while (!control.exists(QStringLiteral("go"))) {
        if (lifetime.hasExpired())
            return 2;
        QThread::msleep(1);
    }
    if (!instance.isFirst()) {
        instance.bringFirstForward();
        Say("refused");
        return 0;
    }
    Say("first");
    QObject::connect(&instance, &SingleInstance::activationRequested, [] { Say("activated"); });
    QTimer poll;
    poll.callOnTimeout([&] {
        if (control.exists(QStringLiteral("quit")) || lifetime.hasExpired())
            QCoreApplication::quit();
    });
    poll.start(10);
    return QCoreApplication::exec();
}

// One started instance and what it said so far.
class Instance
{
public:
    Instance(const QString &program, const QString &controlFolder, const QString &tempFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), tempFolder);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, {InstanceSwitch, controlFolder});
    }
    ~Instance()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(WaitMs);
        }
    }

    // Waits until the instance has said word count times; false when it ended or took too long.
    bool waitFor(const QString &word, int count = 1)
    {
        const QDeadlineTimer deadline(WaitMs);
        while (said(word) < count) {
            if (!readMore(deadline))
                return said(word) >= count;
        }
        return true;
    }
    // Waits for the instance's answer to its start: "first" or "refused"; "" when none came.
    QString answer()
    {
        const QDeadlineTimer deadline(WaitMs);
        for (bool more = true; more;) {
            more = readMore(deadline);
            for (const QString &word : {QStringLiteral("first"), QStringLiteral("refused")})
                if (said(word) > 0)
                    return word;
        }
        return QString();
    }
    int said(const QString &word) const
    {
        return int(m_said.split(QRegularExpression(QStringLiteral("\r?\n"))).count(word));
    }
    bool endsCleanly()
    {
        const bool ended =
            m_process.state() == QProcess::NotRunning || m_process.waitForFinished(WaitMs);
        return ended && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    void kill()
    {
        m_process.kill();
        if (m_process.state() != QProcess::NotRunning)
            m_process.waitForFinished(WaitMs);
    }

private:
    // Takes what the instance said meanwhile; false once it has ended or the time is up.
    bool readMore(const QDeadlineTimer &deadline)
    {
        const bool running = m_process.state() != QProcess::NotRunning;
        if (running && !deadline.hasExpired())
            m_process.waitForReadyRead(int(std::clamp<qint64>(deadline.remainingTime(), 1, 100)));
        m_said += QString::fromLocal8Bit(m_process.readAllStandardOutput());
        return running && !deadline.hasExpired();
    }

    QProcess m_process;
    QString m_said;
};

class tst_SingleInstance : public QObject
{
    Q_OBJECT
public:
    tst_SingleInstance()
    {
        const QStringList arguments = QCoreApplication::arguments();
        if (arguments.size() == 3 && arguments[1] == InstanceSwitch)
            std::exit(RunInstance(arguments[2]));
    }

private slots:
    void init();

    void secondStartIsRefusedAndFirstComesForward();
    void simultaneousStartsLeaveOneFirst();
    void copyInOtherFolderRunsBeside();
    void newStartIsFirstOnceFirstEnded_data();
    void newStartIsFirstOnceFirstEnded();

    void instanceKey_data();
    void instanceKey();

private:
    // A new control folder; with go set, instances started on it ask for the first place at once.
    QString controlFolder(bool go);
    std::unique_ptr<Instance>
    start(const QString &control, const QString &program = QCoreApplication::applicationFilePath());
    void quit(const QString &control);

    std::unique_ptr<QTemporaryDir> m_temp;
    int m_controls = 0;
};

void tst_SingleInstance::init()
{
    // Lock files and sockets of the instances go to a temporary folder of this test only.
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
}

QString tst_SingleInstance::controlFolder(bool go)
{
    const QString folder = m_temp->filePath(QStringLiteral("control%1").arg(++m_controls));
    QDir().mkpath(folder);
    if (go)
        QFile(folder + QStringLiteral("/go")).open(QIODevice::WriteOnly);
    return folder;
}

std::unique_ptr<Instance> tst_SingleInstance::start(const QString &control, const QString &program)
{
    return std::make_unique<Instance>(program, control, m_temp->path());
}

void tst_SingleInstance::quit(const QString &control)
{
    QFile(control + QStringLiteral("/quit")).open(QIODevice::WriteOnly);
}

void tst_SingleInstance::secondStartIsRefusedAndFirstComesForward()
{
    const QString control = controlFolder(true);
    auto first = start(control);
    QCOMPARE(first->answer(), QStringLiteral("first"));

    for (int attempt = 1; attempt <= 2; ++attempt) {
        auto second = start(control);
        QCOMPARE(second->answer(), QStringLiteral("refused"));
        QVERIFY(second->endsCleanly());
        QVERIFY(first->waitFor(QStringLiteral("activated"), attempt));
    }

    quit(control);
    QVERIFY(first->endsCleanly());
    QCOMPARE(first->said(QStringLiteral("activated")), 2);
}

void tst_SingleInstance::simultaneousStartsLeaveOneFirst()
{
    constexpr int Rounds = 6;
    constexpr int Starts = 4;
    for (int round = 0; round < Rounds; ++round) {
        const QString control = controlFolder(false);
        std::vector<std::unique_ptr<Instance>> instances;
        for (int i = 0; i < Starts; ++i)
            instances.push_back(start(control));
        for (auto &instance : instances)
            QVERIFY(instance->waitFor(QStringLiteral("ready")));
        QFile(control + QStringLiteral("/go")).open(QIODevice::WriteOnly);

        Instance *first = nullptr;
        for (auto &instance : instances) {
            const QString answer = instance->answer();
            QVERIFY2(answer == "first" || answer == "refused", qPrintable(answer));
            if (answer == QStringLiteral("first")) {
                QVERIFY2(!first, "two instances came first");
                first = instance.get();
            }
        }
        QVERIFY2(first, "no instance came first");
        // Every refused start reached the first one, even one made before it listened.
        QVERIFY(first->waitFor(QStringLiteral("activated"), Starts - 1));
        // Every other round the first dies, so the next round's starts race for a stale lock.
        if (round % 2 == 1)
            first->kill();
        quit(control);
        for (auto &instance : instances)
            if (instance.get() != first || round % 2 == 0)
                QVERIFY(instance->endsCleanly());
    }
}

void tst_SingleInstance::copyInOtherFolderRunsBeside()
{
    const QString copy = m_temp->filePath(
        QStringLiteral("other/") + QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));

    const QString control = controlFolder(true);
    auto original = start(control);
    QCOMPARE(original->answer(), QStringLiteral("first"));
    auto copied = start(control, copy);
    QCOMPARE(copied->answer(), QStringLiteral("first"));

    auto again = start(control, copy);
    QCOMPARE(again->answer(), QStringLiteral("refused"));
    QVERIFY(again->endsCleanly());
    QVERIFY(copied->waitFor(QStringLiteral("activated")));

    quit(control);
    QVERIFY(original->endsCleanly());
    QVERIFY(copied->endsCleanly());
    QCOMPARE(original->said(QStringLiteral("activated")), 0);
}

void tst_SingleInstance::newStartIsFirstOnceFirstEnded_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("first closed") << false;
    QTest::newRow("first killed, lock and socket left behind") << true;
}

void tst_SingleInstance::newStartIsFirstOnceFirstEnded()
{
    QFETCH(bool, killed);
    const QString oldControl = controlFolder(true);
    auto old = start(oldControl);
    QCOMPARE(old->answer(), QStringLiteral("first"));
    if (killed) {
        old->kill();
        QVERIFY(!QDir(m_temp->path()).entryList({QStringLiteral("*.lock")}, QDir::Files).isEmpty());
    } else {
        quit(oldControl);
        QVERIFY(old->endsCleanly());
    }

    const QString control = controlFolder(true);
    auto next = start(control);
    QCOMPARE(next->answer(), QStringLiteral("first"));
    auto refused = start(control);
    QCOMPARE(refused->answer(), QStringLiteral("refused"));
    QVERIFY(next->waitFor(QStringLiteral("activated")));
    quit(control);
    QVERIFY(next->endsCleanly());
}

void tst_SingleInstance::instanceKey_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("same");
    const bool ignoreCase = FileNamesIgnoreCase();
    QTest::newRow("same program and user") << "/opt/tarsel/tarsel"
                                           << "marie" << true;
    QTest::newRow("same path spelled longer") << "/opt/tarsel/./bin/../tarsel"
                                              << "marie" << true;
    QTest::newRow("other user") << "/opt/tarsel/tarsel"
                                << "paul" << false;
    QTest::newRow("other folder") << "/home/marie/tarsel/tarsel"
                                  << "marie" << false;
    QTest::newRow("user name inside the path") << "/opt/tarsel/tarselmarie"
                                               << "" << false;
    QTest::newRow("letter case") << "/OPT/Tarsel/TARSEL"
                                 << "marie" << ignoreCase;
}

void tst_SingleInstance::instanceKey()
{
    QFETCH(QString, path);
    QFETCH(QString, user);
    QFETCH(bool, same);
    const QString reference =
        InstanceKey(QStringLiteral("/opt/tarsel/tarsel"), QStringLiteral("marie"));
    const QString key = InstanceKey(path, user);

    QCOMPARE(key == reference, same);
    // Used as a file name and a local socket name.
    QVERIFY2(QRegularExpression(QStringLiteral("^tarsel-[0-9a-f]{40}$")).match(key).hasMatch(),
             qPrintable(key));
}

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
