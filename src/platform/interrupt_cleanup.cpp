#include "platform/interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace platform {

namespace {

constexpr int SLOTS = 16;
// The user's or the system's interrupts, and a file size limit passed while a temporary file grows.
constexpr int INTERRUPTS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};

// A slot's path is read by the handler only while the slot is marked used, and written only while it is not.
char g_paths[SLOTS][PATH_MAX];
std::atomic<bool> g_used[SLOTS];

extern "C" void RemovePendingFilesAndEnd(int signalNumber) {
    for (int slot = 0; slot < SLOTS; ++slot)
        if (g_used[slot].load())
            unlink(g_paths[slot]);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signalNumber, &fallback, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signalNumber);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(signalNumber);
}

} // namespace

void RemoveTemporaryFilesOnInterrupt() {
    static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads the table without a lock");
    for (int signalNumber : INTERRUPTS) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction handler {};
        handler.sa_handler = RemovePendingFilesAndEnd;
        sigemptyset(&handler.sa_mask);
        // One interrupt at a time: a second one while the files are removed waits for the first to end the run.
        for (int other : INTERRUPTS)
            sigaddset(&handler.sa_mask, other);
        sigaction(signalNumber, &handler, nullptr);
    }
}

int AddPendingTemporaryFile(const std::string &path) {
    if (path.size() >= PATH_MAX)
        return -1;
    for (int slot = 0; slot < SLOTS; ++slot) {
        if (g_used[slot].load())
            continue;
        std::memcpy(g_paths[slot], path.c_str(), path.size() + 1);
        g_used[slot].store(true);
        return slot;
    }
    return -1;
}

void DropPendingTemporaryFile(int slot) {
    if (slot >= 0 && slot < SLOTS)
        g_used[slot].store(false);
}

} // namespace platform
