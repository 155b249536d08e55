#include "core/scan.h"

#include "core/criterion.h"
#include "core/environment.h"
#include "core/filemask.h"
#include "core/platform/platform.h"

#include <memory>
#include <vector>

namespace
{

#ifdef Q_OS_WIN
platform::NativeString ToNative(const QString &path)
{
    return path.toStdWString();
}

QString FromNative(platform::NativeStringView name)
{
    return QString::fromWCharArray(name.data(), qsizetype(name.size()));
}
#else
platform::NativeString ToNative(const QString &path)
{
    return path.toStdString();
}

QString FromNative(platform::NativeStringView name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}
#endif

bool IsDotOrDotDot(platform::NativeStringView name)
{
    return (name.size() == 1 && name[0] == '.') ||
           (name.size() == 2 && name[0] == '.' && name[1] == '.');
}

// Lists each folder once and runs both passes over that listing. Texts are made only for what
// is reported: the entries that are not selected cost no conversion.
class Walker
{
public:
    Walker(const ScanContext &context, ScanSink &sink)
        : m_context(context), m_sink(sink), m_mask(context.mask)
    {
    }

    bool walk(platform::NativeString &nativeFolder, const QString &folder, std::size_t depth)
    {
        m_sink.folderEntered(folder);
        platform::DirectoryListing &listing = listingAt(depth);
        listing.read(nativeFolder); // a folder that cannot be listed reads as empty
        selectFiles(listing, folder);
        if (!m_sink.folderFilesDone())
            return false;

        const std::size_t length = nativeFolder.size();
        for (std::size_t i = 0; i < listing.size(); ++i) {
            const platform::DirectoryEntry &entry = listing.entry(i);
            const platform::NativeStringView name = listing.name(i);
            if (!entry.isFolder || entry.isHidden || IsDotOrDotDot(name))
                continue;
            nativeFolder.append(name).push_back(platform::Delimiter);
            const bool goOn =
                walk(nativeFolder, folder + FromNative(name) + PathDelimiter(), depth + 1);
            nativeFolder.resize(length);
            if (!goOn)
                return false;
        }
        return true;
    }

private:
    void selectFiles(const platform::DirectoryListing &listing, const QString &folder)
    {
        const int mode = m_context.dateMode();
        const QDate day = m_context.calendarDay();
        const bool everyName = m_mask.matchesEveryName();
        int position = 0;
        bool folderReported = false;
        for (std::size_t i = 0; i < listing.size(); ++i) {
            const platform::NativeStringView name = listing.name(i);
            if (!everyName && !m_mask.matchesNative(name))
                continue;
            ++position;
            const platform::DirectoryEntry &entry = listing.entry(i);
            // A folder is never selected: the check for an existing file below refuses it.
            if (entry.isFolder)
                continue;
            const qint64 localMsecs = UtcToLocalMsecs(entry.lastWriteUtcMsecs);
            if (CompareDay(localMsecs, day) != mode)
                continue;
            // Only an existing file is selected, links followed: the listing has just read it.
            if (!entry.isFile)
                continue;
            ++m_selected;
            if (!folderReported) {
                folderReported = true;
                m_sink.folderFound(QString(folder).remove(m_context.sourceText));
            }
            m_sink.fileSelected(folder + FromNative(name), localMsecs, entry.size, m_selected,
                                position);
        }
    }

    // One listing per depth, kept from folder to folder: a folder's listing must outlive the
    // walk of its subfolders, and reusing it spares an allocation per entry.
    platform::DirectoryListing &listingAt(std::size_t depth)
    {
        if (depth == m_listings.size())
            m_listings.push_back(std::make_unique<platform::DirectoryListing>());
        return *m_listings[depth];
    }

    const ScanContext &m_context;
    ScanSink &m_sink;
    const FileMask m_mask;
    std::vector<std::unique_ptr<platform::DirectoryListing>> m_listings;
    int m_selected = 0;
};

} // namespace

bool ScanFolder(const QString &folder, const ScanContext &context, ScanSink &sink)
{
    Walker walker(context, sink);
    platform::NativeString nativeFolder = ToNative(folder);
    return walker.walk(nativeFolder, folder, 0);
}
