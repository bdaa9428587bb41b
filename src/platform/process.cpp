#include "platform/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

// Spawn attributes shared by both kinds of child: an empty signal mask and default SIGPIPE handling, whatever
// the calling thread had blocked or ignored.
class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&m_attr);
        sigset_t empty;
        sigemptyset(&empty);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigmask(&m_attr, &empty);
        posix_spawnattr_setsigdefault(&m_attr, &defaults);
        posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
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

// The children of `pid`, from the kernel's lists of each of its threads.
std::vector<pid_t> ChildrenOf(pid_t pid) {
    std::vector<pid_t> children;
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *folder = opendir(tasks.c_str());
    if (!folder)
        return children;
    while (dirent *task = readdir(folder)) {
        if (task->d_name[0] == '.')
            continue;
        std::string list = tasks + "/" + task->d_name + "/children";
        int fd = open(list.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        std::string text;
        char buffer[4096];
        ssize_t got;
        while ((got = read(fd, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<size_t>(got));
        close(fd);
        const char *at = text.c_str();
        char *end = nullptr;
        for (long child = std::strtol(at, &end, 10); end != at; child = std::strtol(at, &end, 10)) {
            children.push_back(static_cast<pid_t>(child));
            at = end;
        }
    }
    closedir(folder);
    return children;
}

// The processes that `pid` started, and theirs, each stopped as it is found so that it cannot start another
// while we look. A server killed alone would leave its helpers running without a parent.
std::vector<pid_t> StopDescendants(pid_t pid) {
    constexpr size_t MAX_DESCENDANTS = 4096;
    std::vector<pid_t> found;
    // A work list, not recursion: a chain of helpers may be deep.
    std::vector<pid_t> children = ChildrenOf(pid);
    for (size_t scanned = 0;;) {
        for (pid_t child : children) {
            if (found.size() >= MAX_DESCENDANTS)
                return found;
            kill(child, SIGSTOP);
            found.push_back(child);
        }
        if (scanned == found.size())
            return found;
        children = ChildrenOf(found[scanned++]);
    }
}

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
    SpawnAttributes attributes;
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
        pollfd fd{m_out, POLLIN, 0};
        int ready = poll(&fd, 1, static_cast<int>(left));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return ReadResult::ERROR;
        }
        if (ready == 0)
            return ReadResult::TIMEOUT;
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

bool ChildProcess::WaitExit(int timeoutMs) {
    if (m_pid <= 0)
        return true;
    long long deadline = NowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        pid_t result = waitpid(m_pid, &status, WNOHANG);
        if (result == m_pid || (result < 0 && errno != EINTR)) {
            m_status = result == m_pid ? status : -1;
            m_pid = -1;
            CloseFds();
            return true;
        }
        if (NowMs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void ChildProcess::Kill() {
    if (m_pid > 0) {
        kill(m_pid, SIGSTOP);
        std::vector<pid_t> descendants = StopDescendants(m_pid);
        kill(m_pid, SIGKILL);
        for (pid_t descendant : descendants)
            kill(descendant, SIGKILL);
        int status = 0;
        if (WaitForChild(m_pid, &status) == m_pid)
            m_status = status;
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
