// A test program registered as the companion for the hand-off: it writes its arguments and the content of the
// file it was given into the file named by HANDOFF_LOG (written beside it and renamed, so a reader never sees
// half of it).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char **argv) {
    const char *log = std::getenv("HANDOFF_LOG");
    if (!log)
        return 2;
    std::string text = "argc " + std::to_string(argc) + "\n";
    for (int i = 1; i < argc; ++i)
        text += std::string("arg ") + argv[i] + "\n";
    if (argc > 1) {
        std::ifstream file(argv[1], std::ios::binary);
        text += "content ";
        text.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::string temporary = std::string(log) + ".part";
    std::ofstream(temporary, std::ios::binary) << text;
    std::rename(temporary.c_str(), log);
    return 0;
}
