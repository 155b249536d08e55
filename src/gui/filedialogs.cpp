#include "gui/filedialogs.h"

#include <QFileDialog>
#include <QQueue>

namespace
{

bool testMode = false;
QQueue<QString> nextFolders;
QQueue<QString> nextFiles;
OpenFileSetup lastSetup;

QString nextOf(QQueue<QString> &queue)
{
    return queue.isEmpty() ? QString() : queue.dequeue();
}

} // namespace

QString FileDialogs::chooseFolder(QWidget *parent, const QString &startFolder)
{
    if (testMode)
        return nextOf(nextFolders);
    return QFileDialog::getExistingDirectory(parent, QString(), startFolder);
}

QString FileDialogs::openFile(QWidget *parent, const OpenFileSetup &setup)
{
    lastSetup = setup;
    if (testMode)
        return nextOf(nextFiles);
    QFileDialog dialog(parent, setup.title, setup.initialFolder, setup.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(setup.defaultSuffix);
    dialog.selectFile(setup.proposedName);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void FileDialogs::setTestMode(bool on)
{
    testMode = on;
    nextFolders.clear();
    nextFiles.clear();
    lastSetup = OpenFileSetup();
}

void FileDialogs::setNextFolder(const QString &folder)
{
    nextFolders.enqueue(folder);
}

void FileDialogs::setNextFile(const QString &file)
{
    nextFiles.enqueue(file);
}

OpenFileSetup FileDialogs::lastOpenFileSetup()
{
    return lastSetup;
}
