#include "program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

extern char **environ;

namespace {

std::vector<char *> CStrings(std::vector<std::string> &strings) {
    std::vector<char *> pointers;
    for (std::string &s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> Environment(const std::vector<std::string> &extra) {
    std::vector<std::string> entries;
    for (char **e = environ; *e; ++e) {
        std::string entry = *e;
        bool overridden = false;
        for (const std::string &x : extra)
            if (entry.substr(0, entry.find('=') + 1) == x.substr(0, x.find('=') + 1))
                overridden = true;
        if (!overridden)
            entries.push_back(entry);
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

ProgramResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                         const std::vector<std::string> &environment) {
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<std::string> argv = arguments;
    argv.insert(argv.begin(), program);
    std::vector<std::string> envp = Environment(environment);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, CStrings(argv).data(), CStrings(envp).data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    ProgramResult result;
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = std::string("cannot start ") + program + ": " + std::strerror(spawned);
        return result;
    }
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string *targets[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                targets[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    result.exitCode = WaitFor(pid);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

PageServer::PageServer(const std::string &root) {
    int inPipe[2], outPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    std::vector<std::string> argv = {"python3", BATCH_TEST_DIR "/page_server.py", root};
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "python3", &actions, nullptr, CStrings(argv).data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(inPipe[0]);
    close(outPipe[1]);
    if (spawned != 0) {
        close(inPipe[1]);
        close(outPipe[0]);
        throw std::runtime_error("cannot start python3");
    }
    m_pid = pid;
    m_stdin = inPipe[1];
    std::string line;
    char c;
    while (read(outPipe[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(outPipe[0]);
    m_port = std::atoi(line.c_str());
    if (m_port <= 0)
        throw std::runtime_error("the page server did not start");
}

PageServer::~PageServer() {
    if (m_stdin >= 0)
        close(m_stdin); // the server ends when its input closes
    if (m_pid > 0)
        WaitFor(m_pid);
}

std::string PageServer::Url(const std::string &pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}
