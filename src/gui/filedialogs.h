#pragma once

#include <QString>

class QWidget;

// What the file-open dialog is set up with; the filter is in Qt's form ("7Z.Exe (*.exe)").
struct OpenFileSetup {
    QString title, filter, defaultSuffix, initialFolder, proposedName;
};

// The folder picker and the file-open dialog. With the test mode on nothing is shown: the
// answers come from queues, and an empty queue answers as a cancelled dialog ("").
class FileDialogs
{
public:
    // The chosen folder, "" when cancelled.
    static QString chooseFolder(QWidget *parent, const QString &startFolder);
    // The chosen file's full path, "" when cancelled. The dialog is set up afresh each time.
    static QString openFile(QWidget *parent, const OpenFileSetup &setup);

    // Switching the test mode empties the queues.
    static void setTestMode(bool on);
    static void setNextFolder(const QString &folder); // "" = cancel
    static void setNextFile(const QString &file);     // "" = cancel
    // The setup of the last openFile() call.
    static OpenFileSetup lastOpenFileSetup();
};
