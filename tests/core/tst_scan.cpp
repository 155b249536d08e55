#include "core/criterion.h"
#include "core/scan.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace
{

const QDate Day(2022, 3, 15);

// Sets the last-write time so that the program reads it as the given local milliseconds.
void SetLocalTime(const QString &path, qint64 localMsecs)
{
    const qint64 utc = localMsecs - UtcToLocalMsecs(0);
    const qint64 seconds = utc >= 0 ? utc / 1000 : (utc - 999) / 1000;
    const timespec time{time_t(seconds), long(utc - seconds * 1000) * 1000000};
    const timespec times[2] = {time, time};
    QVERIFY2(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0,
             qPrintable(path));
}

void MakeFile(const QString &path, const QByteArray &content, qint64 localMsecs)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
    file.close();
    SetLocalTime(path, localMsecs);
}

class RecordingSink : public ScanSink
{
public:
    void folderEntered(const QString &folder) override { events << "enter " + folder; }
    void fileSelected(const QString &fullPath, qint64 fileLocalMsecs, qint64 size,
                      int selectedCount, int listingPosition) override
    {
        events << QStringLiteral("file %1 %2 %3 %4/%5")
                      .arg(fullPath)
                      .arg(fileLocalMsecs)
                      .arg(size)
                      .arg(selectedCount)
                      .arg(listingPosition);
    }
    void folderFound(const QString &relativeFolder) override
    {
        events << "found " + relativeFolder;
    }
    bool folderFilesDone() override
    {
        events << QStringLiteral("done");
        return ++foldersDone != stopAtFolder;
    }

    QStringList events;
    int foldersDone = 0;
    int stopAtFolder = -1;
};

ScanContext Context(const QString &mask, const QString &sourceText, int mode = 0)
{
    return ScanContext{mask, sourceText, [mode] { return mode; }, [] { return Day; }};
}

struct Stamp {
    qint64 localMsecs;
    qint64 size;
};

// What a walk must report, folder by folder. The order and the listing positions come from the
// system's own listing, which the walk must follow.
struct ExpectedWalk {
    QString root;
    QString sourceText;
    QRegularExpression counted;          // names the mask lets through
    QMap<QString, QStringList> selected; // relative folder -> selected names
    QMap<QString, QStringList> entered;  // relative folder -> subfolders walked
    QMap<QString, Stamp> stamps;         // relative path -> reported time and size
    int selectedSoFar = 0;

    QStringList events(const QString &relative)
    {
        const QString folder = root + relative;
        QStringList result{"enter " + folder};
        QStringList subfolders;
        int position = 0;
        bool found = false;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            const QString name = it.fileName();
            if (counted.match(name).hasMatch())
                ++position;
            if (selected.value(relative).contains(name)) {
                if (!found)
                    result << "found " + QString(folder).remove(sourceText);
                found = true;
                const Stamp stamp = stamps.value(relative + name);
                result << QStringLiteral("file %1 %2 %3 %4/%5")
                              .arg(folder + name)
                              .arg(stamp.localMsecs)
                              .arg(stamp.size)
                              .arg(++selectedSoFar)
                              .arg(position);
            }
            if (entered.value(relative).contains(name))
                subfolders << name;
        }
        result << QStringLiteral("done");
        for (const QString &name : subfolders)
            result += events(relative + name + '/');
        return result;
    }
};

} // namespace

class TestScan : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void walkOrder_data();
    void walkOrder();
    void dayEdges_data();
    void dayEdges();
    void emptyMaskVisitsEveryFolder();
    void cancelAfterFirstFolder();
    void unlistableFolderIsSkipped();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    QMap<QString, Stamp> m_stamps;
};

// src/
//   a.txt  b.log (00:00:00.000)  .hidden.txt  early.txt (day before)  alias.txt -> a.txt
//   match.txt/ (a folder dated on the day) m.txt
//   sub/ c.txt  old.txt (five days before)  deep/ d.txt
//   empty/  .hiddendir/ h.txt  linkdir -> sub
void TestScan::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path() + "/src/";
    m_stamps.clear();
    const qint64 midnight = LocalMsecs(Day, QTime(0, 0));
    const auto file = [this](const QString &relative, const QByteArray &content, qint64 local) {
        MakeFile(m_root + relative, content, local);
        m_stamps.insert(relative, Stamp{local, content.size()});
    };
    for (const char *folder : {"", "match.txt", "sub/deep", "empty", ".hiddendir"})
        QVERIFY(QDir().mkpath(m_root + folder));
    file("a.txt", "alpha", midnight + 10 * 3600 * 1000 + 123);
    file("b.log", "", midnight);
    file(".hidden.txt", "hidden", midnight + 12 * 3600 * 1000);
    file("early.txt", "early", midnight - 1);
    file("match.txt/m.txt", "m", midnight + 60 * 1000);
    file("sub/c.txt", "charlie", midnight + 3600 * 1000);
    file("sub/old.txt", "old", midnight - 5 * 86400000LL);
    file("sub/deep/d.txt", "delta!", midnight + 86400000LL - 1);
    file(".hiddendir/h.txt", "h", midnight);
    QVERIFY(QFile::link(m_root + "a.txt", m_root + "alias.txt"));
    m_stamps.insert("alias.txt", m_stamps.value("a.txt"));
    QVERIFY(QFile::link(m_root + "sub", m_root + "linkdir"));
    SetLocalTime(m_root + "match.txt", midnight);
}

