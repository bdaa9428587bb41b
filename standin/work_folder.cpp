#include "work_folder.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "companion/temp_pbn_file.h"
#include "platform/interrupt_cleanup.h"

namespace standin {

namespace {

// A working folder is made under a hidden name, its lock taken, and only then renamed to the name that other
// stand-ins look for: so every folder they find by that name is locked for as long as its stand-in runs, and a
// folder whose lock is free was left by one that was killed.
constexpr std::string_view WORK_FOLDER_PREFIX = "tricksmith-standin-";
constexpr std::string_view NEW_FOLDER_PREFIX = ".tricksmith-standin-";
constexpr const char *LOCK_NAME = "lock";
// What the solver writes into the folder, the only file besides the lock.
constexpr const char *SOLVER_DUMP_NAME = "dump.txt";
// A folder still under its hidden name is a stand-in's first moments; one this old is what a stand-in killed in
// those moments left.
constexpr std::time_t NEW_FOLDER_ABANDONED_AFTER_SECONDS = 3600;
constexpr int MAKE_ATTEMPTS = 100;

bool SameFile(const struct stat &a, const struct stat &b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when `path` is still the folder open as `folder`, with `lock` still its lock file.
bool StillNamed(const std::string &path, int folder, int lock) {
    struct stat named, opened, lockNamed, lockOpened;
    return lstat(path.c_str(), &named) == 0 && fstat(folder, &opened) == 0 && SameFile(named, opened) &&
           fstatat(folder, LOCK_NAME, &lockNamed, AT_SYMLINK_NOFOLLOW) == 0 && fstat(lock, &lockOpened) == 0 &&
           SameFile(lockNamed, lockOpened);
}

// Removes one of our folders when no running stand-in holds it. The lock is held while the folder goes, so
// that a stand-in making it (under its hidden name) notices and starts again.
void RemoveIfAbandoned(const std::string &path, bool hidden) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return;
    if (hidden && std::time(nullptr) - info.st_mtime < NEW_FOLDER_ABANDONED_AFTER_SECONDS)
        return;
    int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return;
    // A visible folder without its lock file is none of ours to judge. An old hidden one may have lost its
    // stand-in before the lock file was made: we make it, so that the folder goes under a lock all the same.
    int lock = openat(folder, LOCK_NAME, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (hidden ? O_CREAT : 0), 0600);
    if (lock >= 0 && flock(lock, LOCK_EX | LOCK_NB) == 0 && StillNamed(path, folder, lock)) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    if (lock >= 0)
        close(lock);
    close(folder);
}

void RemoveAbandonedFolders() {
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(companion::TempFolder(), error)) {
        std::string name = entry.path().filename().string();
        if (name.starts_with(WORK_FOLDER_PREFIX) || name.starts_with(NEW_FOLDER_PREFIX))
            RemoveIfAbandoned(entry.path().string(), name.starts_with(NEW_FOLDER_PREFIX));
    }
}

// Renames the hidden folder to its visible name unless that name is taken.
bool RenameIntoView(const std::string &from, const std::string &to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    // A file system that cannot refuse to replace: a plain rename would replace an empty folder of that name.
    struct stat existing;
    return lstat(to.c_str(), &existing) != 0 && errno == ENOENT && rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

WorkFolder::~WorkFolder() {
    Remove();
}

bool WorkFolder::Make() {
    Remove();
    RemoveAbandonedFolders();
    const std::string temp = companion::TempFolder();
    // An interrupt waits until the new folder is where it would find it.
    platform::HeldInterrupts held;
    for (int attempt = 0; attempt < MAKE_ATTEMPTS; ++attempt) {
        std::string hidden = temp + std::string(NEW_FOLDER_PREFIX) + "XXXXXX";
        if (!mkdtemp(hidden.data()))
            return false; // the temporary folder itself will not have it
        std::string visible = temp + std::string(WORK_FOLDER_PREFIX) + hidden.substr(hidden.size() - 6);
        int folder = open(hidden.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int lock =
            folder < 0 ? -1 : openat(folder, LOCK_NAME, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        bool locked = lock >= 0 && flock(lock, LOCK_EX | LOCK_NB) == 0 && StillNamed(hidden, folder, lock);
        if (locked && RenameIntoView(hidden, visible)) {
            close(folder);
            m_path = visible;
            m_lock = lock;
            m_pending = {platform::AddPendingTemporaryFolder(m_path),
                         platform::AddPendingTemporaryFile(m_path + '/' + LOCK_NAME),
                         platform::AddPendingTemporaryFile(m_path + '/' + SOLVER_DUMP_NAME)};
            return true;
        }
        // Lost to a stand-in that took the folder for abandoned, or the visible name is taken: the folder, if
        // it is still ours, goes, and we start again under a new name.
        if (locked) {
            std::error_code ignored;
            std::filesystem::remove_all(hidden, ignored);
        }
        if (lock >= 0)
            close(lock);
        if (folder >= 0)
            close(folder);
    }
    return false;
}

void WorkFolder::Remove() {
    // An interrupt waits until the folder is gone and forgotten: it must not find a name that another stand-in
    // may have taken since.
    platform::HeldInterrupts held;
    // The lock is let go only once the folder is gone, so no other stand-in takes it meanwhile.
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
        m_path.clear();
    }
    for (int &slot : m_pending)
        platform::DropPendingTemporaryFile(std::exchange(slot, -1));
    if (m_lock >= 0)
        close(m_lock);
    m_lock = -1;
}

} // namespace standin
