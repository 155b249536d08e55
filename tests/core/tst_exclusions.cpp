#include "core/exclusions.h"

#include <QTest>

class TestExclusions : public QObject
{
    Q_OBJECT

private slots:
    void isExcluded_data();
    void isExcluded();
};

void TestExclusions::isExcluded_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<bool>("excluded");

    const QStringList delphi{"*.ini", "*.dcu", "*.cfg", "*.dof", "*.dsk", "*.ddp", "*.zip"};
    QTest::newRow("extension in capitals") << "/home/u/src/setup.INI" << delphi << true;
    QTest::newRow("extension inside the name") << "/home/u/src/old.ini.bak" << delphi << true;
    QTest::newRow("extension in a folder name") << "/home/u/src/conf.ini.d/a.txt" << delphi << true;
    QTest::newRow("no pattern found") << "/home/u/src/mini/a.txt" << delphi << false;

    QTest::newRow("ASCII capitals lowered") << "/home/u/CAFÉ/a.txt" << QStringList{"CAFÉ"} << true;
    QTest::newRow("accented capital not lowered")
        << "/home/u/CAFÉ/a.txt" << QStringList{"café"} << false;

    QTest::newRow("star alone") << "/home/u/src/a.txt" << QStringList{"*"} << false;
    QTest::newRow("star dot star") << "/home/u/src/a.b/c.txt" << QStringList{"*.*"} << false;
    QTest::newRow("star dot star, literal .* in the path")
        << "/home/u/src/x.*y" << QStringList{"*.*"} << false;
    QTest::newRow("star without dot") << "/home/u/src/mini.ini" << QStringList{"*ini"} << false;
    QTest::newRow("two extensions act as the last")
        << "/home/u/src/backup.gz" << QStringList{"*.tar.gz"} << true;
    QTest::newRow("two extensions, first alone")
        << "/home/u/src/backup.tar" << QStringList{"*.tar.gz"} << false;
    QTest::newRow("delimiter after the dot") << "/home/u/conf.d/x" << QStringList{"*.d/x"} << false;

    QTest::newRow("empty list") << "/home/u/src/a.ini" << QStringList{} << false;
    QTest::newRow("empty lines only") << "/home/u/src/a.ini" << QStringList{"", ""} << false;
    QTest::newRow("empty line before a match")
        << "/home/u/src/a.ini" << QStringList{"", "*.zip", "*.ini"} << true;

    QTest::newRow("pattern in the source folder's path")
        << "/home/u/Projets/src/a.txt" << QStringList{"PROJETS"} << true;
    QTest::newRow("question mark is literal, no match")
        << "/home/u/src/abc.txt" << QStringList{"a?c"} << false;
    QTest::newRow("question mark is literal, match")
        << "/home/u/src/a?c.txt" << QStringList{"a?c"} << true;
    QTest::newRow("inner star is literal") << "/home/u/src/abc.txt" << QStringList{"a*c"} << false;
}

void TestExclusions::isExcluded()
{
    QFETCH(QString, path);
    QFETCH(QStringList, patterns);
    QFETCH(bool, excluded);

    QCOMPARE(IsExcluded(path, patterns), excluded);
}

QTEST_GUILESS_MAIN(TestExclusions)
#include "tst_exclusions.moc"
