#pragma once
// Runs the built dealscope program as a user would, and the tests' own HTTP server.
#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1;  // the exit status, or 128 + the signal that ended it
    std::string output; // standard output and standard error together
    double seconds = 0;
};

// Runs `program` with the arguments (argv[0] is the program) in this process's environment.
ProgramResult RunProgram(const std::string &program, const std::vector<std::string> &arguments);

// tests/batch/page_server.py serving `root` on 127.0.0.1; stopped when the object goes.
class PageServer {
public:
    explicit PageServer(const std::string &root);
    ~PageServer();
    PageServer(const PageServer &) = delete;
    PageServer &operator=(const PageServer &) = delete;

    std::string Url(const std::string &pathAndQuery) const;

private:
    int m_pid = -1;
    int m_stdin = -1;
    int m_port = 0;
};
