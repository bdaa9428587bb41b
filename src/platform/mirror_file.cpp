#include "platform/mirror_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/error_report.h"
#include "platform/interrupt_cleanup.h"
#include "platform/path_identity.h"
#include "platform/wide_text.h"

namespace platform {

namespace {

InPlaceWriteHook g_inPlaceWriteHook;

[[noreturn]] void ThrowSystemError(const char *what, int error) {
    std::string text = what;
    text += ": ";
    text += std::strerror(error);
    text += '.';
    throw ProgramException(Utf8ToUtf16(text));
}

// A link is replaced by writing to the file it points to, so the link itself survives as a link; a link to a
// file that does not exist yet gets that file. A link that leads nowhere the system can follow (a loop) is
// refused with the system's reason, never replaced.
std::string ResolveLink(const std::string &path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return DanglingLinkTarget(path);
        ThrowSystemError("Cannot write the file", errno);
    }
    std::optional<std::string> resolved = RealPath(path);
    if (!resolved)
        ThrowSystemError("Cannot write the file", errno);
    return std::move(*resolved);
}

std::string TempNameBeside(const std::string &target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    std::string folder = FolderOf(target);
    std::string name = NameOf(target);
    // The temporary name adds about two dozen bytes to the target's: keep it within the longest name a folder
    // allows, so that a target with a long (but allowed) name can still be written.
    constexpr size_t MAX_NAME_PART = 200;
    if (name.size() > MAX_NAME_PART)
        name.resize(MAX_NAME_PART);
    std::string temp = folder == "/" ? "/" : folder + "/";
    temp += '.';
    temp += name;
    temp += '.';
    temp += std::to_string(getpid());
    temp += '-';
    temp += std::to_string(counter++ + attempt);
    temp += ".tmp";
    return temp;
}

// Writes all of the bytes at the file's offset; 0, or the errno of the write that failed. A descriptor that
// another program left non-blocking (a terminal, a pipe) is waited on until it takes more.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written >= 0) {
            bytes.remove_prefix(static_cast<size_t>(written));
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd ready{fd, POLLOUT, 0};
            if (poll(&ready, 1, -1) < 0 && errno != EINTR)
                return errno;
        } else if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

// A descriptor that the program was given (standard output, a redirection): written as the bytes come, through
// a copy of it, at its own offset or at the end when it appends. What it leads to is never truncated nor
// replaced, whatever it is.
int CopyHeldDescriptor(int held) {
    int flags = fcntl(held, F_GETFL);
    if (flags < 0)
        ThrowSystemError("Cannot write the file", errno);
    if ((flags & O_ACCMODE) == O_RDONLY)
        ThrowSystemError("Cannot write the file", EBADF);
    int fd = fcntl(held, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        ThrowSystemError("Cannot write the file", errno);
    return fd;
}

// Opens an existing target for writing without waiting for ever: a named pipe that no program reads would hold
// the run for good. A reader started beside the run (`cat pipe & dealscope ... -pbn pipe`) may open its end a
// moment later, so the pipe is tried again for a few seconds. Once open, writes wait for the reader as usual.
int OpenExistingTarget(const std::string &path) {
    constexpr int READER_TRIES = 60; // 3 seconds
    int fd = -1;
    for (int tries = 0; tries < READER_TRIES; ++tries) {
        fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0 || errno != ENXIO)
            break;
        usleep(50 * 1000);
    }
    if (fd < 0 && errno == ENXIO)
        throw ProgramException(u"Cannot write the file: it is a named pipe that no program is reading.");
    if (fd < 0)
        ThrowSystemError("Cannot write the file", errno);
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        int error = errno;
        close(fd);
        ThrowSystemError("Cannot write the file", error);
    }
    return fd;
}

// True when a file of `length` bytes stays within the file size limit. A write past it would stop at the limit,
// and a file longer than that already would keep its old bytes beyond.
bool WithinFileSizeLimit(size_t length) {
    rlimit limit;
    return getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || length <= limit.rlim_cur;
}

// Overwrites the file in place with all of `bytes`, once every one of them is sure to fit: the file size limit
// allows the new length, and room for all of it is reserved, so a full disk or a quota refuses the write before
// anything of the old content is touched. Returns 0 or the errno of the failure.
int OverwriteInPlace(int fd, std::string_view bytes) {
    if (!WithinFileSizeLimit(bytes.size()))
        return EFBIG;
    // From the reservation, which may lengthen the file, to the file whole on disk, an interrupt waits.
    HeldInterrupts held;
    struct stat before;
    if (fstat(fd, &before) != 0)
        return errno;
    if (!bytes.empty()) {
        if (int error = posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()))) {
            // A reservation that failed part way may have lengthened the file: give it back its old length.
            struct stat after;
            if (fstat(fd, &after) == 0 && after.st_size != before.st_size)
                (void)ftruncate(fd, before.st_size);
            return error;
        }
    }
    // Nothing was written yet: the file's offset is still at its start.
    if (int error = WriteAll(fd, bytes))
        return error;
    if (g_inPlaceWriteHook)
        g_inPlaceWriteHook();
    if (ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || fsync(fd) != 0)
        return errno;
    return 0;
}

} // namespace

