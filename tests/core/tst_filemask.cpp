#include "core/filemask.h"

#include <QTest>

class TestFileMask : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
};

namespace
{

void AddRow(const char *tag, const QString &pattern, const QString &name, bool expected)
{
    QTest::newRow(tag) << pattern << name << expected;
}

} // namespace

void TestFileMask::matches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    AddRow("*.* takes a name without a dot", "*.*", "Makefile", true);
    AddRow("*.* takes a dotted name", "*.*", "a.b.c", true);
    AddRow("*.* takes .", "*.*", ".", true);
    AddRow("*.* takes ..", "*.*", "..", true);
    AddRow("* takes a hidden name", "*", ".profile", true);
    AddRow("empty pattern takes nothing", "", "a", false);
    AddRow("extension", "*.txt", "notes.txt", true);
    AddRow("extension, other case", "*.txt", "NOTES.TxT", true);
    AddRow("pattern in capitals", "*.TXT", "notes.txt", true);
    AddRow("extension must end the name", "*.txt", "notes.txt.bak", false);
    AddRow("* may match nothing", "*.txt", ".txt", true);
    AddRow("dot is required", "*.txt", "txt", false);
    AddRow("? one character", "?.log", "a.log", true);
    AddRow("? not two", "?.log", "ab.log", false);
    AddRow("? not none", "?.log", ".log", false);
    AddRow("? one accented character", "?.log", "é.log", true);
    AddRow("? one character outside the BMP", "?.log", "\U0001F600.log", true);
    AddRow("stars in the middle", "a*b*c", "axxbyyc", true);
    AddRow("stars need their order", "a*b*c", "acb", false);
    AddRow("star backtracks", "*ab", "aab", true);
    AddRow("star backtracks twice", "*a*ab", "xaaxab", true);
    AddRow("plain text is whole", "report", "report2", false);
    AddRow("brackets are plain", "[a].txt", "[a].txt", true);
    AddRow("brackets do not form a set", "[a].txt", "a.txt", false);
    AddRow("accented letters fold", "ÉTÉ*", "été.doc", true);
    AddRow("accent is not dropped", "ete*", "été.doc", false);
    AddRow("ASCII pattern, accented name", "*.txt", "Café.TXT", true);
}

// The two entries must agree: the walk tests names in the system's spelling.
void TestFileMask::matches()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);

    const FileMask mask(pattern);
    QCOMPARE(mask.matches(name), expected);
#ifdef Q_OS_WIN
    const platform::NativeString native = name.toStdWString();
#else
    const platform::NativeString native = name.toStdString();
#endif
    QCOMPARE(mask.matchesNative(native), expected);
}

QTEST_GUILESS_MAIN(TestFileMask)
#include "tst_filemask.moc"
