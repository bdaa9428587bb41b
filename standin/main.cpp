// tricksmith-standin: a stand-in for the Tricksmith companion program, for machines where it does not exist.
//   tricksmith-standin --register      registers this executable as the "Tricksmith.Object" automation server
//   tricksmith-standin --automation    serves the automation protocol on stdin/stdout (started by Dealscope)
//   tricksmith-standin FILE.pbn        opens a PBN file handed over by Dealscope and lists its boards
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "companion/class_registry.h"
#include "companion/temp_pbn_file.h"
#include "pbn_file.h"
#include "pbn_games.h"
#include "platform/error_report.h"
#include "platform/interrupt_cleanup.h"
#include "server.h"
#include "work_folder.h"

namespace {

int Register() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::cerr << "tricksmith-standin: cannot find its own path: " << error.message() << '\n';
        return 1;
    }
    std::string failure =
        companion::RegisterLocalServer(companion::TRICKSMITH_CLASS_ID, companion::TRICKSMITH_PROG_ID, self.string());
    if (!failure.empty()) {
        std::cerr << "tricksmith-standin: " << failure << '\n';
        return 1;
    }
    std::cout << "Registered " << self.string() << " as " << companion::TRICKSMITH_PROG_ID << " in "
              << companion::ClassesFilePath() << '\n';
    return 0;
}

int Serve() {
    // An interrupt removes the working folder before it ends us.
    signal(SIGTERM, SIG_DFL); // the one that tells of Dealscope's end below, whatever we were started with
    platform::RemoveTemporaryFilesOnInterrupt();
    // Dealscope may die without saying goodbye (a batch run interrupted during the analysis); go with it rather
    // than linger, by SIGTERM so that the working folder goes too. Had it died already, before the request took
    // effect, we would have a new parent by now. (Dealscope itself may well be process 1, as in a container: a
    // parent of 1 alone says nothing.)
    pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        return 1;
    // The solver writes dump.txt into the current folder when it dislikes a deal: give it a folder of its own.
    standin::WorkFolder folder;
    if (!folder.Make() || chdir(folder.Path().c_str()) != 0) {
        std::cerr << "tricksmith-standin: cannot make a working folder in " << companion::TempFolder() << '\n';
        return 1;
    }
    std::ios::sync_with_stdio(false);
    standin::Server server;
    return server.Run(std::cin, stdout); // the folder goes as we leave
}

int OpenFile(const char *path) {
    // The file's name and boards come from a page: shown on a terminal, they must not steer it.
    std::string shownPath = platform::ShowControlsVisibly(path);
    std::string bytes, why;
    if (!standin::ReadPbnFile(path, bytes, why)) {
        std::cerr << "tricksmith-standin: cannot open " << shownPath << ": " << why << '\n';
        return 1;
    }
    auto games = standin::ParsePbnGames(standin::DecodePbnBytes(bytes));
    std::cout << shownPath << ": " << games.size() << " boards\n";
    for (const auto &game : games)
        if (const auto *board = game.Find("Board"))
            std::cout << "Board " << platform::ShowControlsVisibly(board->m_value) << '\n';
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    std::string first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first == "--register")
        return Register();
    if (argc == 2 && first == "--automation")
        return Serve();
    if (argc == 2 && !first.starts_with("--"))
        return OpenFile(argv[1]);
    std::cerr << "usage: tricksmith-standin --register | --automation | FILE.pbn\n";
    return 2;
}
