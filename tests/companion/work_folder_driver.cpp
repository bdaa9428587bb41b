// Starts the stand-in's working folder many times at once, as many stand-ins starting together would:
//   work_folder_driver STARTS AT_ONCE
// Each start is a process of its own that makes its folder and works in it; every eighth ends without removing
// it, as a killed stand-in would, for the later ones to clear away. Prints the failures and the folders left
// over; exits 0 when there are none.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "companion/temp_pbn_file.h"
#include "work_folder.h"

namespace {

// One start: 0 when its folder was made and could be worked in.
int Start(bool killed) {
    standin::WorkFolder folder;
    if (!folder.Make())
        return 1;
    std::ofstream dump(folder.Path() + "/dump.txt");
    if (!(dump << "solver output\n" << std::flush))
        return 2;
    if (killed)
        _exit(0); // no clean-up, as after SIGKILL: the lock goes with the process
    folder.Remove();
    return 0;
}

int Wait(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        ;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    const int starts = std::atoi(argv[1]), atOnce = std::atoi(argv[2]);
    int failures = 0;
    std::vector<pid_t> workers;
    for (int w = 0; w < atOnce; ++w) {
        pid_t worker = fork();
        if (worker == 0) {
            int failed = 0;
            for (int i = w; i < starts; i += atOnce) {
                pid_t start = fork();
                if (start == 0)
                    _exit(Start(i % 8 == 7));
                failed += start < 0 || Wait(start) != 0;
            }
            _exit(std::min(failed, 255));
        }
        workers.push_back(worker);
    }
    for (pid_t worker : workers)
        failures += worker < 0 ? 1 : Wait(worker);
    // One more start, alone: it clears away what the killed ones left, and its own folder goes when it ends.
    pid_t last = fork();
    if (last == 0)
        _exit(Start(false));
    failures += Wait(last) != 0;
    int left = 0;
    for (const auto &entry : std::filesystem::directory_iterator(companion::TempFolder()))
        if (entry.path().filename().string().find("tricksmith-standin") != std::string::npos)
            ++left, std::printf("left over: %s\n", entry.path().c_str());
    std::printf("%d of %d starts failed, %d folders left over\n", failures, starts + 1, left);
    return failures == 0 && left == 0 ? 0 : 1;
}
