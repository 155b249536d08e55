#include "gui/textprompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QQueue>
#include <QVBoxLayout>

namespace
{

constexpr int MaxTextLength = 255;

bool testMode = false;
QQueue<std::optional<QString>> nextAnswers;
int askCount = 0;

std::optional<QString> askWithDialog(QWidget *parent, const QString &caption, const QString &label,
                                     const QString &text)
{
    QDialog dialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowCloseButtonHint);
    dialog.setWindowTitle(caption);
    auto *edit = new QLineEdit;
    edit->setMaxLength(MaxTextLength);
    edit->setText(text);
    auto *prompt = new QLabel(label);
    prompt->setBuddy(edit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(prompt);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    edit->selectAll();
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

} // namespace

bool TextPrompt::ask(QWidget *parent, const QString &caption, const QString &label, QString &text)
{
    std::optional<QString> answer;
    if (testMode) {
        ++askCount;
        if (!nextAnswers.isEmpty())
            answer = nextAnswers.dequeue();
        if (answer)
            answer->truncate(MaxTextLength);
    } else {
        answer = askWithDialog(parent, caption, label, text);
    }
    if (!answer)
        return false;
    text = *answer;
    return true;
}

void TextPrompt::setTestMode(bool on)
{
    testMode = on;
    nextAnswers.clear();
    askCount = 0;
}

void TextPrompt::setNextAnswer(const std::optional<QString> &answer)
{
    nextAnswers.enqueue(answer);
}

int TextPrompt::askedCount()
{
    return askCount;
}