void TestScan::walkOrder_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("counted");
    QTest::addColumn<QStringList>("rootFiles");

    const auto row = [](const char *tag, const QString &mask, const QString &counted,
                        const QStringList &rootFiles) {
        QTest::newRow(tag) << mask << counted << rootFiles;
    };
    row("every name, dot entries counted", "*.*", ".*",
        {"a.txt", "b.log", ".hidden.txt", "alias.txt"});
    row("extension in capitals", "*.TXT", "(?i)\\.txt$", {"a.txt", ".hidden.txt", "alias.txt"});
}

// Files in listing order before the subfolders, depth first; hidden files selected, hidden
// folders and links to folders not entered, a folder named like a matching file not selected,
// a link to a file selected with its target's time and size, found folders relative to the
// source.
void TestScan::walkOrder()
{
    QFETCH(QString, mask);
    QFETCH(QString, counted);
    QFETCH(QStringList, rootFiles);

    ExpectedWalk expected{m_root, m_root, QRegularExpression(counted), {}, {}, m_stamps};
    expected.selected = {
        {"", rootFiles}, {"match.txt/", {"m.txt"}}, {"sub/", {"c.txt"}}, {"sub/deep/", {"d.txt"}}};
    expected.entered = {{"", {"match.txt", "sub", "empty"}}, {"sub/", {"deep"}}};

    RecordingSink sink;
    QVERIFY(ScanFolder(m_root, Context(mask, m_root), sink));
    QCOMPARE(sink.events, expected.events(""));
    QVERIFY(sink.events.contains("found match.txt/"));
    QVERIFY(sink.events.contains("found sub/deep/"));
}

void TestScan::dayEdges_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("selected");

    QTest::newRow("before the day") << -1 << QStringList{"early.txt"};
    QTest::newRow("on the day") << 0 << QStringList{"first.txt", "last.txt"};
    QTest::newRow("after the day") << 1 << QStringList{"next.txt"};
}

void TestScan::dayEdges()
{
    QFETCH(int, mode);
    QFETCH(QStringList, selected);

    const QString folder = m_dir->path() + "/edges/";
    QVERIFY(QDir().mkpath(folder));
    const qint64 midnight = LocalMsecs(Day, QTime(0, 0));
    MakeFile(folder + "early.txt", "", midnight - 1);
    MakeFile(folder + "first.txt", "", midnight);
    MakeFile(folder + "last.txt", "", midnight + 86400000LL - 1);
    MakeFile(folder + "next.txt", "", midnight + 86400000LL);

    RecordingSink sink;
    QVERIFY(ScanFolder(folder, Context("*.*", folder, mode), sink));
    QStringList names;
    for (const QString &event : std::as_const(sink.events)) {
        if (event.startsWith("file "))
            names << event.section(' ', 1, 1).section('/', -1);
    }
    names.sort();
    QCOMPARE(names, selected);
}

void TestScan::emptyMaskVisitsEveryFolder()
{
    RecordingSink sink;
    QVERIFY(ScanFolder(m_root, Context("", m_root), sink));
    QStringList entered;
    for (const QString &event : std::as_const(sink.events)) {
        QVERIFY2(event.startsWith("enter ") || event == "done", qPrintable(event));
        if (event.startsWith("enter "))
            entered << event.mid(6).remove(m_root);
    }
    entered.sort();
    QCOMPARE(entered, (QStringList{"", "empty/", "match.txt/", "sub/", "sub/deep/"}));
    QCOMPARE(sink.foldersDone, 5);
}

void TestScan::cancelAfterFirstFolder()
{
    RecordingSink sink;
    sink.stopAtFolder = 1;
    QVERIFY(!ScanFolder(m_root, Context("*.*", m_root), sink));
    QCOMPARE(sink.events.first(), "enter " + m_root);
    QCOMPARE(sink.events.last(), QStringLiteral("done"));
    QCOMPARE(sink.events.filter(QRegularExpression("^enter ")).size(), 1);
    QCOMPARE(sink.events.filter(QRegularExpression("^file ")).size(), 4);
}

void TestScan::unlistableFolderIsSkipped()
{
    RecordingSink sink;
    const QString missing = m_dir->path() + "/missing/";
    QVERIFY(ScanFolder(missing, Context("*.*", missing), sink));
    QCOMPARE(sink.events, (QStringList{"enter " + missing, "done"}));
}

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
