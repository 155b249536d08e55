#pragma once

#include <QString>
#include <QStringList>

// The result words the copy writes into each row.
namespace CopyWords
{
inline const QString Created = QStringLiteral("Créé");
inline const QString Replaced = QStringLiteral("Remplacé");
inline const QString Kept = QStringLiteral("Conservé");
inline const QString Ignored = QStringLiteral("Ignoré");
inline const QString Failed = QStringLiteral("Echec");
} // namespace CopyWords

// Up to and including the last delimiter.
QString FolderPart(const QString &path);
// After the last delimiter.
QString NamePart(const QString &path);
// The target folder of a listed file: targetText followed by the file's folder part without
// its first sourceLength characters (the cut is by length only).
QString TargetFolderFor(const QString &path, int sourceLength, const QString &targetText);
// Creates the folder with its missing parents; true when it exists afterwards.
bool ForceDirectories(const QString &folder);
// Last-write time in local milliseconds, links followed; 0 when the path names nothing.
qint64 FileLastWriteTime(const QString &path);
// Strictly later, to the millisecond.
bool IsLater(qint64 source, qint64 target);
// The two folder texts are equal, or they name the same existing folder.
bool SameFolder(const QString &a, const QString &b);
// Copies source over target, keeping its last-write time and permission bits. The target keeps
// its old content until the new one is complete. Throws TarselError on failure, and when source
// and target are one and the same file.
void CopyFileReplacing(const QString &source, const QString &target);

// Receives the copy's progress and words.
class CopySink
{
public:
    virtual ~CopySink() = default;
    // gridOnly: the first pass's mark of a created folder, shown in the grid only; otherwise
    // the row's word in the list and the grid. May throw TarselError.
    virtual void setRowWord(int row, const QString &word, bool gridOnly) = 0;
    virtual void fileStarted(int row, const QString &path) = 0;
    virtual void message(const QString &text) = 0;
    virtual bool isExcluded(const QString &path) = 0;
    virtual void bytesCopied(qint64) {}
};

struct CopySummary {
    int failed = 0;
};

// Copies the listed files into the target tree in two passes: first the target folders, then
// the files, each row getting its word. sourceText and targetText end with the delimiter. A
// failed copy reads "Echec" and counts in failed; errors from the sink reach the caller.
CopySummary RunCopy(const QStringList &paths, const QString &sourceText, const QString &targetText,
                    bool force, CopySink &sink);
