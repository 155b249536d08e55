#include "core/error.h"
#include "gui/selectiongrid.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class tst_SelectionGrid : public QObject
{
    Q_OBJECT

private slots:
    void rowsReachViewsInOneInsertion();
    void rowsWaitForTheFlush();
    void pathWithEqualsShowsWhole_data();
    void pathWithEqualsShowsWhole();
    void setValue_data();
    void setValue();
    void clearDropsRowsAndPendingRows();
    void findFirstContaining_data();
    void findFirstContaining();
    void rowsShareTheirTexts();
};

// Every test model runs under the model tester, which fails on any inconsistent signal.
struct CheckedModel {
    SelectionGridModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

static QString RowPath(int row)
{
    return QStringLiteral("/data/src/folder%1/file%2.txt").arg(row / 10).arg(row);
}

void tst_SelectionGrid::rowsReachViewsInOneInsertion()
{
    CheckedModel m;
    QSignalSpy inserted(&m.model, &QAbstractItemModel::rowsInserted);

    for (int row = 0; row < 1000; ++row)
        m.model.appendRow(RowPath(row), QStringLiteral("01/02/23 10:15:7"));
    QCOMPARE(m.model.rowCount(), 0);
    QCOMPARE(m.model.path(999), RowPath(999));

    m.model.flush();
    QCOMPARE(m.model.rowCount(), 1000);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 0);
    QCOMPARE(inserted[0][2].toInt(), 999);

    m.model.flush();
    QCOMPARE(inserted.size(), 1);

    m.model.appendRow(RowPath(1000), QStringLiteral("01/02/23 10:15:8"));
    m.model.appendRow(RowPath(1001), QStringLiteral("01/02/23 10:15:9"));
    m.model.flush();
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted[1][1].toInt(), 1000);
    QCOMPARE(inserted[1][2].toInt(), 1001);
    QCOMPARE(m.model.data(m.model.index(1001, 0), Qt::DisplayRole).toString(), RowPath(1001));
}

void tst_SelectionGrid::rowsWaitForTheFlush()
{
    // The event loop runs after every folder of a walk; painting is the walk's own choice.
    CheckedModel m;
    QSignalSpy inserted(&m.model, &QAbstractItemModel::rowsInserted);
    for (int row = 0; row < 50; ++row)
        m.model.appendRow(RowPath(row), QString());
    QCoreApplication::processEvents();
    QCOMPARE(m.model.rowCount(), 0);

    m.model.flush();
    QCOMPARE(m.model.rowCount(), 50);
    QCOMPARE(inserted.size(), 1);
}

void tst_SelectionGrid::pathWithEqualsShowsWhole_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "/data/src/a.txt"
                           << "01/02/23 10:15:7";
    QTest::newRow("equals in a name") << "/data/src/x=1.txt"
                                      << "01/02/23 10:15:7";
    QTest::newRow("equals in folders") << "/data/a=b/c=/=d.txt"
                                       << "Créé";
    QTest::newRow("empty value") << "/data/src/=" << QString();
}

