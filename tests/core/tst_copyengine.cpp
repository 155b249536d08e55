#include "core/copyengine.h"
#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr qint64 NoTarget = LLONG_MIN;
const qint64 SourceTime = 1647340245123; // a UTC time with milliseconds

void SetUtcTime(const QString &path, qint64 utcMsecs)
{
    const timespec time{time_t(utcMsecs / 1000), long(utcMsecs % 1000) * 1000000};
    const timespec times[2] = {time, time};
    QVERIFY2(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0,
             qPrintable(path));
}

void MakeFile(const QString &path, const QByteArray &content, qint64 utcMsecs = SourceTime)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
    file.close();
    SetUtcTime(path, utcMsecs);
}

QByteArray Content(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// Every word a row receives, in order; the first pass's folder mark reads "grid:Créé".
class RecordingSink : public CopySink
{
public:
    explicit RecordingSink(int rows, int gridRows = INT_MAX) : history(rows), m_gridRows(gridRows)
    {
    }
    void setRowWord(int row, const QString &word, bool gridOnly) override
    {
        if (row >= m_gridRows)
            throw TarselError(QStringLiteral("Index de liste hors limites (%1)").arg(row));
        history[row] << (gridOnly ? "grid:" + word : word);
    }
    void fileStarted(int, const QString &) override {}
    void message(const QString &text) override { messages << text; }
    bool isExcluded(const QString &path) override { return excluded.contains(path); }

    QList<QStringList> history;
    QStringList messages;
    QStringList excluded;

private:
    int m_gridRows;
};

} // namespace

class TestCopyEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pathParts_data();
    void pathParts();
    void words_data();
    void words();
    void timeAndPermissionsKept_data();
    void timeAndPermissionsKept();
    void interruptedCopyKeepsOldTarget_data();
    void interruptedCopyKeepsOldTarget();
    void sameFileThroughLinkedFolderRefused();
    void hiddenFileCreatesNoFolder();
    void sinkErrorReachesCaller();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_source;
    QString m_target;
};

void TestCopyEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_source = m_dir->path() + "/src/";
    m_target = m_dir->path() + "/dst/";
    QVERIFY(QDir().mkpath(m_source));
    QVERIFY(QDir().mkpath(m_target));
}

void TestCopyEngine::pathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("sourceText");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("targetFolder");

    const auto row = [](const char *tag, const QString &path, const QString &sourceText,
                        const QString &folder, const QString &name, const QString &targetFolder) {
        QTest::newRow(tag) << path << sourceText << folder << name << targetFolder;
    };
    row("nested file", "/data/site/css/style.css", "/data/", "/data/site/css/", "style.css",
        "/save/site/css/");
    row("file in the source folder", "/data/a.txt", "/data/", "/data/", "a.txt", "/save/");
    row("cut by length only", "/docs/x/f.txt", "/data/", "/docs/x/", "f.txt", "/save/x/");
#ifndef Q_OS_WIN
    row("colon is a plain character", "/data/a:b/c:d", "/data/", "/data/a:b/", "c:d", "/save/a:b/");
#endif
}

void TestCopyEngine::pathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, sourceText);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, targetFolder);

    QCOMPARE(FolderPart(path), folder);
    QCOMPARE(NamePart(path), name);
    QCOMPARE(TargetFolderFor(path, int(sourceText.size()), "/save/"), targetFolder);
}

