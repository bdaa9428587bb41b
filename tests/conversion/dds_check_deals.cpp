// Reads PBN Deal values, one a line, and prints libdds's return code for each (1 when it accepted the deal).
// Run in a folder of its own: libdds writes dump files into the current folder on a bad deal.
#include <dds/dll.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main() {
    std::string deal;
    while (std::getline(std::cin, deal)) {
        // Target 0 with one solution asks for no search: libdds reads and checks the deal and returns.
        dealPBN board{};
        board.trump = 4;
        board.first = 0;
        std::strncpy(board.remainCards, deal.c_str(), sizeof board.remainCards - 1);
        futureTricks result{};
        std::printf("%d\n", SolveBoardPBN(board, 0, 1, 0, &result, 0));
    }
    return 0;
}
