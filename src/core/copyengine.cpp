#include "core/copyengine.h"

#include "core/criterion.h"
#include "core/environment.h"
#include "core/error.h"
#include "core/platform/platform.h"

#include <QSet>

#include <algorithm>
#include <system_error>

namespace
{

platform::NativeString ToNative(const QString &path)
{
#ifdef Q_OS_WIN
    return path.toStdWString();
#else
    return path.toStdString();
#endif
}

qsizetype LastDelimiter(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(PathDelimiter());
#ifdef Q_OS_WIN
    return std::max(cut, path.lastIndexOf(u':'));
#else
    return cut;
#endif
}

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::system_category().message(error));
}

// Copies and tells why it could not: the text of the error raised by CopyFileReplacing.
// targetExists is what a query of the target has just found.
QString CopyFailure(const QString &source, const platform::NativeString &nativeSource,
                    const QString &target, bool targetExists,
                    const std::function<void(std::int64_t)> &progress)
{
    const platform::CopyResult result =
        platform::CopyFileReplacing(nativeSource, ToNative(target), targetExists, progress);
    switch (result.status) {
    case platform::CopyStatus::Done:
        return QString();
    case platform::CopyStatus::SameFile:
        return QStringLiteral("Copie refusée : \"%1\" et \"%2\" sont le même fichier")
            .arg(source, target);
    case platform::CopyStatus::NotRegularFile:
        return QStringLiteral("Copie refusée : \"%1\" n'est pas un fichier ordinaire").arg(source);
    case platform::CopyStatus::Failed:
        break;
    }
    return QStringLiteral("Echec de la copie de \"%1\" vers \"%2\" : %3")
        .arg(source, target, SystemErrorText(result.error));
}

} // namespace

QString FolderPart(const QString &path)
{
    return path.left(LastDelimiter(path) + 1);
}

QString NamePart(const QString &path)
{
    return path.mid(LastDelimiter(path) + 1);
}

QString TargetFolderFor(const QString &path, int sourceLength, const QString &targetText)
{
    return targetText + FolderPart(path).mid(sourceLength);
}

bool ForceDirectories(const QString &folder)
{
    return platform::CreateFolders(ToNative(folder)) == 0;
}

qint64 FileLastWriteTime(const QString &path)
{
    const platform::PathInfo info = platform::QueryPath(ToNative(path));
    return info.kind == platform::PathKind::Missing ? 0 : UtcToLocalMsecs(info.lastWriteUtcMsecs);
}

bool IsLater(qint64 source, qint64 target)
{
    return source > target;
}

bool SameFolder(const QString &a, const QString &b)
{
    return a == b || platform::SameEntry(ToNative(a), ToNative(b));
}

void CopyFileReplacing(const QString &source, const QString &target)
{
    const bool targetExists =
        platform::QueryPath(ToNative(target)).kind != platform::PathKind::Missing;
    const QString failure = CopyFailure(source, ToNative(source), target, targetExists, {});
    if (!failure.isEmpty())
        throw TarselError(failure);
}

CopySummary RunCopy(const QStringList &paths, const QString &sourceText, const QString &targetText,
                    bool force, CopySink &sink)
{
    const int sourceLength = int(sourceText.size());
    const int rows = int(paths.size());

    // First pass: the target folders. Rows come folder by folder, so a folder that is known to
    // be there is not asked for again. The folders made here are empty: a target inside one of
    // them that this run has not tried yet is known to be missing without asking.
    QString readyFolder;
    QSet<QString> createdFolders;
    for (int row = 0; row < rows; ++row) {
        const QString &path = paths[row];
        const QString folder = TargetFolderFor(path, sourceLength, targetText);
        if (platform::IsHiddenEntry(ToNative(path)) || folder == readyFolder)
            continue;
        const platform::NativeString nativeFolder = ToNative(folder);
        if (platform::QueryPath(nativeFolder).kind == platform::PathKind::Folder) {
            readyFolder = folder;
            continue;
        }
        if (platform::CreateFolders(nativeFolder) == 0) {
            readyFolder = folder;
            createdFolders.insert(folder);
            sink.setRowWord(row, CopyWords::Created, true);
        } else {
            sink.message(QStringLiteral("Echec: Création de dossier\r") + folder);
        }
    }

    // Second pass: the files, strictly in row order.
    CopySummary summary;
    QSet<QString> tried;
    const std::function<void(std::int64_t)> progress = [&sink](std::int64_t bytes) {
        sink.bytesCopied(bytes);
    };
    for (int row = 0; row < rows; ++row) {
        const QString &path = paths[row];
        sink.setRowWord(row, QString(), false);
        sink.fileStarted(row, path);
        const platform::NativeString nativePath = ToNative(path);
        const platform::PathInfo source = platform::QueryPath(nativePath);
        if (source.kind != platform::PathKind::File)
            continue;
        const QString folder = TargetFolderFor(path, sourceLength, targetText);
        const QString target = folder + NamePart(path);
        const bool knownMissing = createdFolders.contains(folder) && !tried.contains(target);
        const platform::PathInfo existing =
            knownMissing ? platform::PathInfo{} : platform::QueryPath(ToNative(target));
        const bool replacing = existing.kind == platform::PathKind::File;
        // Both times are UTC here: the local offset would be added to both alike. A missing
        // target makes any source later.
        if (!force && replacing && !IsLater(source.lastWriteUtcMsecs, existing.lastWriteUtcMsecs)) {
            sink.setRowWord(row, CopyWords::Kept, false);
            continue;
        }
        sink.setRowWord(row, replacing ? CopyWords::Replaced : CopyWords::Created, false);
        if (knownMissing)
            tried.insert(target);
        try {
            if (sink.isExcluded(path)) {
                sink.setRowWord(row, CopyWords::Ignored, false);
            } else if (!CopyFailure(path, nativePath, target,
                                    existing.kind != platform::PathKind::Missing, progress)
                            .isEmpty()) {
                ++summary.failed;
                sink.setRowWord(row, CopyWords::Failed, false);
            }
        } catch (const std::exception &e) {
            sink.message(QStringLiteral("ERR:Copy_File =>") + errorMessage(e));
        }
    }
    return summary;
}
