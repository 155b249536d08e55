#include "core/filemask.h"

#include <QTest>

class TestFileMask : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
};

void TestFileMask::matches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    QTest::newRow("*.* takes a name without a dot") << "*.*"
                                                    << "Makefile" << true;
    QTest::newRow("*.* takes a dotted name") << "*.*"
                                             << "a.b.c" << true;
    QTest::newRow("*.* takes .") << "*.*"
                                 << "." << true;
    QTest::newRow("*.* takes ..") << "*.*"
                                  << ".." << true;
    QTest::newRow("* takes a hidden name") << "*"
                                           << ".profile" << true;
    QTest::newRow("empty pattern takes nothing") << ""
                                                 << "a" << false;
    QTest::newRow("extension") << "*.txt"
                               << "notes.txt" << true;
    QTest::newRow("extension, other case") << "*.txt"
                                           << "NOTES.TxT" << true;
    QTest::newRow("pattern in capitals") << "*.TXT"
                                         << "notes.txt" << true;
    QTest::newRow("extension must end the name") << "*.txt"
                                                 << "notes.txt.bak" << false;
    QTest::newRow("* may match nothing") << "*.txt"
                                         << ".txt" << true;
    QTest::newRow("dot is required") << "*.txt"
                                     << "txt" << false;
    QTest::newRow("? one character") << "?.log"
                                     << "a.log" << true;
    QTest::newRow("? not two") << "?.log"
                               << "ab.log" << false;
    QTest::newRow("? not none") << "?.log"
                                << ".log" << false;
    QTest::newRow("? one accented character") << "?.log"
                                              << "é.log" << true;
    QTest::newRow("? one character outside the BMP") << "?.log"
                                                     << "\U0001F600.log" << true;
    QTest::newRow("stars in the middle") << "a*b*c"
                                         << "axxbyyc" << true;
    QTest::newRow("stars need their order") << "a*b*c"
                                            << "acb" << false;
    QTest::newRow("star backtracks") << "*ab"
                                     << "aab" << true;
    QTest::newRow("star backtracks twice") << "*a*ab"
                                           << "xaaxab" << true;
    QTest::newRow("plain text is whole") << "report"
                                         << "report2" << false;
    QTest::newRow("brackets are plain") << "[a].txt"
                                        << "[a].txt" << true;
    QTest::newRow("brackets do not form a set") << "[a].txt"
                                                << "a.txt" << false;
    QTest::newRow("accented letters fold") << "ÉTÉ*"
                                           << "été.doc" << true;
    QTest::newRow("accent is not dropped") << "ete*"
                                           << "été.doc" << false;
    QTest::newRow("ASCII pattern, accented name") << "*.txt"
                                                  << "Café.TXT" << true;
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
