#pragma once

// The few operating-system calls the walk and the copy need fast: a folder listing with kinds,
// times and sizes in one pass, path queries, folder creation and a safe file copy. Paths are in
// the system's own spelling: UTF-8 bytes on POSIX, UTF-16 on Windows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform
{

#ifdef _WIN32
using NativeChar = wchar_t;
inline constexpr NativeChar Delimiter = L'\\';
#else
using NativeChar = char;
inline constexpr NativeChar Delimiter = '/';
#endif
using NativeString = std::basic_string<NativeChar>;
using NativeStringView = std::basic_string_view<NativeChar>;

struct DirectoryEntry {
    std::size_t nameOffset = 0;
    std::size_t nameLength = 0;
    bool isFolder = false; // a real folder: a link to a folder is not one
    bool isHidden = false; // POSIX: the name begins with "."; Windows: hidden or system attribute
    bool isFile = false;   // it exists, links followed, and is not a folder: it can be selected
    std::int64_t lastWriteUtcMsecs = 0; // links to files give their target's time
    std::int64_t size = 0;
};

// One folder's entries in the order the system lists them, "." and ".." included. An object is
// meant to be refilled folder after folder: the walk then allocates nothing per entry.
class DirectoryListing
{
public:
    // folder ends with the delimiter. False when it cannot be listed; the listing is then empty.
    bool read(const NativeString &folder);
    std::size_t size() const { return m_entries.size(); }
    const DirectoryEntry &entry(std::size_t index) const { return m_entries[index]; }
    NativeStringView name(std::size_t index) const
    {
        const DirectoryEntry &e = m_entries[index];
        return NativeStringView(m_names.data() + e.nameOffset, e.nameLength);
    }

private:
    void add(NativeStringView name, const DirectoryEntry &entry)
    {
        DirectoryEntry &added = m_entries.emplace_back(entry);
        added.nameOffset = m_names.size();
        added.nameLength = name.size();
        m_names.append(name);
    }

    std::vector<DirectoryEntry> m_entries;
    NativeString m_names;
};

enum class PathKind { Missing, File, Folder }; // File: any entry that is not a folder

struct PathInfo {
    PathKind kind = PathKind::Missing;
    std::int64_t lastWriteUtcMsecs = 0;
    std::int64_t size = 0;
};

// What the path names, links followed: a link that leads nowhere is Missing.
PathInfo QueryPath(const NativeString &path);
// The entry exists (links not followed) and is hidden.
bool IsHiddenEntry(const NativeString &path);
// Both paths exist and name the same file or folder (same device and file number).
bool SameEntry(const NativeString &a, const NativeString &b);
// Creates the folder and its missing parents. Returns 0 on success or when the folder is
// already there, otherwise the system's error code.
int CreateFolders(const NativeString &folder);

enum class CopyStatus { Done, SameFile, NotRegularFile, Failed };

struct CopyResult {
    CopyStatus status = CopyStatus::Done;
    int error = 0; // the system's error code when Failed
};

// Copies source over target through a temporary file in the target's folder that takes the
// target's name at the end: the old target keeps its content until the new one is complete, and
// a failed copy leaves no temporary file. Content, last-write time and permission bits are
// copied. targetExists tells what a query of the target just found. A target that is the source
// itself is refused, and so is a source that is not a plain file (a folder, a pipe, a device).
// progress receives the bytes written since its last call.
CopyResult CopyFileReplacing(const NativeString &source, const NativeString &target,
                             bool targetExists, const std::function<void(std::int64_t)> &progress);

// The account name of the effective user; empty when the system cannot tell.
NativeString CurrentUserName();

} // namespace platform
