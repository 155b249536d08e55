#include "gui/console.h"
#include "gui/style.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

class tst_Console : public QObject
{
    Q_OBJECT

private slots:
    void linesAsTheWidgetDisplaysThem_data();
    void linesAsTheWidgetDisplaysThem();
    void hiddenConsoleAnswersAtItsPlaceWidth_data();
    void hiddenConsoleAnswersAtItsPlaceWidth();
    void neverShownConsoleAnswers();
    void pastTheEndIsEmpty();
    void lineBreaks_data();
    void lineBreaks();
    void auricStyleKeepsConsoleBlack();
};

static const QString CriterionLine =
    QStringLiteral("OK de tous les fichiers \"*.*\" modifiés \"le jeu. 12 janv. 2023\" ()");
static const QString FoldersLine =
    QStringLiteral("De \"/home/user/Documents/projets/\" vers \"/media/sauvegarde/\"");

// The displayed lines as the widget's own document layout wraps them (valid once shown).
static QStringList WidgetLines(Console &console)
{
    QStringList lines;
    QTextDocument *doc = console.document();
    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next()) {
        doc->documentLayout()->blockBoundingRect(block);
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i)
            lines << block.text().mid(layout->lineAt(i).textStart(),
                                      layout->lineAt(i).textLength());
    }
    return lines;
}

static QStringList DisplayedLines(const Console &console)
{
    QStringList lines;
    for (int i = 0; i < console.displayedLineCount(); ++i)
        lines << console.displayedLine(i);
    return lines;
}

void tst_Console::linesAsTheWidgetDisplaysThem_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("scrollBar");
    QTest::addColumn<bool>("criterionWraps");
    QTest::newRow("narrow") << 220 << false << true;
    QTest::newRow("narrow with scroll bar") << 220 << true << true;
    QTest::newRow("very narrow") << 60 << true << true;
    QTest::newRow("wide") << 1800 << true << false;
}

void tst_Console::linesAsTheWidgetDisplaysThem()
{
    QFETCH(int, width);
    QFETCH(bool, scrollBar);
    QFETCH(bool, criterionWraps);
    Console console;
    console.setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    console.resize(width, 120);
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    console.setConsoleText(CriterionLine + QStringLiteral("\r\n") + FoldersLine);

    const QStringList lines = DisplayedLines(console);
    QCOMPARE(lines, WidgetLines(console));
    QCOMPARE(lines.first(), console.displayedLine(0));
    QVERIFY(CriterionLine.startsWith(lines[0]));
    if (criterionWraps) {
        // Line 1 continues the criterion; the folders come later.
        QVERIFY(lines.size() > 2);
        QVERIFY(CriterionLine.startsWith(lines[0] + lines[1]));
        int folders = 0;
        while (folders < lines.size() && !lines[folders].startsWith(QStringLiteral("De ")))
            ++folders;
        QVERIFY(folders > 1 && folders < lines.size());
        QCOMPARE(lines.mid(0, folders).join(QString()), CriterionLine);
        QCOMPARE(lines.mid(folders).join(QString()), FoldersLine);
    } else {
        QCOMPARE(lines, QStringList({CriterionLine, FoldersLine}));
    }
}

void tst_Console::hiddenConsoleAnswersAtItsPlaceWidth_data()
{
    QTest::addColumn<bool>("scrollBar");
    QTest::newRow("without scroll bar") << false;
    QTest::newRow("with scroll bar") << true;
}

