#pragma once

#include <QList>
#include <QString>

class QWidget;

// The program's message boxes. Normally the real Qt dialog is shown; with the test mode on,
// nothing is shown: each box is recorded and confirm() takes its answer from a queue.
class MessageBox
{
public:
    enum Kind { Plain, Information, Warning, Error };

    // One OK button; the caption is the application's display name ("Tarsel").
    static void show(QWidget *parent, Kind kind, const QString &text);
    // Yes/No confirmation, true for Yes. Recorded with the kind Plain in test mode.
    static bool confirm(QWidget *parent, const QString &text);

    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };
    // Test mode on: record, never show; the queue of answers and the records start empty.
    static void setTestMode(bool on);
    // Queued answers for confirm(); with none left, confirm() answers No.
    static void setNextConfirm(bool yes);
    // What was shown since clearShown() (or since the test mode was switched).
    static QList<Shown> shown();
    static void clearShown();
};

// Message texts keep their line breaks as carriage return and line feed pairs, or a lone
// carriage return; the dialogs show them as line feeds.
QString DisplayText(const QString &text);