void TestCopyEngine::words_data()
{
    QTest::addColumn<bool>("force");
    QTest::addColumn<qint64>("targetTime"); // relative to the source's, or NoTarget
    QTest::addColumn<QString>("twist");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<bool>("copied");

    const QString created = CopyWords::Created;
    const QStringList newFile{"grid:" + created, "", created};
    QTest::newRow("new file") << true << NoTarget << "" << newFile << true;
    QTest::newRow("new file, no force") << false << NoTarget << "" << newFile << true;
    QTest::newRow("newer target replaced under force")
        << true << qint64(60000) << "" << QStringList{"", CopyWords::Replaced} << true;
    QTest::newRow("same time kept")
        << false << qint64(0) << "" << QStringList{"", CopyWords::Kept} << false;
    QTest::newRow("source one ms later replaces")
        << false << qint64(-1) << "" << QStringList{"", CopyWords::Replaced} << true;
    QTest::newRow("target one ms later kept")
        << false << qint64(1) << "" << QStringList{"", CopyWords::Kept} << false;
    QTest::newRow("excluded after its first word")
        << true << NoTarget << "excluded"
        << QStringList{"grid:" + created, "", created, CopyWords::Ignored} << false;
    QTest::newRow("target folder cannot be made")
        << true << NoTarget << "folder is a file" << QStringList{"", created, CopyWords::Failed}
        << false;
    QTest::newRow("source deleted after the walk")
        << true << NoTarget << "source gone" << QStringList{"grid:" + created, ""} << false;
    QTest::newRow("named pipe does not hang")
        << true << NoTarget << "source is a pipe"
        << QStringList{"grid:" + created, "", created, CopyWords::Failed} << false;
}

void TestCopyEngine::words()
{
    QFETCH(bool, force);
    QFETCH(qint64, targetTime);
    QFETCH(QString, twist);
    QFETCH(QStringList, history);
    QFETCH(bool, copied);

    const QString source = m_source + "sub/f.txt";
    const QString target = m_target + "sub/f.txt";
    MakeFile(source, "new content");
    if (targetTime != NoTarget)
        MakeFile(target, "old", SourceTime + targetTime);
    if (twist == "folder is a file")
        MakeFile(m_target + "sub", "a file where the folder goes");
    if (twist == "source gone" || twist == "source is a pipe")
        QVERIFY(QFile::remove(source));
    if (twist == "source is a pipe")
        QVERIFY(::mkfifo(QFile::encodeName(source).constData(), 0644) == 0);

    RecordingSink sink(1);
    if (twist == "excluded")
        sink.excluded << source;
    const CopySummary summary = RunCopy({source}, m_source, m_target, force, sink);

    QCOMPARE(sink.history.first(), history);
    QCOMPARE(summary.failed, history.last() == CopyWords::Failed ? 1 : 0);
    QCOMPARE(sink.messages, twist == "folder is a file"
                                ? QStringList{"Echec: Création de dossier\r" + m_target + "sub/"}
                                : QStringList());
    if (copied) {
        QCOMPARE(Content(target), QByteArray("new content"));
        QCOMPARE(FileLastWriteTime(target), FileLastWriteTime(source));
    } else if (twist != "folder is a file") {
        QCOMPARE(Content(target), targetTime == NoTarget ? QByteArray("<none>") : "old");
    }
}

void TestCopyEngine::timeAndPermissionsKept_data()
{
    QTest::addColumn<bool>("oldTarget");
    QTest::addColumn<int>("mode");
    QTest::newRow("over an old target") << true << 0751;
    QTest::newRow("new target") << false << 0640;
    QTest::newRow("new target, bits the usual creation mask removes") << false << 0777;
}

void TestCopyEngine::timeAndPermissionsKept()
{
    QFETCH(bool, oldTarget);
    QFETCH(int, mode);

    const QString source = m_source + "tool.sh";
    const QString target = m_target + "tool.sh";
    MakeFile(source, QByteArray(200000, 'x'));
    QVERIFY(::chmod(QFile::encodeName(source).constData(), mode_t(mode)) == 0);
    if (oldTarget)
        MakeFile(target, "old", SourceTime + 3600000);

    CopyFileReplacing(source, target);

    struct stat st;
    QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(mode));
    QCOMPARE(st.st_mtim.tv_sec * 1000 + st.st_mtim.tv_nsec / 1000000, SourceTime);
    QCOMPARE(Content(target), QByteArray(200000, 'x'));
    QCOMPARE(FileLastWriteTime(m_target + "missing"), 0);
}

