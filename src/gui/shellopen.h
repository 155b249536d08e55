#pragma once

#include <QString>
#include <QStringList>

// Asks the desktop to open a folder, a file or an address (a text with a scheme, such as
// "https://..."). False when the desktop refused, which counts as a shell result of 32 or less.
bool ShellOpen(const QString &target);

// With the test mode on nothing is opened: every target is recorded and the result comes from
// a queue; an empty queue answers false, as a refused open.
class ShellOpenSeam
{
public:
    // Switching the test mode empties the queue and the record.
    static void setTestMode(bool on);
    static void setNextResult(bool ok);
    static QStringList opened();
    static void clear();
};
