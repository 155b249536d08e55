#pragma once

#include <QDate>
#include <QString>
#include <functional>

// What the walk reads from the window. The date mode and the calendar day are read again for
// every folder, so a change made while the walk lets the queue run applies from the next folder.
struct ScanContext {
    QString mask;       // the file mask, as typed
    QString sourceText; // removed (every occurrence, exact) from a folder path for its found entry
    std::function<int()> dateMode;
    std::function<QDate()> calendarDay;
};

// Receives what the walk finds, in walk order.
class ScanSink
{
public:
    virtual ~ScanSink() = default;
    virtual void folderEntered(const QString &folder) = 0;
    // selectedCount counts the files selected so far, this one included; listingPosition is the
    // entry's position among the entries of its folder's listing that match the mask.
    virtual void fileSelected(const QString &fullPath, qint64 fileLocalMsecs, qint64 size,
                              int selectedCount, int listingPosition) = 0;
    // The folder of the file about to be selected holds its first selected file: its path
    // relative to the source, called before that file's fileSelected.
    virtual void folderFound(const QString &relativeFolder) = 0;
    // After a folder's files: the place to let the queue run. False stops the walk.
    virtual bool folderFilesDone() = 0;
};

// Walks folder (ending with the delimiter) depth first, pre-order: a folder's own files that
// match the mask and the date, in listing order, then its subfolders in listing order. Hidden
// files are selected; hidden folders are not entered, nor are links to folders; a folder that
// cannot be listed is skipped without a word. Returns false when the sink stopped the walk.
bool ScanFolder(const QString &folder, const ScanContext &context, ScanSink &sink);