MirrorFile::MirrorFile(std::string targetPath) {
    if (targetPath.empty())
        throw ProgramException(u"No file name was given.");
    // The system would read the name only up to a NUL, and write some other file.
    if (targetPath.find('\0') != std::string::npos)
        ThrowSystemError("Cannot write the file", EINVAL);
    if (int held = NamedDescriptor(targetPath); held >= 0) {
        m_targetPath = std::move(targetPath);
        m_fd = CopyHeldDescriptor(held);
        m_direct = true;
        return;
    }
    m_targetPath = ResolveLink(targetPath);
    struct stat targetInfo;
    bool targetExists = stat(m_targetPath.c_str(), &targetInfo) == 0;
    if (targetExists && S_ISDIR(targetInfo.st_mode))
        throw ProgramException(u"Cannot write the file: it is a folder.");
    if (targetExists) {
        // The file is written only where the system lets us open it for writing: renaming a new file over a
        // read-only one would succeed wherever the folder is open to us. A device or a pipe (/dev/null, a FIFO)
        // takes the bytes as they come: renaming over it would put a plain file in its place.
        m_fd = OpenExistingTarget(m_targetPath);
        if (fstat(m_fd, &targetInfo) != 0 || !S_ISREG(targetInfo.st_mode)) {
            m_direct = true;
            return;
        }
    }
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string temp = TempNameBeside(m_targetPath, attempt);
        // Entered before it exists, so that an interrupt never leaves it behind.
        int pending = AddPendingTemporaryFile(temp);
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            DropPendingTemporaryFile(pending);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0 && !targetExists)
            ThrowSystemError("Cannot create the file", errno);
        // A replaced file keeps its owner and its permissions, the owner first (a change of owner clears the
        // set-id bits). Where the new file cannot be given them, or cannot be made beside the old one (a folder
        // closed to us), the old file is written in place: it is ours to write, but not ours to replace.
        bool kept = fd >= 0 && targetExists &&
                    ((targetInfo.st_uid == geteuid() && targetInfo.st_gid == getegid()) ||
                     fchown(fd, targetInfo.st_uid, targetInfo.st_gid) == 0) &&
                    fchmod(fd, targetInfo.st_mode & 07777) == 0;
        if (fd >= 0 && (kept || !targetExists)) {
            if (targetExists)
                close(std::exchange(m_fd, fd));
            else
                m_fd = fd;
            m_tempPath = std::move(temp);
            m_pendingSlot = pending;
            return;
        }
        if (fd >= 0) {
            close(fd);
            unlink(temp.c_str());
            DropPendingTemporaryFile(pending);
        }
        // Where the disk cannot reserve room itself, the system reserves it by reading and writing a byte per
        // block, which needs the file open for reading too; the same file, should the name have moved meanwhile.
        int both = open(m_targetPath.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat bothInfo;
        if (both >= 0 && fstat(both, &bothInfo) == 0 && bothInfo.st_dev == targetInfo.st_dev &&
            bothInfo.st_ino == targetInfo.st_ino)
            close(std::exchange(m_fd, both));
        else if (both >= 0)
            close(both);
        m_inPlace = true;
        return;
    }
    Abort();
    ThrowSystemError("Cannot create the file", EEXIST);
}

MirrorFile::~MirrorFile() {
    Abort();
}

void MirrorFile::Write(std::string_view bytes) {
    if (m_fd < 0)
        throw ProgramException(u"Cannot write the file: it is closed.");
    if (m_inPlace) {
        // Nothing of the old content is touched until all of the new is at hand.
        m_pending.append(bytes);
        return;
    }
    if (int error = WriteAll(m_fd, bytes)) {
        Abort();
        ThrowSystemError("Cannot write the file", error);
    }
}

void MirrorFile::Commit() {
    if (m_fd < 0)
        throw ProgramException(u"Cannot write the file: it is closed.");
    if (m_direct) {
        if (close(std::exchange(m_fd, -1)) != 0)
            ThrowSystemError("Cannot write the file", errno);
        return;
    }
    if (m_inPlace) {
        std::string pending = std::move(m_pending);
        int error = OverwriteInPlace(m_fd, pending);
        if (close(std::exchange(m_fd, -1)) != 0 && error == 0)
            error = errno;
        if (error != 0)
            ThrowSystemError("Cannot write the file", error);
        return;
    }
    if (fsync(m_fd) != 0) {
        int error = errno;
        Abort();
        ThrowSystemError("Cannot write the file", error);
    }
    int fd = std::exchange(m_fd, -1);
    if (close(fd) != 0) {
        int error = errno;
        ForgetTempFile();
        ThrowSystemError("Cannot write the file", error);
    }
    if (rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0) {
        int error = errno;
        ForgetTempFile();
        ThrowSystemError("Cannot replace the file", error);
    }
    // The name is the target's now: an interrupt from here on must leave it be.
    m_tempPath.clear();
    DropPendingTemporaryFile(std::exchange(m_pendingSlot, -1));
    // The new name is durable only once the folder is on disk too; a failure here loses nothing already written.
    int folder = open(FolderOf(m_targetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)fsync(folder);
        close(folder);
    }
}

void MirrorFile::Abort() noexcept {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    ForgetTempFile();
}

void MirrorFile::ForgetTempFile() noexcept {
    if (!m_tempPath.empty()) {
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    DropPendingTemporaryFile(std::exchange(m_pendingSlot, -1));
}

InPlaceWriteHook SetInPlaceWriteHook(InPlaceWriteHook hook) {
    return std::exchange(g_inPlaceWriteHook, std::move(hook));
}

void WriteFileThroughMirror(const std::string &targetPath, std::string_view bytes) {
    MirrorFile file(targetPath);
    file.Write(bytes);
    file.Commit();
}

} // namespace platform
