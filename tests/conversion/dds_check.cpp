#include "dds_check.h"

#include <dds/dll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace ddscheck {

std::vector<int> CheckDeals(const std::vector<std::string> &deals) {
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0) {
        close(channel[0]);
        char folder[] = "/tmp/dealscope-dds-XXXXXX";
        if (!mkdtemp(folder) || chdir(folder) != 0)
            _exit(3);
        for (const std::string &deal : deals) {
            // Target 0 with one solution asks for no search: libdds reads and checks the deal and returns.
            dealPBN board{};
            board.trump = 4;
            board.first = 0;
            std::strncpy(board.remainCards, deal.c_str(), sizeof board.remainCards - 1);
            futureTricks result{};
            int code = SolveBoardPBN(board, 0, 1, 0, &result, 0);
            if (write(channel[1], &code, sizeof code) != sizeof code)
                _exit(4);
        }
        std::filesystem::remove_all(folder);
        _exit(0);
    }
    close(channel[1]);
    std::vector<int> codes;
    int code;
    while (read(channel[0], &code, sizeof code) == sizeof code)
        codes.push_back(code);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || codes.size() != deals.size())
        return {};
    return codes;
}

} // namespace ddscheck
