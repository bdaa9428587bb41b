// tricksmith-standin: a stand-in for the Tricksmith companion program, for machines where it does not exist.
//   tricksmith-standin --register      registers this executable as the "Tricksmith.Object" automation server
//   tricksmith-standin --automation    serves the automation protocol on stdin/stdout (started by Dealscope)
//   tricksmith-standin FILE.pbn        opens a PBN file handed over by Dealscope and lists its boards
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "companion/class_registry.h"
#include "companion/temp_pbn_file.h"
#include "pbn_games.h"
#include "platform/error_report.h"
#include "server.h"

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

constexpr const char *WORK_FOLDER_PREFIX = "tricksmith-standin-";
constexpr const char *LOCK_NAME = "lock";

// Our own working folders in the temporary folder whose lock no running stand-in holds. A folder without its
// lock file yet may be one that another stand-in is just making: it stays.
void RemoveAbandonedFolders() {
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(companion::TempFolder(), error)) {
        std::string name = entry.path().filename().string();
        struct stat info;
        if (!name.starts_with(WORK_FOLDER_PREFIX) || lstat(entry.path().c_str(), &info) != 0 ||
            !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
            continue;
        int lock = open((entry.path() / LOCK_NAME).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (lock < 0)
            continue;
        if (flock(lock, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(entry.path(), ignored);
        }
        close(lock);
    }
}

int Serve() {
    // Dealscope may die without saying goodbye; go with it rather than linger. Had it died already, before the
    // request took effect, we would have a new parent by now. (Dealscope itself may well be process 1, as in a
    // container: a parent of 1 alone says nothing.)
    pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        return 1;
    // The solver writes dump.txt into the current folder when it dislikes a deal: give it a folder of its own,
    // held by a lock on a file in it for as long as we run. A stand-in that was killed could not remove its
    // folder: whichever comes next does.
    RemoveAbandonedFolders();
    std::string pattern = companion::TempFolder() + WORK_FOLDER_PREFIX + "XXXXXX";
    char *folder = mkdtemp(pattern.data());
    int lock = folder ? open((pattern + "/" + LOCK_NAME).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600) : -1;
    if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0 || chdir(folder) != 0) {
        std::cerr << "tricksmith-standin: cannot make a working folder in " << companion::TempFolder() << '\n';
        return 1;
    }
    std::ios::sync_with_stdio(false);
    standin::Server server;
    int status = server.Run(std::cin, stdout);
    if (chdir("/") == 0) {
        std::error_code ignored;
        std::filesystem::remove_all(pattern, ignored);
    }
    return status;
}

int OpenFile(const char *path) {
    // The file's name and boards come from a page: shown on a terminal, they must not steer it.
    std::string shownPath = platform::ShowControlsVisibly(path);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "tricksmith-standin: cannot open " << shownPath << '\n';
        return 1;
    }
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
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
