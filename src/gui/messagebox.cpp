#include "gui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QQueue>

namespace
{

bool testMode = false;
QQueue<bool> nextConfirms;
QList<MessageBox::Shown> shownBoxes;

QMessageBox::Icon iconOf(MessageBox::Kind kind)
{
    switch (kind) {
    case MessageBox::Information:
        return QMessageBox::Information;
    case MessageBox::Warning:
        return QMessageBox::Warning;
    case MessageBox::Error:
        return QMessageBox::Critical;
    case MessageBox::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void MessageBox::show(QWidget *parent, Kind kind, const QString &text)
{
    const QString title = QApplication::applicationDisplayName();
    if (testMode) {
        shownBoxes.append({kind, title, text});
        return;
    }
    QMessageBox box(iconOf(kind), title, DisplayText(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool MessageBox::confirm(QWidget *parent, const QString &text)
{
    const QString title = QApplication::applicationDisplayName();
    if (testMode) {
        shownBoxes.append({Plain, title, text});
        return !nextConfirms.isEmpty() && nextConfirms.dequeue();
    }
    QMessageBox box(QMessageBox::Question, title, DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MessageBox::setTestMode(bool on)
{
    testMode = on;
    nextConfirms.clear();
    shownBoxes.clear();
}

void MessageBox::setNextConfirm(bool yes)
{
    nextConfirms.enqueue(yes);
}

QList<MessageBox::Shown> MessageBox::shown()
{
    return shownBoxes;
}

void MessageBox::clearShown()
{
    shownBoxes.clear();
}
