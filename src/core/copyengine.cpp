#include "core/copyengine.h"

#include "core/criterion.h"
#include "core/environment.h"
#include "core/error.h"
#include "core/platform/platform.h"

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
QString CopyFailure(const QString &source, const QString &target, bool targetExists,
                    const std::function<void(std::int64_t)> &progress)
{
    const platform::CopyResult result =
        platform::CopyFileReplacing(ToNative(source), ToNative(target), targetExists, progress);
    switch (result.status) {
    case platform::CopyStatus::Done:
        return QString();
    case platform::CopyStatus::SameFile:
        return QStringLiteral("Copie refusée : \"%1\" et \"%2\" sont le même fichier")
            .arg(source, target);
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
    const QString failure = CopyFailure(source, target, targetExists, {});
    if (!failure.isEmpty())
        throw TarselError(failure);
}

CopySummary RunCopy(const QStringList &paths, const QString &sourceText, const QString &targetText,
                    bool force, CopySink &sink)
{
    const int sourceLength = int(sourceText.size());
    const int rows = int(paths.size());

    // First pass: the target folders. Rows come folder by folder, so a folder that is known to
    // be there is not asked for again.
    QString readyFolder;
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
            sink.setRowWord(row, CopyWords::Created, true);
        } else {
            sink.message(QStringLiteral("Echec: Création de dossier\r") + folder);
        }
    }

    // Second pass: the files, strictly in row order.
    CopySummary summary;
    const std::function<void(std::int64_t)> progress = [&sink](std::int64_t bytes) {
        sink.bytesCopied(bytes);
    };
    for (int row = 0; row < rows; ++row) {
        const QString &path = paths[row];
        sink.setRowWord(row, QString(), false);
        sink.fileStarted(row, path);
        const platform::PathInfo source = platform::QueryPath(ToNative(path));
        if (source.kind != platform::PathKind::File)
            continue;
        const QString target = TargetFolderFor(path, sourceLength, targetText) + NamePart(path);
        const platform::PathInfo existing = platform::QueryPath(ToNative(target));
        const bool replacing = existing.kind == platform::PathKind::File;
        // Both times are UTC here: the local offset would be added to both alike. A missing
        // target makes any source later.
        if (!force && replacing && !IsLater(source.lastWriteUtcMsecs, existing.lastWriteUtcMsecs)) {
            sink.setRowWord(row, CopyWords::Kept, false);
            continue;
        }
        sink.setRowWord(row, replacing ? CopyWords::Replaced : CopyWords::Created, false);
        try {
            if (sink.isExcluded(path)) {
                sink.setRowWord(row, CopyWords::Ignored, false);
            } else if (!CopyFailure(path, target, existing.kind != platform::PathKind::Missing,
                                    progress)
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
