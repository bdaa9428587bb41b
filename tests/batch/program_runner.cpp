#include "program_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

extern char **environ;

namespace {

// Starts argv[0] (searched in PATH) with its standard input on `in` (-1: /dev/null), its standard output (and
// standard error, when `errorsToo`) on `out`.
pid_t Spawn(std::vector<std::string> argv, int in, int out, bool errorsToo) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in < 0)
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    if (errorsToo)
        posix_spawn_file_actions_adddup2(&actions, out, 2);
    std::vector<char *> pointers;
    for (std::string &s : argv)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

ProgramResult RunProgram(const std::string &program, const std::vector<std::string> &arguments) {
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> argv = arguments;
    argv.insert(argv.begin(), program);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = Spawn(argv, -1, pipe[1], true);
    close(pipe[1]);
    ProgramResult result;
    char buffer[4096];
    for (ssize_t got; (got = read(pipe[0], buffer, sizeof buffer)) != 0;)
        if (got > 0)
            result.output.append(buffer, static_cast<size_t>(got));
        else if (errno != EINTR)
            break;
    close(pipe[0]);
    result.exitCode = WaitFor(pid);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

PageServer::PageServer(const std::string &root) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = Spawn({"python3", BATCH_TEST_DIR "/page_server.py", root}, in[0], out[1], false);
    close(in[0]);
    close(out[1]);
    m_stdin = in[1];
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    m_port = std::atoi(line.c_str());
    if (m_port <= 0)
        throw std::runtime_error("the page server did not start");
}

PageServer::~PageServer() {
    close(m_stdin); // the server ends when its input closes
    WaitFor(m_pid);
}

std::string PageServer::Url(const std::string &pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}
