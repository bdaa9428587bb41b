#include "platform/interrupt_cleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace platform {

namespace {

constexpr int SLOTS = 16;
// The user's or the system's interrupts, and a file size limit passed while a temporary file grows.
constexpr int INTERRUPTS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};

enum Entry : unsigned char { UNUSED, FILE_ENTRY, FOLDER_ENTRY };

// A slot's path is read by the handler only while the slot is in use, and written only while it is not.
char g_paths[SLOTS][PATH_MAX];
std::atomic<unsigned char> g_entries[SLOTS];

// The guards alive, and a signal that came while one was: the last guard to go takes it up.
std::atomic<int> g_holds{0};
std::atomic<int> g_heldSignal{0};

sigset_t Interrupts() {
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : INTERRUPTS)
        sigaddset(&set, signalNumber);
    return set;
}

void RemovePendingEntries(Entry kind) {
    for (int slot = 0; slot < SLOTS; ++slot)
        if (g_entries[slot].load() == kind)
            (void)(kind == FILE_ENTRY ? unlink(g_paths[slot]) : rmdir(g_paths[slot]));
}

extern "C" void RemovePendingFilesAndEnd(int signalNumber) {
    if (g_holds.load() > 0) {
        // Held off, though taken by a thread that does not block it: left to the last guard to go. Should that
        // guard go meanwhile without finding it, whichever of the two takes it back first ends the run.
        g_heldSignal.store(signalNumber);
        if (g_holds.load() > 0 || g_heldSignal.exchange(0) == 0)
            return;
    }
    RemovePendingEntries(FILE_ENTRY);
    RemovePendingEntries(FOLDER_ENTRY);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signalNumber, &fallback, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(signalNumber);
}

int AddPending(const std::string &path, Entry kind) {
    if (path.size() >= PATH_MAX)
        return -1;
    for (int slot = 0; slot < SLOTS; ++slot) {
        if (g_entries[slot].load() != UNUSED)
            continue;
        std::memcpy(g_paths[slot], path.c_str(), path.size() + 1);
        g_entries[slot].store(kind);
        return slot;
    }
    return -1;
}

} // namespace

void RemoveTemporaryFilesOnInterrupt() {
    static_assert(std::atomic<unsigned char>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
                  "the handler reads the table without a lock");
    for (int signalNumber : INTERRUPTS) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction handler {};
        handler.sa_handler = RemovePendingFilesAndEnd;
        // A signal held off returns from the handler: what the thread was waiting for goes on.
        handler.sa_flags = SA_RESTART;
        // One interrupt at a time: a second one while the files are removed waits for the first to end the run.
        handler.sa_mask = Interrupts();
        sigaction(signalNumber, &handler, nullptr);
    }
}

int AddPendingTemporaryFile(const std::string &path) {
    return AddPending(path, FILE_ENTRY);
}

int AddPendingTemporaryFolder(const std::string &path) {
    return AddPending(path, FOLDER_ENTRY);
}

void DropPendingTemporaryFile(int slot) {
    if (slot >= 0 && slot < SLOTS)
        g_entries[slot].store(UNUSED);
}

HeldInterrupts::HeldInterrupts() {
    g_holds.fetch_add(1);
    const sigset_t interrupts = Interrupts();
    pthread_sigmask(SIG_BLOCK, &interrupts, &m_previous);
}

HeldInterrupts::~HeldInterrupts() {
    const bool last = g_holds.fetch_sub(1) == 1;
    // A signal that waited, blocked, for this thread is delivered here.
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    if (int held = last ? g_heldSignal.exchange(0) : 0)
        raise(held);
}

} // namespace platform
