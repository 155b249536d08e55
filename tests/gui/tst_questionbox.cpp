#include "core/environment.h"
#include "core/error.h"
#include "core/inifile.h"
#include "gui/questionbox.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace
{

const QString Title = QStringLiteral("Le dossier SOURCE n'existe pas !");
const QString Message = QStringLiteral("/nulle/part\r\n\r\nVeuillez choisir un dossier SOURCE");
const QString Yes = QStringLiteral("Compris!");
const QString No = QStringLiteral("Choisir...");

// Runs the action on the modal dialog as soon as it is shown.
void whenModal(const std::function<void(QWidget *)> &action)
{
    QTimer::singleShot(0, qApp, [action] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            action(dialog);
        else
            whenModal(action);
    });
}

QWidget *focusOr(QWidget *dialog)
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : dialog;
}

QPoint storedPosition(const QString &file)
{
    return QPoint(IniReadInteger(QStringLiteral("POSITION"), QStringLiteral("msgLEFT"), -1, file),
                  IniReadInteger(QStringLiteral("POSITION"), QStringLiteral("msgTOP"), -1, file));
}

enum class Ending { Enter, Escape, CloseBox };

} // namespace

Q_DECLARE_METATYPE(Ending)

class tst_QuestionBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogLooksAsAsked();
    void answers_data();
    void answers();
    void reusePosition_data();
    void reusePosition();
    void seamAnswersFromQueue();

private:
    static bool centredOn(const QWidget *dialog, const QWidget *window);

    QWidget m_main;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_settings;
};

bool tst_QuestionBox::centredOn(const QWidget *dialog, const QWidget *window)
{
    const QPoint offset = dialog->geometry().center() - window->geometry().center();
    return offset.manhattanLength() <= 2;
}

void tst_QuestionBox::initTestCase()
{
    m_main.setGeometry(60, 50, 600, 450);
    m_main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_main));
}

void tst_QuestionBox::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = m_dir->filePath(QStringLiteral("tarsel@user-host.INI"));
    QFile::remove(DefaultIniFileName());
}

void tst_QuestionBox::cleanup()
{
    QuestionBox::setTestMode(false);
    QFile::remove(DefaultIniFileName());
}

void tst_QuestionBox::dialogLooksAsAsked()
{
    QString title;
    QStringList captions;
    QString defaultCaption;
    bool centred = false;
    bool onTop = true;
    whenModal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        for (const QPushButton *button : dialog->findChildren<QPushButton *>()) {
            captions.append(button->text());
            if (button->isDefault())
                defaultCaption = button->text();
        }
        centred = centredOn(dialog, &m_main);
        onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QTest::keyClick(focusOr(dialog), Qt::Key_Return);
    });
    AskQuestion(&m_main, Title, Message, Yes, No, QuestionKind::Warning, false, QString());

    QCOMPARE(title, Title);
    captions.sort();
    QCOMPARE(captions, QStringList({No, Yes}));
    QCOMPARE(defaultCaption, Yes);
    QVERIFY(centred);
    QVERIFY(!onTop);
}

void tst_QuestionBox::answers_data()
{
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<bool>("sharedFile");
    QTest::addColumn<int>("expected");

    QTest::newRow("Enter, named file") << Ending::Enter << false << 1;
    QTest::newRow("Enter, shared file") << Ending::Enter << true << 1;
    QTest::newRow("Escape, shared file") << Ending::Escape << true << 2;
    QTest::newRow("close box, named file") << Ending::CloseBox << false << 0;
}

void tst_QuestionBox::answers()
{
    QFETCH(Ending, ending);
    QFETCH(bool, sharedFile);
    QFETCH(int, expected);

    const QPoint dragged(123, 45);
    whenModal([&](QWidget *dialog) {
        dialog->move(dragged);
        switch (ending) {
        case Ending::Enter:
            QTest::keyClick(focusOr(dialog), Qt::Key_Return);
            break;
        case Ending::Escape:
            QTest::keyClick(focusOr(dialog), Qt::Key_Escape);
            break;
        case Ending::CloseBox:
            dialog->close();
            break;
        }
    });
    const QString file = sharedFile ? QString() : m_settings;
    QCOMPARE(AskQuestion(&m_main, Title, Message, Yes, No, QuestionKind::Warning, false, file),
             expected);

    const QString written = sharedFile ? DefaultIniFileName() : m_settings;
    const QString untouched = sharedFile ? m_settings : DefaultIniFileName();
    QCOMPARE(storedPosition(written), dragged);
    QVERIFY(!QFile::exists(untouched));
}

void tst_QuestionBox::reusePosition_data()
{
    QTest::addColumn<bool>("stored");

    QTest::newRow("top 0, left 250") << true;
    QTest::newRow("nothing stored") << false;
}

void tst_QuestionBox::reusePosition()
{
    QFETCH(bool, stored);

    if (stored) {
        IniWriteInteger(QStringLiteral("POSITION"), QStringLiteral("msgTOP"), 0, m_settings);
        IniWriteInteger(QStringLiteral("POSITION"), QStringLiteral("msgLEFT"), 250, m_settings);
    }
    QPoint openedAt;
    bool centred = false;
    bool onTop = false;
    whenModal([&](QWidget *dialog) {
        openedAt = dialog->pos();
        centred = centredOn(dialog, &m_main);
        onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QTest::keyClick(focusOr(dialog), Qt::Key_Escape);
    });
    QCOMPARE(AskQuestion(&m_main, Title, Message, Yes, No, QuestionKind::Error, true, m_settings),
             2);

    if (stored)
        QCOMPARE(openedAt, QPoint(250, 0));
    else
        QVERIFY(centred);
    QVERIFY(onTop);
    QCOMPARE(storedPosition(m_settings), openedAt);
}

void tst_QuestionBox::seamAnswersFromQueue()
{
    QuestionBox::setTestMode(true);
    IniWriteInteger(QStringLiteral("POSITION"), QStringLiteral("msgTOP"), 7, m_settings);
    IniWriteInteger(QStringLiteral("POSITION"), QStringLiteral("msgLEFT"), 300, m_settings);
    QuestionBox::setNextAnswer(2);

    QCOMPARE(AskQuestion(&m_main, Title, Message, Yes, No, QuestionKind::Warning, true, m_settings),
             2);
    QCOMPARE(AskQuestion(&m_main, Title, Message, Yes, No, QuestionKind::Warning, true, m_settings),
             0);
    QCOMPARE(QuestionBox::asked().size(), 2);
    const QuestionBox::Asked asked = QuestionBox::asked().constFirst();
    QCOMPARE(asked.title, Title);
    QCOMPARE(asked.message, Message);
    QCOMPARE(asked.yesCaption, Yes);
    QCOMPARE(asked.noCaption, No);
    QCOMPARE(storedPosition(m_settings), QPoint(300, 7));

    const QString refused = m_dir->filePath(QStringLiteral("not-a-folder"));
    QFile blocker(refused);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString settings = refused + QStringLiteral("/tarsel.INI");
    QuestionBox::clearAsked();
    QuestionBox::setNextAnswer(1);
    try {
        AskQuestion(&m_main, Title, Message, Yes, No, QuestionKind::Warning, false, settings);
        QFAIL("a refused settings write went unnoticed");
    } catch (const TarselError &e) {
        QCOMPARE(e.message(), QStringLiteral("Impossible d'écrire dans %1").arg(settings));
    }
    QCOMPARE(QuestionBox::asked().size(), 1);
}

QTEST_MAIN(tst_QuestionBox)
#include "tst_questionbox.moc"
