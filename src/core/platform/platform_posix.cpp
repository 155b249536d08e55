#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform
{

namespace
{

std::int64_t MsecsOf(const timespec &time)
{
    // tv_nsec is never negative, so this rounds towards the past for times before 1970 too.
    return std::int64_t(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

std::string FolderOf(const std::string &path)
{
    const std::size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the error a delayed write may only show here.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

int WriteAll(int out, const char *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(out, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        length -= std::size_t(written);
    }
    return 0;
}

// Copies the size bytes the source held when it was opened, from the current offsets: the copy
// is the content of that moment, which matches the times it is given. Pseudo file systems may
// report sizes that are not their content's: when the kernel copies nothing, the plain loop
// reads to the end.
int CopyData(int in, int out, std::int64_t size, const std::function<void(std::int64_t)> &progress)
{
#ifdef __linux__
    // The kernel copies without a trip through user memory; file systems that cannot do it
    // for this pair answer at once and the plain loop below takes over from the same offsets.
    constexpr std::int64_t Chunk = 8 * 1024 * 1024;
    std::int64_t copied = 0;
    while (copied < size) {
        const ssize_t done = ::copy_file_range(in, nullptr, out, nullptr,
                                               std::size_t(std::min(Chunk, size - copied)), 0);
        if (done > 0) {
            copied += done;
            if (progress)
                progress(done);
            continue;
        }
        if (done == 0) {
            if (copied > 0) // the source shrank meanwhile
                return 0;
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            break;
        return errno;
    }
    if (size > 0 && copied == size)
        return 0;
#else
    (void)size;
#endif
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (const int error = WriteAll(out, buffer, std::size_t(got)))
            return error;
        if (progress)
            progress(got);
    }
}

// The process's file-creation mask. Reading it means setting it and putting it back, which is
// safe only while nothing else creates files: it is read as the program loads, before any
// thread starts (copies may run outside the main thread).
const mode_t CreationMask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
}();

// Writes the content, then the permission bits when the new file did not get them at its
// creation (createdMode), then the times, which must come after the last write.
int Fill(int in, int out, const struct stat &from, mode_t createdMode,
         const std::function<void(std::int64_t)> &progress)
{
    if (const int error = CopyData(in, out, from.st_size, progress))
        return error;
    const mode_t mode = from.st_mode & 0777;
    if (mode != createdMode && ::fchmod(out, mode) != 0)
        return errno;
    const timespec times[2] = {from.st_atim, from.st_mtim};
    return ::futimens(out, times) == 0 ? 0 : errno;
}

#ifdef O_TMPFILE
// Gives a file opened with O_TMPFILE its name; fails when the name is taken.
int NameUnnamed(int fd, const std::string &path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno == EEXIST)
        return errno;
    // Without /proc, a process with the right capability can still do it.
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}
#endif

} // namespace

bool DirectoryListing::read(const NativeString &folder)
{
    m_entries.clear();
    m_names.clear();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    while (const dirent *found = ::readdir(dir)) {
        DirectoryEntry entry;
        entry.isHidden = found->d_name[0] == '.';
        unsigned char type = found->d_type;
        struct stat st;
        bool haveTimes = false;
        if (type == DT_UNKNOWN && ::fstatat(fd, found->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            type = IFTODT(st.st_mode);
            haveTimes = type != DT_LNK;
        }
        entry.isFolder = type == DT_DIR;
        // A folder is never selected, so its times are not read: this saves one call per
        // folder, "." and ".." included. A link gives its target's times when it has one.
        if (!entry.isFolder) {
            const bool followed = haveTimes || ::fstatat(fd, found->d_name, &st, 0) == 0;
            entry.isFile = followed && !S_ISDIR(st.st_mode);
            haveTimes = followed || ::fstatat(fd, found->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
            if (haveTimes) {
                entry.lastWriteUtcMsecs = MsecsOf(st.st_mtim);
                entry.size = st.st_size;
            }
        }
        add(found->d_name, entry);
    }
    ::closedir(dir);
    return true;
}

PathInfo QueryPath(const NativeString &path)
{
    PathInfo info;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return info;
    info.kind = S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
    info.lastWriteUtcMsecs = MsecsOf(st.st_mtim);
    info.size = st.st_size;
    return info;
}

bool IsHiddenEntry(const NativeString &path)
{
    const std::size_t cut = path.rfind('/');
    const std::size_t nameStart = cut == std::string::npos ? 0 : cut + 1;
    struct stat st;
    return nameStart < path.size() && path[nameStart] == '.' && ::lstat(path.c_str(), &st) == 0;
}

bool SameEntry(const NativeString &a, const NativeString &b)
{
    struct stat first;
    struct stat second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

int CreateFolders(const NativeString &folder)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty())
        return ENOENT;
    const auto isFolder = [&path] {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    };
    if (::mkdir(path.c_str(), 0777) == 0)
        return 0;
    if (errno == EEXIST)
        return isFolder() ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::size_t cut = path.rfind('/');
    if (cut == std::string::npos)
        return ENOENT;
    if (const int error = CreateFolders(path.substr(0, cut + 1)))
        return error;
    if (::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && isFolder()))
        return 0;
    return errno;
}

CopyResult CopyFileReplacing(const NativeString &source, const NativeString &target,
                             bool targetExists, const std::function<void(std::int64_t)> &progress)
{
    const auto failed = [](int error) { return CopyResult{CopyStatus::Failed, error}; };
    // Not blocking: a named pipe must not hang the copy waiting for a writer.
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0)
        return failed(errno);
    struct stat from;
    if (::fstat(in.get(), &from) != 0)
        return failed(errno);
    if (!S_ISREG(from.st_mode))
        return CopyResult{CopyStatus::NotRegularFile, 0};
    struct stat existing;
    if (targetExists && ::stat(target.c_str(), &existing) == 0 && existing.st_dev == from.st_dev &&
        existing.st_ino == from.st_ino)
        return CopyResult{CopyStatus::SameFile, 0};

    const std::string folder = FolderOf(target);
#ifdef O_TMPFILE
    // A new target is written as a file without a name, which gets the target's name once
    // complete: nothing is left behind if the copy fails or the program is stopped midway.
    if (!targetExists) {
        const mode_t mode = from.st_mode & 0777;
        FileDescriptor out(
            ::open(folder.empty() ? "." : folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, mode));
        if (out.get() >= 0) {
            if (const int error = Fill(in.get(), out.get(), from, mode & ~CreationMask, progress))
                return failed(error);
            if (NameUnnamed(out.get(), target) == 0) {
                const int closeError = out.close();
                return closeError ? failed(closeError) : CopyResult{};
            }
        }
        // The file system has no unnamed files, or the target appeared meanwhile: go on
        // through a named temporary file.
        if (::lseek(in.get(), 0, SEEK_SET) < 0)
            return failed(errno);
    }
#endif
    std::string temporary = folder + ".tarsel-XXXXXX";
    FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0)
        return failed(errno);
    int error = Fill(in.get(), out.get(), from, 0600, progress);
    if (const int closeError = out.close(); !error)
        error = closeError;
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        return failed(error);
    }
    return CopyResult{};
}

NativeString CurrentUserName()
{
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? std::size_t(suggested) : std::size_t(16384));
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name)
        return found->pw_name;
    return {};
}

} // namespace platform
