#include "gui/shellopen.h"

#include <QDesktopServices>
#include <QDir>
#include <QQueue>
#include <QUrl>

namespace
{

bool testMode = false;
QQueue<bool> nextResults;
QStringList openedTargets;

// A path is opened as a local file; a one-letter scheme is a drive letter, not a scheme.
QUrl urlOf(const QString &target)
{
    if (!QDir::isAbsolutePath(target)) {
        const QUrl url(target);
        if (url.scheme().size() > 1)
            return url;
    }
    return QUrl::fromLocalFile(target);
}

} // namespace

bool ShellOpen(const QString &target)
{
    if (testMode) {
        openedTargets.append(target);
        return !nextResults.isEmpty() && nextResults.dequeue();
    }
    return QDesktopServices::openUrl(urlOf(target));
}

void ShellOpenSeam::setTestMode(bool on)
{
    testMode = on;
    nextResults.clear();
    openedTargets.clear();
}

void ShellOpenSeam::setNextResult(bool ok)
{
    nextResults.enqueue(ok);
}

QStringList ShellOpenSeam::opened()
{
    return openedTargets;
}

void ShellOpenSeam::clear()
{
    openedTargets.clear();
}
