// A test double of the companion's automation server that can misbehave on purpose. FAKE_COMPANION_MODE picks
// the fault; FAKE_COMPANION_LOG, when set, receives the server's pid and every request line it reads.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include <unistd.h>

#include "companion/automation_text.h"

namespace {

struct Board {
    const char *number;
    const char *tricks;
    const char *header;
    const char *rows;
};

// Two boards share the number "1": the later one must win. Board "2" has no tricks and must leave no entry.
const Board BOARDS[] = {
    {"1", "65657656576867568675", "Declarer;Denomination\\2R;Result\\2R", "N NT  6\r\nS NT  6\r\n"},
    {"2", "", "", ""},
    {"1", "9999999999aaaaaaaaaa", "Declarer;Denomination\\2R;Result\\2R", "N NT  9\r\n"},
    {"3", "0123456789abcd012345", "Declarer;Denomination\\2R;Result\\2R", "W  C  5\r\n"},
};
constexpr int BOARD_COUNT = 4;

std::string g_mode;
std::ofstream g_log;

void Reply(const std::string &line) {
    std::cout << line << '\n' << std::flush;
}

std::string Tag(const Board &board, const std::string &arg, bool rows) {
    std::string tag;
    companion::PercentDecode(arg.substr(5), tag);
    if (rows)
        return tag == "OptimumResultTable" ? board.rows : "";
    if (tag == "Board")
        return board.number;
    if (tag == "DoubleDummyTricks")
        return board.tricks;
    if (tag == "OptimumResultTable")
        return board.header;
    return "";
}

} // namespace

int main() {
    const char *mode = std::getenv("FAKE_COMPANION_MODE");
    g_mode = mode ? mode : "normal";
    if (const char *log = std::getenv("FAKE_COMPANION_LOG")) {
        g_log.open(log, std::ios::app);
        g_log << "pid " << getpid() << std::endl;
    }
    if (g_mode == "silent-exit")
        return 3;
    if (g_mode == "no-ready") {
        Reply("HELLO");
        pause();
    }
    Reply("READY 1");
    std::string line;
    int boardsRead = 0;
    while (std::getline(std::cin, line)) {
        if (g_log.is_open())
            g_log << line << std::endl;
        if (line == "QUIT") {
            Reply("OK empty");
            return 0;
        }
        if (line.starts_with("RELEASE ")) {
            Reply("OK empty");
            continue;
        }
        if (line.starts_with("INVOKE 1 20 ")) {
            Reply(g_mode == "open-false" ? "OK bool:0" : "OK bool:1");
        } else if (line == "INVOKE 1 4 method") {
            if (g_mode == "crash-analyse") {
                std::signal(SIGSEGV, SIG_DFL); // a plain crash, even under a sanitizer's handler
                std::raise(SIGSEGV);
            }
            if (g_mode == "hang-analyse")
                for (;;)
                    pause();
            if (g_mode == "helper-hang-analyse") {
                // A server with a helper process, which has a helper of its own, and all stuck.
                pid_t helper = fork();
                if (helper == 0) {
                    pid_t inner = fork();
                    if (inner > 0 && g_log.is_open())
                        g_log << "helper " << inner << std::endl;
                    for (;;)
                        pause();
                }
                if (g_log.is_open())
                    g_log << "helper " << helper << std::endl;
                for (;;)
                    pause();
            }
            if (g_mode == "error-analyse") {
                Reply("ERROR 80004005 The%20analysis%20failed%20for%20board%207.");
                continue;
            }
            if (g_mode == "busy-forever")
                for (;;) {
                    Reply("BUSY");
                    usleep(100 * 1000);
                }
            if (g_mode == "busy-then-ok") {
                for (int i = 0; i < 6; ++i) {
                    Reply("BUSY " + std::to_string(i));
                    usleep(300 * 1000);
                }
            }
            Reply("OK empty");
        } else if (line == "INVOKE 1 35 get") {
            Reply(g_mode == "garbage" ? "\x01\x02 this is not the protocol" : "OK dispatch:2");
        } else if (line == "INVOKE 2 1 get") {
            Reply(g_mode == "zero-boards" ? "OK i4:0" : "OK i4:" + std::to_string(BOARD_COUNT));
        } else if (line.starts_with("INVOKE 2 0 get i4:")) {
            int index = std::atoi(line.c_str() + 18);
            if (g_mode == "crash-mid-board" && index == 2)
                std::raise(SIGKILL);
            Reply("OK dispatch:" + std::to_string(100 + index));
        } else if (line.starts_with("INVOKE 10")) {
            // INVOKE 10<i> <dispid> get bstr:<tag>
            int index = line[9] - '0';
            bool rows = line.compare(11, 2, "4 ") == 0;
            std::string arg = line.substr(line.find("bstr:"));
            ++boardsRead;
            if (g_mode == "wrong-type" && boardsRead == 3) {
                Reply("OK i4:5");
                continue;
            }
            Reply("OK bstr:" + companion::PercentEncode(Tag(BOARDS[index], arg, rows)));
        } else {
            Reply("ERROR 80020003 Member%20not%20found.");
        }
    }
    return 0;
}
