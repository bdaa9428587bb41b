#pragma once
// Temporary files and folders that a run interrupted by the user or the system (SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// or SIGXFSZ when a file size limit is passed) removes before it ends. The handler may run at any moment, so the
// paths wait in a fixed table that it reads without taking a lock or allocating; entries are added and dropped by
// one thread at a time.
#include <signal.h>

#include <string>

namespace platform {

// Installs the handler for each of these signals that the process does not ignore (a run under nohup keeps
// ignoring SIGHUP; one that ignores SIGXFSZ sees "File too large" instead): it removes every pending temporary
// file, then every pending folder, then ends the process by the signal with its default action, so that whoever
// waits sees the usual status.
void RemoveTemporaryFilesOnInterrupt();

// Enters a path in the table before the file is created; returns its slot, or -1 when the table is full (the
// file is then left behind by an interrupted run) or the path too long to keep.
int AddPendingTemporaryFile(const std::string &path);
// The same for a folder, which an interrupt removes after the files, and only when they leave it empty: each file
// that may be in it is entered too.
int AddPendingTemporaryFolder(const std::string &path);
// Drops the entry once the file or folder is gone or has become the target; -1 does nothing.
void DropPendingTemporaryFile(int slot);

// Holds the handled signals off for as long as it lives, so that what it guards (a file overwritten in place) is
// never cut short: one that comes meanwhile takes effect when the last guard goes. The signals are blocked in
// this thread; another thread that takes one leaves it to the guard. Guards nest.
class HeldInterrupts {
public:
    HeldInterrupts();
    ~HeldInterrupts();
    HeldInterrupts(const HeldInterrupts &) = delete;
    HeldInterrupts &operator=(const HeldInterrupts &) = delete;

private:
    sigset_t m_previous;
};

} // namespace platform
