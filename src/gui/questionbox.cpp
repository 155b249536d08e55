#include "gui/questionbox.h"

#include "core/inifile.h"
#include "gui/messagebox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QStyle>
#include <QVBoxLayout>

namespace
{

const QString PositionSection = QStringLiteral("POSITION");
const QString TopKey = QStringLiteral("msgTOP");
const QString LeftKey = QStringLiteral("msgLEFT");

enum Answer { ClosedAnswer = 0, YesAnswer = 1, NoAnswer = 2, OtherAnswer = 255 };

bool testMode = false;
QQueue<int> nextAnswers;
QList<QuestionBox::Asked> askedQuestions;

QStyle::StandardPixmap iconOf(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::Warning:
        return QStyle::SP_MessageBoxWarning;
    case QuestionKind::Error:
        return QStyle::SP_MessageBoxCritical;
    case QuestionKind::Information:
        return QStyle::SP_MessageBoxInformation;
    case QuestionKind::Confirmation:
    case QuestionKind::None:
        break;
    }
    return QStyle::SP_MessageBoxQuestion;
}

// A message dialog with exactly two buttons. Enter presses the yes button (the default one),
// Escape the no button; closing the window without a button ends it with ClosedAnswer.
class QuestionDialog : public QDialog
{
public:
    QuestionDialog(QWidget *parent, const QString &message, const QString &yesCaption,
                   const QString &noCaption, QuestionKind kind)
        : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint)
    {
        auto *text = new QLabel(DisplayText(message));
        text->setTextFormat(Qt::PlainText);
        auto *content = new QHBoxLayout;
        if (kind != QuestionKind::None) {
            const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
            auto *icon = new QLabel;
            icon->setPixmap(style()->standardIcon(iconOf(kind), nullptr, this).pixmap(size));
            icon->setAlignment(Qt::AlignTop);
            content->addWidget(icon);
        }
        content->addWidget(text, 1);

        auto *buttons = new QDialogButtonBox;
        QPushButton *yes = buttons->addButton(yesCaption, QDialogButtonBox::YesRole);
        QPushButton *no = buttons->addButton(noCaption, QDialogButtonBox::NoRole);
        connect(yes, &QPushButton::clicked, this, [this] { done(YesAnswer); });
        connect(no, &QPushButton::clicked, this, [this] { done(NoAnswer); });
        yes->setDefault(true);
        yes->setFocus();

        auto *layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->addLayout(content);
        layout->addWidget(buttons);
    }

    void centreOn(QWidget *window)
    {
        adjustSize();
        adjustPosition(window);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            done(NoAnswer);
            return;
        }
        QDialog::keyPressEvent(event);
    }
};

int answerOf(int result)
{
    switch (result) {
    case ClosedAnswer:
    case YesAnswer:
    case NoAnswer:
        return result;
    default:
        return OtherAnswer;
    }
}

} // namespace

int AskQuestion(QWidget *mainWindow, const QString &title, const QString &message,
                const QString &yesCaption, const QString &noCaption, QuestionKind kind,
                bool reusePosition, const QString &settingsFile)
{
    QuestionDialog dialog(mainWindow, message, yesCaption, noCaption, kind);
    dialog.setWindowTitle(title);

    QPoint stored;
    if (reusePosition) {
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
        stored.setY(IniReadInteger(PositionSection, TopKey, 0, settingsFile));
        stored.setX(IniReadInteger(PositionSection, LeftKey, 0, settingsFile));
    }
    if (stored.isNull())
        dialog.centreOn(mainWindow);
    else
        dialog.move(stored);

    int answer = ClosedAnswer;
    if (testMode) {
        askedQuestions.append({title, message, yesCaption, noCaption});
        if (!nextAnswers.isEmpty())
            answer = nextAnswers.dequeue();
    } else {
        answer = answerOf(dialog.exec());
    }

    IniWriteInteger(PositionSection, TopKey, dialog.pos().y(), settingsFile);
    IniWriteInteger(PositionSection, LeftKey, dialog.pos().x(), settingsFile);
    return answer;
}

void QuestionBox::setTestMode(bool on)
{
    testMode = on;
    nextAnswers.clear();
    askedQuestions.clear();
}

void QuestionBox::setNextAnswer(int answer)
{
    nextAnswers.enqueue(answer);
}

QList<QuestionBox::Asked> QuestionBox::asked()
{
    return askedQuestions;
}

void QuestionBox::clearAsked()
{
    askedQuestions.clear();
}
