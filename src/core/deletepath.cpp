#include "core/deletepath.h"

#include <QDir>
#include <QFileInfo>

bool DeletePathSilently(const QString &path)
{
    if (path.isEmpty())
        return false;
    QString target = path;
    while (target.size() > 1 && (target.endsWith(u'/') || target.endsWith(u'\\')))
        target.chop(1);
    const QFileInfo info(target);
    if (!info.exists() && !info.isSymLink())
        return false;
    if (info.isDir() && !info.isSymLink())
        return QDir(target).removeRecursively();
    return QFile::remove(target);
}
