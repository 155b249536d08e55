#pragma once

#include <QPlainTextEdit>

// The console Memo1: read-only text, long lines wrapped at its width. Its lines are counted as
// they are displayed, wrapped lines included, whether the console is shown or hidden.
class Console : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit Console(QWidget *parent = nullptr);

    // Replaces the whole text. "\r\n" and "\r" break lines like "\n"; a final line break ends
    // the last line and opens no empty one.
    void setConsoleText(const QString &text);
    // Adds one line at the end (a line break inside the text adds further lines).
    void appendLine(const QString &text);

    // Displayed line number index, counted from 0; "" past the last line.
    QString displayedLine(int index) const;
    int displayedLineCount() const;

private:
    qreal wrapWidth() const;
    // Calls visit(text of the displayed line) for each displayed line in order until it
    // returns false.
    template <typename Visit> void forEachDisplayedLine(Visit visit) const;
};
