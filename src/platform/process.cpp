#include "platform/process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

// Spawn attributes shared by both kinds of child: an empty signal mask and default SIGPIPE handling, whatever
// the calling thread had blocked or ignored; and, when asked, a process group of the child's own.
class SpawnAttributes {
public:
    explicit SpawnAttributes(bool ownGroup = false) {
        posix_spawnattr_init(&m_attr);
        sigset_t empty;
        sigemptyset(&empty);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigmask(&m_attr, &empty);
        posix_spawnattr_setsigdefault(&m_attr, &defaults);
        posix_spawnattr_setpgroup(&m_attr, 0);
        posix_spawnattr_setflags(&m_attr, static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                             (ownGroup ? POSIX_SPAWN_SETPGROUP : 0)));
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&m_attr); }
    const posix_spawnattr_t *Get() const { return &m_attr; }

private:
    posix_spawnattr_t m_attr;
};

std::vector<char *> MakeArgv(const std::string &path, const std::vector<std::string> &args) {
    std::vector<char *> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char *>(path.c_str()));
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

int WaitForChild(pid_t pid, int *status) {
    for (;;) {
        pid_t result = waitpid(pid, status, 0);
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// How long a read waits before it looks whether the child has ended.
constexpr long long EXIT_CHECK_MS = 20;

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::string ErrnoText(int error) {
    char buffer[256];
    // The GNU strerror_r returns its text, which may or may not be in the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

int SpawnDetached(const std::string &path, const std::vector<std::string> &args) {
    SpawnAttributes attributes;
    std::vector<char *> argv = MakeArgv(path, args);
    pid_t pid = -1;
    int error = posix_spawn(&pid, path.c_str(), nullptr, attributes.Get(), argv.data(), environ);
    if (error != 0)
        return error;
    // We never watch the companion, but someone must collect its exit status, or it stays a zombie for as
    // long as the window lives.
    std::thread([pid] {
        int status = 0;
        WaitForChild(pid, &status);
    }).detach();
    return 0;
}

ChildProcess::~ChildProcess() {
    Kill();
}

int ChildProcess::Start(const std::string &path, const std::vector<std::string> &args) {
    Kill();
    m_status = -1;
    m_buffer.clear();
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0)
        return errno;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        int error = errno;
        close(toChild[0]);
        close(toChild[1]);
        return error;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 onto 0 and 1 clears close-on-exec for the child's copies only; every other pipe end closes on exec.
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    // The child leads a process group of its own, which every process it starts joins: ending the group ends
    // them all, even those whose parent has gone.
    SpawnAttributes attributes(true);
    std::vector<char *> argv = MakeArgv(path, args);
    pid_t pid = -1;
    int error = posix_spawn(&pid, path.c_str(), &actions, attributes.Get(), argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    if (error != 0) {
        close(toChild[1]);
        close(fromChild[0]);
        return error;
    }
    m_pid = pid;
    m_in = toChild[1];
    m_out = fromChild[0];
    return 0;
}

bool ChildProcess::WriteLine(std::string_view line) {
    if (m_in < 0)
        return false;
    std::string data;
    data.reserve(line.size() + 1);
    data.append(line);
    data.push_back('\n');

    // A child that has gone away turns our write into SIGPIPE, whose default action ends this process. Block it
    // for this thread while we write, and take a SIGPIPE that we caused off the pending set before unblocking.
    sigset_t pipeSet;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    bool wasPending = sigismember(&pendingBefore, SIGPIPE) == 1;
    sigset_t oldMask;
    pthread_sigmask(SIG_BLOCK, &pipeSet, &oldMask);

    bool ok = true;
    size_t done = 0;
    while (done < data.size()) {
        ssize_t written = write(m_in, data.data() + done, data.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            if (errno == EPIPE && !wasPending) {
                timespec zero{0, 0};
                while (sigtimedwait(&pipeSet, nullptr, &zero) < 0 && errno == EINTR) {
                }
            }
            break;
        }
        done += static_cast<size_t>(written);
    }
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    return ok;
}

void ChildProcess::CloseInput() {
    if (m_in >= 0) {
        close(m_in);
        m_in = -1;
    }
}

ChildProcess::ReadResult ChildProcess::ReadLine(std::string &line, int timeoutMs, size_t maxLength) {
    long long deadline = NowMs() + timeoutMs;
    size_t searchFrom = 0;
    for (;;) {
        size_t end = m_buffer.find('\n', searchFrom);
        if (end != std::string::npos) {
            size_t length = end;
            if (length > 0 && m_buffer[length - 1] == '\r')
                --length;
            if (length > maxLength)
                return ReadResult::TOO_LONG;
            line.assign(m_buffer, 0, length);
            m_buffer.erase(0, end + 1);
            return ReadResult::LINE;
        }
        searchFrom = m_buffer.size();
        if (m_buffer.size() > maxLength + 1)
            return ReadResult::TOO_LONG;
        if (m_out < 0)
            return ReadResult::END_OF_FILE;
        long long left = deadline - NowMs();
        if (left <= 0)
            return ReadResult::TIMEOUT;
        // A process the child started may hold the pipe open after the child itself has ended: look at the child
        // between short waits, and once it has ended take only what it had already written.
        bool ended = Ended();
        pollfd fd{m_out, POLLIN, 0};
        int ready = poll(&fd, 1, ended ? 0 : static_cast<int>(std::min<long long>(left, EXIT_CHECK_MS)));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return ReadResult::ERROR;
        }
        if (ready == 0) {
            if (ended)
                return ReadResult::END_OF_FILE;
            continue;
        }
        char chunk[65536];
        ssize_t got = read(m_out, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return ReadResult::ERROR;
        }
        if (got == 0) {
            close(m_out);
            m_out = -1;
            return ReadResult::END_OF_FILE; // a last line without LF is no complete reply
        }
        m_buffer.append(chunk, static_cast<size_t>(got));
    }
}

bool ChildProcess::Ended() const {
    if (m_pid <= 0)
        return true;
    // Looked at without reaping: until it is reaped, the child's id cannot be given to another process, so its
    // process group can still be ended safely.
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

bool ChildProcess::WaitExit(int timeoutMs) {
    long long deadline = NowMs() + timeoutMs;
    while (!Ended()) {
        if (NowMs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Kill(); // the child has ended: this ends what it left running in its group and reaps it
    return true;
}

void ChildProcess::Kill() {
    if (m_pid > 0) {
        // What the child left running in its group goes with it, before the child is reaped.
        kill(-m_pid, SIGKILL);
        kill(m_pid, SIGKILL); // in case it left its group
        int status = 0;
        m_status = WaitForChild(m_pid, &status) == m_pid ? status : -1;
        m_pid = -1;
    }
    CloseFds();
}

std::string ChildProcess::DescribeExit() const {
    if (m_pid > 0 || m_status < 0)
        return {};
    if (WIFEXITED(m_status))
        return "exit status " + std::to_string(WEXITSTATUS(m_status));
    if (WIFSIGNALED(m_status)) {
        int signal = WTERMSIG(m_status);
        const char *name = strsignal(signal);
        return "signal " + std::to_string(signal) + (name ? std::string(" (") + name + ")" : std::string());
    }
    return "wait status " + std::to_string(m_status);
}

void ChildProcess::CloseFds() {
    CloseInput();
    if (m_out >= 0) {
        close(m_out);
        m_out = -1;
    }
}

} // namespace platform
