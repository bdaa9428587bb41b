#pragma once
// Child processes: the companion started without waiting (the hand-off), and a child with pipes on its standard
// input and output for the automation transport. Nothing here leaves a zombie or an orphan behind, and a child
// that dies while we write to it never kills us with SIGPIPE.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace platform {

// Starts `path` with the arguments `args` (argv[0] is `path`) and does not wait for it; a detached thread reaps
// it when it ends. Returns 0, or the errno value that says why it could not be started.
int SpawnDetached(const std::string &path, const std::vector<std::string> &args);

// The text of an errno value ("No such file or directory").
std::string ErrnoText(int error);

// A child process whose standard input and output are pipes to us; its standard error is ours. The child leads
// a process group of its own; whenever the child is reaped (it ended, or was killed), whatever still runs in its
// group is killed first, so nothing it started outlives it. The destructor kills and reaps a running child.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Starts `path` with `args`. Returns 0, or the errno value of the failure (no child is left then).
    int Start(const std::string &path, const std::vector<std::string> &args);
    bool Running() const { return m_pid > 0; }

    // Writes `line` and a line feed. False when the child no longer reads (it ended or closed its input).
    bool WriteLine(std::string_view line);
    // Closes our end of the child's standard input, so the child sees end of file.
    void CloseInput();

    enum class ReadResult { LINE, END_OF_FILE, TIMEOUT, TOO_LONG, ERROR };
    // Reads one line (without its LF, and without a CR before it) within `timeoutMs` milliseconds.
    // TOO_LONG when more than `maxLength` bytes arrive without a line end; END_OF_FILE when the child closed its
    // output or ended (even while a process it started keeps the pipe open).
    ReadResult ReadLine(std::string &line, int timeoutMs, size_t maxLength);

    // Waits up to `timeoutMs` for the child to end; true when it has ended and is reaped.
    bool WaitExit(int timeoutMs);
    // Kills the child and its process group (SIGKILL), and reaps it; nothing when no child runs.
    void Kill();
    // How the child ended, e.g. "exit status 3" or "signal 9 (Killed)"; empty while it runs.
    std::string DescribeExit() const;
    // Raw wait status of the ended child (see waitpid), -1 while none ended.
    int ExitStatus() const { return m_status; }

private:
    bool Ended() const; // the child has ended (or there is none), whether reaped or not
    void CloseFds();

    pid_t m_pid = -1;
    int m_in = -1;  // our write end of the child's stdin
    int m_out = -1; // our read end of the child's stdout
    int m_status = -1;
    std::string m_buffer; // bytes read beyond the last line returned
};

} // namespace platform