void TestCopyEngine::interruptedCopyKeepsOldTarget_data()
{
    QTest::addColumn<bool>("fileSizeLimit");
    QTest::addColumn<bool>("oldTarget");
    QTest::newRow("write fails midway over an old target") << true << true;
    QTest::newRow("write fails midway, new target") << true << false;
    QTest::newRow("target folder read-only") << false << true;
}

// A copy that fails leaves the old target whole, or no target at all, and no temporary file.
void TestCopyEngine::interruptedCopyKeepsOldTarget()
{
    QFETCH(bool, fileSizeLimit);
    QFETCH(bool, oldTarget);

    const QString source = m_source + "big.bin";
    const QString target = m_target + "big.bin";
    MakeFile(source, QByteArray(1 << 20, 'n'));
    if (oldTarget)
        MakeFile(target, "old content", SourceTime - 1000);

    if (!fileSizeLimit && ::geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (fileSizeLimit) {
        rlimit limited = saved;
        limited.rlim_cur = 64 * 1024;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    } else {
        QVERIFY(::chmod(QFile::encodeName(m_target).constData(), 0555) == 0);
    }
    bool threw = false;
    try {
        CopyFileReplacing(source, target);
    } catch (const TarselError &e) {
        threw = !e.message().isEmpty();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);
    ::chmod(QFile::encodeName(m_target).constData(), 0755);

    QVERIFY(threw);
    QCOMPARE(Content(target), oldTarget ? QByteArray("old content") : QByteArray("<none>"));
    QCOMPARE(QDir(m_target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             oldTarget ? QStringList{"big.bin"} : QStringList());
}

void TestCopyEngine::sameFileThroughLinkedFolderRefused()
{
    const QString linked = m_dir->path() + "/linked/";
    QVERIFY(QFile::link(m_dir->path() + "/src", m_dir->path() + "/linked"));
    const QString source = m_source + "f.txt";
    MakeFile(source, "precious");

    QVERIFY(SameFolder(m_source, linked));
    QVERIFY(!SameFolder(m_source, m_target));
    QVERIFY_THROWS_EXCEPTION(TarselError, CopyFileReplacing(source, linked + "f.txt"));

    RecordingSink sink(1);
    const CopySummary summary = RunCopy({source}, m_source, linked, true, sink);
    QCOMPARE(sink.history.first(), (QStringList{"", CopyWords::Replaced, CopyWords::Failed}));
    QCOMPARE(summary.failed, 1);
    QCOMPARE(Content(source), QByteArray("precious"));
    QCOMPARE(QDir(m_source).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"f.txt"});
}

// The first pass makes no folder for a hidden file; the second pass still copies it where the
// folder exists, and reports the failure where it does not.
void TestCopyEngine::hiddenFileCreatesNoFolder()
{
    const QStringList paths{m_source + "alone/.hidden", m_source + "mixed/.hidden",
                            m_source + "mixed/plain.txt"};
    for (const QString &path : paths)
        MakeFile(path, "x");

    RecordingSink sink(3);
    const CopySummary summary = RunCopy(paths, m_source, m_target, true, sink);

    const QString created = CopyWords::Created;
    QCOMPARE(sink.history[0], (QStringList{"", created, CopyWords::Failed}));
    QCOMPARE(sink.history[1], (QStringList{"", created}));
    QCOMPARE(sink.history[2], (QStringList{"grid:" + created, "", created}));
    QCOMPARE(summary.failed, 1);
    QVERIFY(!QFileInfo::exists(m_target + "alone"));
    QCOMPARE(Content(m_target + "mixed/.hidden"), QByteArray("x"));
}

void TestCopyEngine::sinkErrorReachesCaller()
{
    MakeFile(m_source + "sub/f.txt", "x");
    RecordingSink sink(1, 0);
    QVERIFY_THROWS_EXCEPTION(TarselError,
                             RunCopy({m_source + "sub/f.txt"}, m_source, m_target, true, sink));
    QVERIFY(QFileInfo(m_target + "sub").isDir());
    QVERIFY(!QFileInfo::exists(m_target + "sub/f.txt"));
}

QTEST_GUILESS_MAIN(TestCopyEngine)
#include "tst_copyengine.moc"
