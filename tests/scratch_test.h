#pragma once
// A private folder and environment for each test, whole files as bytes, and running a program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Quoted(const std::string &argument) {
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct ProgramResult {
    int exitCode;       // the exit status, or 128 + the signal that ended it
    std::string output; // standard output and standard error together
};

// Runs a program with no input; `prefix` is shell text before it, e.g. "ulimit -v 800000; ".
inline ProgramResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                                const std::string &prefix = "") {
    std::string command = prefix + "exec " + Quoted(program);
    for (const std::string &argument : arguments)
        command += " " + Quoted(argument);
    FILE *pipe = popen(("(" + command + ") </dev/null 2>&1").c_str(), "r");
    ProgramResult result{-1, ""};
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, got);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

// Runs `body` in a child process that ends with its result, and returns that result, or 128 + the signal that
// ended the child. A child still running after `seconds` is ended by SIGALRM, so that a call that would wait for
// ever fails its test instead of holding the suite.
inline int RunInChild(const std::function<int()> &body, unsigned seconds = 60) {
    pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The lines of a PBN text without its "%Created" lines, which hold the time of the conversion.
inline std::string WithoutCreatedLine(std::string text) {
    for (size_t at; (at = text.find("%Created:")) != std::string::npos;)
        text.erase(at, text.find('\n', at) - at + 1);
    return text;
}

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "dealscope-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    void SetEnv(const std::string &name, const std::string &value) {
        const char *old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::string> Names(const fs::path &folder = {}) const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(folder.empty() ? m_dir : folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
