#pragma once

#include <QString>
#include <optional>

class QWidget;

// The text prompt: a caption, a label, one edit of at most 255 characters that shows what is
// typed, OK and Cancel. With the test mode on nothing is shown: the answers come from a queue,
// and an empty queue answers Cancel.
class TextPrompt
{
public:
    // OK: true, and text holds the edit's text. Cancel: false, text unchanged. The edit starts
    // with the text given.
    static bool ask(QWidget *parent, const QString &caption, const QString &label, QString &text);

    // Switching the test mode empties the queue and the count.
    static void setTestMode(bool on);
    static void setNextAnswer(const std::optional<QString> &answer); // nullopt = Cancel
    // How many times ask() was called since the test mode was switched.
    static int askedCount();
};
