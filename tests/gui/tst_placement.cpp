#include "core/environment.h"
#include "core/error.h"
#include "core/inifile.h"
#include "gui/placement.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class tst_Placement : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void placementRoundTrip();
    void placementLimits_data();
    void placementLimits();
    void badPlacement_data();
    void badPlacement();

    void optionsRoundTrip();
    void optionValues_data();
    void optionValues();

private:
    void writeSettings(const QByteArray &text);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_settings;
};

void tst_Placement::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = m_dir->filePath(QStringLiteral("tarsel@user-host.INI"));
}

void tst_Placement::writeSettings(const QByteArray &text)
{
    QFile file(m_settings);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void tst_Placement::placementRoundTrip()
{
    QWidget window;
    window.setObjectName(QStringLiteral("Form1"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.move(40, 30);
    window.resize(310, 220);
    const QRect saved = window.frameGeometry();

    // Outer position, size inside the frame.
    SaveFormPlacement(&window, m_settings);
    QCOMPARE(IniReadString(ExeBaseName(false), QStringLiteral("Form1"), QString(), m_settings),
             QStringLiteral("%1:%2:310:220").arg(saved.left()).arg(saved.top()));

    window.move(120, 90);
    window.resize(200, 150);
    LoadFormPlacement(&window, m_settings);
    QCOMPARE(window.frameGeometry(), saved);

    // Loaded before the window is shown, as at start: it opens as it was, it does not grow.
    QWidget restarted;
    restarted.setObjectName(QStringLiteral("Form1"));
    LoadFormPlacement(&restarted, m_settings);
    restarted.show();
    QVERIFY(QTest::qWaitForWindowExposed(&restarted));
    QCOMPARE(restarted.frameGeometry(), saved);
}

void tst_Placement::placementLimits_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QRect>("expected");

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const int presentWidth = 300;
    QTest::newRow("beyond the work area")
        << QByteArray("5000:-20:3000:3000")
        << QRect(area.width() - presentWidth, 0, area.width(), area.height());
    QTest::newRow("negative left and low top are kept")
        << QByteArray("-50:5000:120:90") << QRect(-50, 5000, 120, 90);
    QTest::newRow("left at the work area's width is kept")
        << QByteArray::number(area.width()) + ":10:120:90" << QRect(area.width(), 10, 120, 90);
    QTest::newRow("nothing stored") << QByteArray() << QRect(20, 10, presentWidth, 200);
}

void tst_Placement::placementLimits()
{
    QFETCH(QByteArray, stored);
    QFETCH(QRect, expected);

    if (!stored.isEmpty())
        writeSettings("[" + ExeBaseName(false).toUtf8() + "]\r\nForm_exclu=" + stored + "\r\n");
    QWidget window;
    window.setObjectName(QStringLiteral("Form_exclu"));
    window.setGeometry(20, 10, 300, 200);
    LoadFormPlacement(&window, m_settings);
    QCOMPARE(window.frameGeometry(), expected);
}

void tst_Placement::badPlacement_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("message");

    QTest::newRow("three parts") << QByteArray("10:20:300")
                                 << QStringLiteral("'' n'est pas une valeur entière correcte");
    QTest::newRow("a word") << QByteArray("10:abc:300:200")
                            << QStringLiteral("'abc' n'est pas une valeur entière correcte");
}

void tst_Placement::badPlacement()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);

    writeSettings("[" + ExeBaseName(false).toUtf8() + "]\r\nForm1=" + stored + "\r\n");
    QWidget window;
    window.setObjectName(QStringLiteral("Form1"));
    window.setGeometry(20, 10, 300, 200);
    try {
        LoadFormPlacement(&window, m_settings);
        QFAIL("a bad placement was accepted");
    } catch (const TarselError &e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(window.frameGeometry(), QRect(20, 10, 300, 200));
}

void tst_Placement::optionsRoundTrip()
{
    QWidget window;
    QMenu menu(&window);
    auto addItem = [&](const char *name, bool ticked) {
        auto *item = new QAction(&menu);
        item->setObjectName(QString::fromLatin1(name));
        item->setCheckable(true);
        item->setChecked(ticked);
        menu.addAction(item);
        return item;
    };
    QAction *first = addItem("chk_ZIP", true);
    QAction *second = addItem("chk_AutoRun", false);
    QAction *other = addItem("Effacer1", true);

    SaveCheckOptions(&window, m_settings);
    QFile file(m_settings);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(!text.contains("Effacer1"));
    const qsizetype zip = text.indexOf("chk_ZIP=1");
    QVERIFY(zip >= 0);
    QVERIFY(text.indexOf("chk_AutoRun=0") > zip);

    first->setChecked(false);
    second->setChecked(true);
    other->setChecked(false);
    QSignalSpy triggered(first, &QAction::triggered);
    LoadCheckOptions(&window, m_settings);
    QVERIFY(first->isChecked());
    QVERIFY(!second->isChecked());
    QVERIFY(!other->isChecked());
    QCOMPARE(triggered.count(), 0);
}

void tst_Placement::optionValues_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("designed");
    QTest::addColumn<bool>("expected");

    QTest::newRow("yes keeps ticked") << QByteArray("yes") << true << true;
    QTest::newRow("yes keeps unticked") << QByteArray("yes") << false << false;
    QTest::newRow("2 ticks") << QByteArray("2") << false << true;
    QTest::newRow("0x1 ticks") << QByteArray("0x1") << false << true;
    QTest::newRow("0 unticks") << QByteArray("0") << true << false;
}

void tst_Placement::optionValues()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, designed);
    QFETCH(bool, expected);

    writeSettings("[OPTIONS]\r\nchk_FORCE=" + stored + "\r\n");
    QWidget window;
    auto *item = new QAction(&window);
    item->setObjectName(QStringLiteral("chk_FORCE"));
    item->setCheckable(true);
    item->setChecked(designed);
    LoadCheckOptions(&window, m_settings);
    QCOMPARE(item->isChecked(), expected);
}

QTEST_MAIN(tst_Placement)
#include "tst_placement.moc"
