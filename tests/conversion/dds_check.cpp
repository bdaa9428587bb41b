#include "dds_check.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace ddscheck {

std::vector<int> CheckDeals(const std::vector<std::string> &deals) {
    char folder[] = "/tmp/dealscope-dds-XXXXXX";
    if (!mkdtemp(folder))
        return {};
    const std::string input = std::string(folder) + "/deals.txt";
    {
        std::ofstream out(input);
        for (const std::string &deal : deals)
            out << deal << '\n';
    }
    const std::string command = std::string("cd '") + folder + "' && '" + DEALSCOPE_DDS_CHECK_DEALS + "' < deals.txt";
    std::vector<int> codes;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        int code;
        while (std::fscanf(pipe, "%d", &code) == 1)
            codes.push_back(code);
        int status = pclose(pipe);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            codes.clear();
    }
    std::filesystem::remove_all(folder);
    if (codes.size() != deals.size())
        return {};
    return codes;
}

} // namespace ddscheck
