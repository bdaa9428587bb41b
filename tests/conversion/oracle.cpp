#include "oracle.h"

#include <sys/wait.h>

#include <cstdio>

namespace oracle {

namespace {
std::string ShellQuote(const std::string &text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}
} // namespace

std::string OracleDir() {
    return DEALSCOPE_ORACLE_DIR;
}

std::string RunNode(const std::string &script, const std::vector<std::string> &arguments, int *exitCode) {
    std::string command = "cd " + ShellQuote(OracleDir()) + " && node " + ShellQuote(script);
    for (const std::string &argument : arguments)
        command += " " + ShellQuote(argument);
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) {
        *exitCode = -1;
        return output;
    }
    char buffer[65536];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, count);
    int status = pclose(pipe);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::vector<std::string> SplitLines(const std::string &text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

} // namespace oracle
