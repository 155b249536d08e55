#include "platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <string>

namespace platform
{

namespace
{

// 100-nanosecond ticks from 1601-01-01 to 1970-01-01.
constexpr std::int64_t TicksTo1970 = 116444736000000000LL;
constexpr std::int64_t TicksPerMsec = 10000;

std::int64_t MsecsOf(const FILETIME &time)
{
    const std::int64_t ticks =
        ((std::int64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) - TicksTo1970;
    // Rounds towards the past for times before 1970 too.
    return ticks >= 0 ? ticks / TicksPerMsec : -((-ticks + TicksPerMsec - 1) / TicksPerMsec);
}

std::int64_t SizeOf(DWORD high, DWORD low)
{
    return (std::int64_t(high) << 32) | low;
}

std::size_t LastDelimiter(const std::wstring &path)
{
    return path.find_last_of(L"\\/:");
}

std::wstring FolderOf(const std::wstring &path)
{
    const std::size_t cut = LastDelimiter(path);
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Opens a file or a folder to read its attributes only, links followed.
HANDLE OpenForQuery(const std::wstring &path)
{
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IdentityOf(const std::wstring &path, BY_HANDLE_FILE_INFORMATION &info)
{
    const Handle handle(OpenForQuery(path));
    return handle.valid() && ::GetFileInformationByHandle(handle.get(), &info);
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool IsFolder(const std::wstring &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

struct ProgressState {
    const std::function<void(std::int64_t)> &progress;
    std::int64_t reported = 0;
};

DWORD CALLBACK OnCopyProgress(LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER,
                              LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data)
{
    auto *state = static_cast<ProgressState *>(data);
    if (state->progress && transferred.QuadPart > state->reported) {
        state->progress(transferred.QuadPart - state->reported);
        state->reported = transferred.QuadPart;
    }
    return PROGRESS_CONTINUE;
}

// A name in the target's folder that no other copy of this process uses.
std::wstring TemporaryName(const std::wstring &folder)
{
    static std::atomic<unsigned> counter{0};
    return folder + L".tarsel-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".tmp";
}

} // namespace

bool DirectoryListing::read(const NativeString &folder)
{
    m_entries.clear();
    m_names.clear();
    WIN32_FIND_DATAW found;
    const std::wstring pattern = folder + L"*";
    const HANDLE search =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        const DWORD attributes = found.dwFileAttributes;
        const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        DirectoryEntry entry;
        entry.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !link;
        entry.isHidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
        entry.lastWriteUtcMsecs = MsecsOf(found.ftLastWriteTime);
        entry.size = SizeOf(found.nFileSizeHigh, found.nFileSizeLow);
        entry.isFile = (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (link) {
            // A link is selected for what it leads to; a link to a file gives its target's time
            // and size, when it has a target.
            const PathInfo target = QueryPath(folder + found.cFileName);
            entry.isFile = target.kind == PathKind::File;
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && target.kind != PathKind::Missing) {
                entry.lastWriteUtcMsecs = target.lastWriteUtcMsecs;
                entry.size = target.size;
            }
        }
        add(found.cFileName, entry);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

PathInfo QueryPath(const NativeString &path)
{
    PathInfo info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return info;
    DWORD attributes = data.dwFileAttributes;
    FILETIME lastWrite = data.ftLastWriteTime;
    std::int64_t size = SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: what it leads to, or nothing when it leads nowhere.
        BY_HANDLE_FILE_INFORMATION target;
        if (!IdentityOf(path, target))
            return info;
        attributes = target.dwFileAttributes;
        lastWrite = target.ftLastWriteTime;
        size = SizeOf(target.nFileSizeHigh, target.nFileSizeLow);
    }
    info.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
    info.lastWriteUtcMsecs = MsecsOf(lastWrite);
    info.size = size;
    return info;
}

bool IsHiddenEntry(const NativeString &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

bool SameEntry(const NativeString &a, const NativeString &b)
{
    BY_HANDLE_FILE_INFORMATION first;
    BY_HANDLE_FILE_INFORMATION second;
    return IdentityOf(a, first) && IdentityOf(b, second) && SameIdentity(first, second);
}

int CreateFolders(const NativeString &folder)
{
    std::wstring path = folder;
    // Trailing delimiters go, except the one of a drive root ("C:\").
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
           path[path.size() - 2] != L':')
        path.pop_back();
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;
    if (::CreateDirectoryW(path.c_str(), nullptr))
        return 0;
    DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)
        return IsFolder(path) ? 0 : int(error);
    if (error != ERROR_PATH_NOT_FOUND)
        return int(error);
    const std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut == 0)
        return int(error);
    if (const int parentError = CreateFolders(path.substr(0, cut + 1)))
        return parentError;
    if (::CreateDirectoryW(path.c_str(), nullptr))
        return 0;
    error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS && IsFolder(path) ? 0 : int(error);
}

CopyResult CopyFileReplacing(const NativeString &source, const NativeString &target,
                             bool targetExists, const std::function<void(std::int64_t)> &progress)
{
    const auto failed = [](DWORD error) { return CopyResult{CopyStatus::Failed, int(error)}; };
    BY_HANDLE_FILE_INFORMATION from;
    if (!IdentityOf(source, from))
        return failed(::GetLastError());
    if (from.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return CopyResult{CopyStatus::NotRegularFile, 0};
    BY_HANDLE_FILE_INFORMATION existing;
    if (targetExists && IdentityOf(target, existing) && SameIdentity(from, existing))
        return CopyResult{CopyStatus::SameFile, 0};

    // CopyFileExW copies the content, the attributes and the last-write time into a new file
    // beside the target, which then takes the target's place in one move.
    const std::wstring folder = FolderOf(target);
    ProgressState state{progress};
    std::wstring temporary;
    for (;;) {
        temporary = TemporaryName(folder);
        if (::CopyFileExW(source.c_str(), temporary.c_str(), OnCopyProgress, &state, nullptr,
                          COPY_FILE_FAIL_IF_EXISTS))
            break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS) {
            ::DeleteFileW(temporary.c_str());
            return failed(error);
        }
    }
    if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = ::GetLastError();
        ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary.c_str());
        return failed(error);
    }
    return CopyResult{};
}

NativeString CurrentUserName()
{
    wchar_t buffer[256];
    DWORD count = 256;
    // The count includes the terminating zero.
    if (::GetUserNameW(buffer, &count) && count > 0)
        return NativeString(buffer, count - 1);
    return {};
}

} // namespace platform