void tst_SelectionGrid::pathWithEqualsShowsWhole()
{
    QFETCH(QString, path);
    QFETCH(QString, value);
    CheckedModel m;
    m.model.appendRow(QStringLiteral("/data/src/first.txt"), QStringLiteral("Conservé"));
    m.model.appendRow(path, value);
    m.model.flush();

    QCOMPARE(m.model.columnCount(), 2);
    QCOMPARE(m.model.data(m.model.index(1, 0), Qt::DisplayRole).toString(), path);
    QCOMPARE(m.model.data(m.model.index(1, 1), Qt::DisplayRole).toString(), value);
    QCOMPARE(m.model.path(1), path);
    QCOMPARE(m.model.value(1), value);
    QCOMPARE(m.model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Fichier");
    QCOMPARE(m.model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Date");
}

void tst_SelectionGrid::setValue_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("flushed");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("error");
    QTest::newRow("first row") << 3 << true << 0 << QString();
    QTest::newRow("last row") << 3 << true << 2 << QString();
    QTest::newRow("row not yet shown") << 3 << false << 1 << QString();
    QTest::newRow("one past the end") << 3 << true << 3 << "Index de liste hors limites (3)";
    QTest::newRow("negative") << 3 << true << -1 << "Index de liste hors limites (-1)";
    QTest::newRow("empty grid") << 0 << true << 0 << "Index de liste hors limites (0)";
}

void tst_SelectionGrid::setValue()
{
    QFETCH(int, rows);
    QFETCH(bool, flushed);
    QFETCH(int, row);
    QFETCH(QString, error);
    CheckedModel m;
    for (int i = 0; i < rows; ++i)
        m.model.appendRow(RowPath(i), QStringLiteral("01/02/23 10:15:7"));
    if (flushed)
        m.model.flush();
    QSignalSpy changed(&m.model, &QAbstractItemModel::dataChanged);

    try {
        m.model.setValue(row, QStringLiteral("Remplacé"));
        QVERIFY2(error.isEmpty(), "no error raised");
    } catch (const TarselError &e) {
        QCOMPARE(e.message(), error);
        QCOMPARE(changed.size(), 0);
        return;
    }
    QCOMPARE(m.model.value(row), QStringLiteral("Remplacé"));
    QCOMPARE(m.model.path(row), RowPath(row));
    if (flushed) {
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), m.model.index(row, 1));
        QCOMPARE(changed[0][1].toModelIndex(), m.model.index(row, 1));
        QCOMPARE(m.model.data(m.model.index(row, 1), Qt::DisplayRole).toString(), "Remplacé");
    } else {
        QCOMPARE(changed.size(), 0);
        m.model.flush();
        QCOMPARE(m.model.data(m.model.index(row, 1), Qt::DisplayRole).toString(), "Remplacé");
    }
}

void tst_SelectionGrid::clearDropsRowsAndPendingRows()
{
    CheckedModel m;
    m.model.appendRow(RowPath(0), QStringLiteral("Créé"));
    m.model.flush();
    m.model.appendRow(RowPath(1), QStringLiteral("Créé"));

    m.model.clear();
    QCOMPARE(m.model.rowCount(), 0);
    QCOMPARE(m.model.path(0), QString());
    QVERIFY_THROWS_EXCEPTION(TarselError, m.model.setValue(0, QStringLiteral("Créé")));
    QCoreApplication::processEvents();
    QCOMPARE(m.model.rowCount(), 0);

    m.model.appendRow(RowPath(2), QStringLiteral("Ignoré"));
    m.model.flush();
    QCOMPARE(m.model.rowCount(), 1);
    QCOMPARE(m.model.path(0), RowPath(2));
}

void tst_SelectionGrid::findFirstContaining_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::newRow("empty text matches nothing") << QString() << -1;
    QTest::newRow("absent") << "/nowhere/" << -1;
    QTest::newRow("first of several") << "sub/" << 0;
    QTest::newRow("later folder") << "src/sub/" << 2;
    QTest::newRow("case counts") << "SUB/" << 3;
    QTest::newRow("file name") << "b.txt" << 1;
}

void tst_SelectionGrid::findFirstContaining()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    CheckedModel m;
    // A folder name can also occur deeper in the tree: the first row that contains it wins.
    const QStringList paths = {"/data/src/deep/sub/a.txt", "/data/src/deep/sub/b.txt",
                               "/data/src/sub/c.txt", "/data/src/SUB/d.txt"};
    for (const QString &path : paths)
        m.model.appendRow(path, QStringLiteral("Créé"));
    m.model.flush();

    QCOMPARE(m.model.findFirstContaining(text), row);
}

void tst_SelectionGrid::rowsShareTheirTexts()
{
    SelectionGridModel model;
    const QString path = RowPath(7);
    const QString value = QStringLiteral("01/02/23 10:15:7");
    model.appendRow(path, value);
    model.flush();

    QCOMPARE(model.path(0).constData(), path.constData());
    QCOMPARE(model.value(0).constData(), value.constData());
    QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString().constData(),
             path.constData());
}

QTEST_GUILESS_MAIN(tst_SelectionGrid)
#include "tst_selectiongrid.moc"
