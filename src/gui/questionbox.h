#pragma once

#include <QList>
#include <QString>

class QWidget;

enum class QuestionKind { Warning, Error, Information, Confirmation, None };

// The two-button question box. It opens centred on the main window, or, with reusePosition,
// where it was last closed (the keys "POSITION"/"msgTOP" and "msgLEFT"; both 0 means centred)
// and then stays on top. However it ends, its position is written back into settingsFile (the
// shared settings file when empty), after the answer: a refused write raises the settings error.
// Answers: 0 closed without a button, 1 the yes button (Enter), 2 the no button (Escape),
// 255 any other ending.
int AskQuestion(QWidget *mainWindow, const QString &title, const QString &message,
                const QString &yesCaption, const QString &noCaption, QuestionKind kind,
                bool reusePosition, const QString &settingsFile);

// With the test mode on, AskQuestion shows nothing: it records the question and takes its answer
// from the queue (0, closed without a button, when the queue is empty). The position keys are
// written all the same, with the position where the box would have opened.
class QuestionBox
{
public:
    struct Asked {
        QString title, message, yesCaption, noCaption;
    };
    // Switching the test mode empties the queue and the record.
    static void setTestMode(bool on);
    static void setNextAnswer(int answer);
    static QList<Asked> asked();
    static void clearAsked();
};
