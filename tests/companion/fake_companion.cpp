// A companion that misbehaves as FAKE_COMPANION_MODE says and logs its pid and requests to FAKE_COMPANION_LOG. It
// first leaves a stuck helper behind (started through a go-between that ends at once), holding its output open.
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iostream>

#include "companion/automation_text.h"
#include "platform/file_uri.h"

namespace {

// Two boards share the number "1": the later one must win. Board "2" has no tricks and must leave no entry.
const char *const HEADER = "Declarer;Denomination\\2R;Result\\2R";
const struct {
    const char *number, *tricks, *header, *rows;
} BOARDS[] = {
    {"1", "65657656576867568675", HEADER, "N NT  6\r\nS NT  6\r\n"},
    {"2", "", "", ""},
    {"1", "9999999999aaaaaaaaaa", HEADER, "N NT  9\r\n"},
    {"3", "0123456789abcd012345", HEADER, "W  C  5\r\n"},
};

std::ofstream g_log;

void Reply(const std::string &line) {
    std::cout << line << '\n' << std::flush;
}
void Log(const std::string &line) {
    g_log << line << std::endl;
}
[[noreturn]] void Hang() {
    for (;;)
        pause();
}

} // namespace

int main() {
    const std::string mode = std::getenv("FAKE_COMPANION_MODE");
    g_log.open(std::getenv("FAKE_COMPANION_LOG"), std::ios::app);
    Log("pid " + std::to_string(getpid()));
    if (pid_t between = fork(); between == 0) {
        if (pid_t helper = fork(); helper > 0)
            Log("helper " + std::to_string(helper));
        else if (helper == 0)
            Hang();
        _exit(0);
    } else if (between > 0) {
        waitpid(between, nullptr, 0);
    }
    if (mode == "silent-exit")
        return 3;
    if (mode == "no-ready")
        Reply("HELLO"), Hang();
    Reply("READY 1");
    std::string line;
    int tagsRead = 0;
    while (std::getline(std::cin, line)) {
        Log(line);
        if (line == "QUIT") {
            if (mode == "silent-quit")
                Hang();
            Reply("OK empty");
            return 0;
        } else if (line.starts_with("RELEASE ")) {
            Reply("OK empty");
        } else if (line.starts_with("INVOKE 1 20 ")) {
            Reply(mode == "open-false" ? "OK bool:0" : "OK bool:1");
        } else if (line == "INVOKE 1 4 method") {
            if (mode == "crash-analyse") {
                std::signal(SIGSEGV, SIG_DFL); // a plain crash, even under a sanitizer's handler
                std::raise(SIGSEGV);
            } else if (mode == "hang-analyse") {
                Hang();
            } else if (mode == "busy-then-ok" || mode == "busy-by-turns") {
                // 1.8 s of progress over the page's 9 boards, a line every 100 ms: moving forward every other
                // line, or saying two things by turns.
                for (int i = 0; i < 18; ++i, usleep(100 * 1000))
                    Reply("BUSY " + std::to_string(mode == "busy-then-ok" ? i / 2 : i % 2) + "/9");
            } else if (mode == "total-beyond" || mode == "total-huge") {
                // More boards than the page has: not the file we were given.
                Reply(mode == "total-beyond" ? "BUSY 1/10" : "BUSY 0/99999999999999999999");
                Hang();
            }
            Reply(mode == "error-analyse" ? "ERROR 80004005 The%20analysis%20failed%20for%20board%207." : "OK empty");
        } else if (line == "INVOKE 1 35 get") {
            Reply(mode == "null-object" ? "OK dispatch:0" : "OK dispatch:2");
        } else if (line == "INVOKE 2 1 get") {
            Reply(mode == "zero-boards"    ? "OK i4:0"
                  : mode == "count-beyond" ? "OK i4:10" // the page has 9
                                           : "OK i4:" + std::to_string(std::size(BOARDS)));
        } else if (line.starts_with("INVOKE 2 0 get i4:")) {
            int index = std::atoi(line.c_str() + 18);
            if (mode == "crash-mid-board" && index == 2)
                std::raise(SIGKILL);
            Reply(index >= 0 && index < int(std::size(BOARDS)) ? "OK dispatch:" + std::to_string(100 + index)
                                                               : "ERROR 8002000B Invalid%20index.");
        } else if (line.starts_with("INVOKE 10")) {
            // INVOKE 10<i> <dispid> get bstr:<tag>: dispatch id 1 is a tag's value, 4 its table rows.
            const auto &board = BOARDS[line[9] - '0'];
            std::string tag;
            platform::PercentDecode(line.substr(line.find("bstr:") + 5), tag);
            std::string value = line.compare(11, 2, "4 ") == 0 ? (tag == "OptimumResultTable" ? board.rows : "")
                                : tag == "Board"               ? board.number
                                : tag == "DoubleDummyTricks"   ? board.tricks
                                : tag == "OptimumResultTable"  ? board.header
                                                               : "";
            Reply(mode == "wrong-type" && ++tagsRead == 3 ? "OK i4:5" : "OK bstr:" + companion::PercentEncode(value));
        } else {
            Reply("ERROR 80020003 Member%20not%20found.");
        }
    }
    return 0;
}
