#include "core/error.h"
#include "core/listfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ListEncoding)

namespace
{

// The bytes of a literal, embedded zero bytes included.
template <qsizetype N> QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

} // namespace

class TestListFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void lineBreaksRead_data();
    void lineBreaksRead();
    void rewrittenInEncodingRead_data();
    void rewrittenInEncodingRead();
    void missingFileIsEmpty();
    void unreadableFileThrows();
    void failedWriteThrows();
    void logFile();

private:
    QString fixture(const QByteArray &content);
    static QByteArray contentOf(const QString &path);

    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestListFile::fixture(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("l%1.txt").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

QByteArray TestListFile::contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestListFile::roundTrip_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<ListEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    const QStringList lines{QStringLiteral("/home/\u00c9t\u00e9"), QString()};
    QTest::newRow("system") << lines << ListEncoding::System
                            << QByteArray("/home/\xC3\x89t\xC3\xA9\r\n\r\n");
    QTest::newRow("UTF-8 with mark") << lines << ListEncoding::Utf8Bom
                                     << QByteArray("\xEF\xBB\xBF/home/\xC3\x89t\xC3\xA9\r\n\r\n");
    QTest::newRow("UTF-16 LE with mark")
        << lines << ListEncoding::Utf16LE
        << Bytes("\xFF\xFE/\0h\0o\0m\0e\0/\0\xC9\0t\0\xE9\0\r\0\n\0\r\0\n\0");
    QTest::newRow("UTF-16 BE with mark")
        << lines << ListEncoding::Utf16BE
        << Bytes("\xFE\xFF\0/\0h\0o\0m\0e\0/\0\xC9\0t\0\xE9\0\r\0\n\0\r\0\n");
    QTest::newRow("empty list") << QStringList() << ListEncoding::System << QByteArray();
    QTest::newRow("empty list keeps its mark")
        << QStringList() << ListEncoding::Utf16LE << QByteArray("\xFF\xFE");
}

void TestListFile::roundTrip()
{
    QFETCH(QStringList, lines);
    QFETCH(ListEncoding, encoding);
    QFETCH(QByteArray, bytes);

    const QString path = m_dir.filePath(QStringLiteral("round.txt"));
    WriteListFile(path, lines, encoding);
    QCOMPARE(contentOf(path), bytes);

    const ListFile read = ReadListFile(path);
    QCOMPARE(read.lines, lines);
    QCOMPARE(int(read.encoding), int(encoding));
}

void TestListFile::lineBreaksRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF, no final break") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("empty line kept") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestListFile::lineBreaksRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);

    const ListFile read = ReadListFile(fixture(content));
    QCOMPARE(read.lines, lines);
    QCOMPARE(int(read.encoding), int(ListEncoding::System));
}

void TestListFile::rewrittenInEncodingRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("rewritten");

    QTest::newRow("no mark") << QByteArray("*.tmp\n*.bak")
                             << QByteArray("*.tmp\r\n*.bak\r\n*.old\r\n");
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF*.tmp\n")
                                << QByteArray("\xEF\xBB\xBF*.tmp\r\n*.old\r\n");
    QTest::newRow("UTF-16 LE mark")
        << Bytes("\xFF\xFE*\0.\0t\0m\0p\0\n\0")
        << Bytes("\xFF\xFE*\0.\0t\0m\0p\0\r\0\n\0*\0.\0o\0l\0d\0\r\0\n\0");
}

void TestListFile::rewrittenInEncodingRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, rewritten);

    const QString path = fixture(content);
    ListFile list = ReadListFile(path);
    list.lines.append(QStringLiteral("*.old"));
    WriteListFile(path, list.lines, list.encoding);
    QCOMPARE(contentOf(path), rewritten);
}

void TestListFile::missingFileIsEmpty()
{
    const ListFile read = ReadListFile(m_dir.filePath(QStringLiteral("absent.txt")));
    QVERIFY(read.lines.isEmpty());
    QCOMPARE(int(read.encoding), int(ListEncoding::System));
}

void TestListFile::unreadableFileThrows()
{
    try {
        ReadListFile(m_dir.path());
        QFAIL("a folder was read as a list");
    } catch (const TarselError &e) {
        QVERIFY2(e.message().startsWith(
                     QStringLiteral("Impossible d'ouvrir le fichier \"%1\". ").arg(m_dir.path())),
                 qPrintable(e.message()));
    }
}

void TestListFile::failedWriteThrows()
{
    const QString path = m_dir.filePath(QStringLiteral("absent/list.txt"));
    try {
        WriteListFile(path, {QStringLiteral("a")}, ListEncoding::System);
        QFAIL("the write was reported as done");
    } catch (const TarselError &e) {
        const QString prefix = QStringLiteral("Impossible de créer le fichier \"%1\". ").arg(path);
        QVERIFY2(e.message().startsWith(prefix) && e.message().size() > prefix.size(),
                 qPrintable(e.message()));
    }
}

void TestListFile::logFile()
{
    // Enough lines to cross the write buffer more than once.
    QStringList lines;
    QByteArray expected;
    for (int i = 0; i < 3000; ++i) {
        lines << QStringLiteral("/sauvegarde/été/fichier=%1.txt").arg(i);
        expected += lines.last().toUtf8() + "\r\n";
    }
    const QString path = m_dir.filePath(QStringLiteral("LISTE_FICHIERS.LOG"));
    WriteLogFile(path, lines);
    QFile log(path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), expected);
    log.close();

    WriteLogFile(path, {});
    QCOMPARE(QFileInfo(path).size(), 0);

    const QString refused = m_dir.filePath(QStringLiteral("absent/LISTE_FICHIERS.LOG"));
    try {
        WriteLogFile(refused, lines);
        QFAIL("the log was reported as written");
    } catch (const TarselError &e) {
        QVERIFY(e.message().startsWith(
            QStringLiteral("Impossible de créer le fichier \"%1\". ").arg(refused)));
    }
}

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