// A hidden console is out of its parent's layout; it answers as it will display once shown.
void tst_Console::hiddenConsoleAnswersAtItsPlaceWidth()
{
    QFETCH(bool, scrollBar);
    QWidget holder;
    auto *layout = new QVBoxLayout(&holder);
    layout->setContentsMargins(7, 5, 9, 5);
    auto *console = new Console(&holder);
    console->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    layout->addWidget(console);
    console->hide();
    holder.resize(260, 200);
    holder.show();
    QVERIFY(QTest::qWaitForWindowExposed(&holder));
    console->setConsoleText(CriterionLine + QStringLiteral("\r\n") + FoldersLine);

    const QStringList whileHidden = DisplayedLines(*console);
    QVERIFY(whileHidden.size() > 2);
    console->show();
    QTRY_COMPARE(console->width(), holder.width() - 7 - 9);
    QCOMPARE(DisplayedLines(*console), whileHidden);
    QCOMPARE(DisplayedLines(*console), WidgetLines(*console));

    // Hidden again, the console keeps its stale size while the window grows; it answers at
    // the width it will take.
    console->hide();
    holder.resize(1800, 200);
    QTRY_COMPARE(holder.width(), 1800);
    QCOMPARE(DisplayedLines(*console), QStringList({CriterionLine, FoldersLine}));
}

void tst_Console::neverShownConsoleAnswers()
{
    Console console;
    console.resize(150, 60);
    console.setConsoleText(CriterionLine);

    QVERIFY(console.displayedLineCount() > 1);
    QCOMPARE(DisplayedLines(console).join(QString()), CriterionLine);
    QVERIFY(console.displayedLine(1) != CriterionLine);
}

void tst_Console::pastTheEndIsEmpty()
{
    Console console;
    console.resize(1800, 60);
    QCOMPARE(console.displayedLineCount(), 0);
    QCOMPARE(console.displayedLine(0), QString());

    console.setConsoleText(CriterionLine + QStringLiteral("\r\n") + FoldersLine);
    QCOMPARE(console.displayedLineCount(), 2);
    QCOMPARE(console.displayedLine(1), FoldersLine);
    QCOMPARE(console.displayedLine(2), QString());
    QCOMPARE(console.displayedLine(4), QString());
    QCOMPARE(console.displayedLine(-1), QString());
}

void tst_Console::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("appended");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("archive notices") // the run summary quotes line 4
        << CriterionLine + "\r\n" + FoldersLine
        << QStringList{"3---> La compression peut prendre quelques secondes ... ", "\r\n",
                       "Attendez le message \"Everything is OK\" !"}
        << QStringList{CriterionLine, FoldersLine,
                       "3---> La compression peut prendre quelques secondes ... ", "",
                       "Attendez le message \"Everything is OK\" !"};
    QTest::newRow("first line of an empty console")
        << QString() << QStringList{"7-Zip"} << QStringList{"7-Zip"};
    QTest::newRow("empty lines count") << "a" << QStringList{"", ""} << QStringList{"a", "", ""};
    QTest::newRow("final break opens no line")
        << "a\r\n"
        << QStringList{"b\r\n", "c"} << QStringList{"a", "b", "c"};
    QTest::newRow("breaks inside a line")
        << "a\rb" << QStringList{"c\r\nd\ne"} << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("blank lines inside the text")
        << "a\r\n\r\nb" << QStringList{} << QStringList{"a", "", "b"};
}

void tst_Console::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, appended);
    QFETCH(QStringList, lines);
    Console console;
    console.resize(1800, 60);
    console.setConsoleText(text);
    for (const QString &line : appended)
        console.appendLine(line);

    QCOMPARE(DisplayedLines(console), lines);
}

void tst_Console::auricStyleKeepsConsoleBlack()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    const auto restore = qScopeGuard([app] { app->setStyleSheet(QString()); });
    ApplyAuricStyle(*app);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *console = new Console(&window);
    console->setObjectName(QStringLiteral("Memo1"));
    auto *other = new QPlainTextEdit(&window);
    layout->addWidget(console);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(console->palette().color(QPalette::Base), QColor(Qt::black));
    QVERIFY(console->palette().color(QPalette::Text).lightness() > 200);
    // The sheet did apply: other text fields take the light look.
    QVERIFY(other->palette().color(QPalette::Base).lightness() > 200);
    QVERIFY(other->palette().color(QPalette::Text).lightness() < 80);
}

QTEST_MAIN(tst_Console)
#include "tst_console.moc"
