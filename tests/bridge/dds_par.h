#pragma once
// libdds's par of one of our tables. libdds keeps its table strain-major (strain, then N, E, S, W) and codes
// vulnerability as 0 none, 1 both, 2 North-South, 3 East-West.
#include "bridge/dda.h"

#include <dds/dll.h>

#include <cstdlib>
#include <set>
#include <string>

inline int DdsVulnerability(int vulnerable) {
    static constexpr int CODES[4] = {0, 2, 3, 1};
    return CODES[vulnerable & 3];
}

inline ddTableResults DdsTable(const CDDA &dda) {
    ddTableResults table;
    for (int strain = 0; strain < STRAINS; ++strain)
        for (int seat = 0; seat < SEATS; ++seat)
            table.resTable[strain][seat] = dda.m_tricks[seat][strain];
    return table;
}

struct DdsPar {
    bool ok = false;
    int nsFirst = 0; // North-South start the bidding: the score seen from North-South
    int ewFirst = 0; // East-West start the bidding: the score seen from East-West
    // The par contracts of both starts together, as SidesPar() names them, in our plain style ("4S*-EW-1",
    // "5NT-W"): libdds writes a made contract at a lower level with overtricks ("4N-W+1"), we name the level
    // made; each failing contract carries its undertricks.
    std::set<std::string> contractSet;
};

inline std::set<std::string> SidesParContracts(const ddTableResults &table, int vulnerable) {
    std::set<std::string> out;
    ddTableResults copy = table;
    parResultsDealer sides[2];
    if (SidesPar(&copy, sides, DdsVulnerability(vulnerable)) != RETURN_NO_FAULT)
        return out;
    for (const auto &side : sides)
        for (int i = 0; i < side.number && i < 10; ++i) {
            // level, strain letter ('N' for no trump), '*' per double, '-', seats, then "+k" or "-k"
            const std::string text = side.contracts[i];
            const size_t dash = text.find('-');
            const size_t tail = text.find_first_of("+-", dash + 1);
            int level = text[0] - '0';
            std::string entry;
            const std::string seats = text.substr(dash + 1, tail == std::string::npos ? tail : tail - dash - 1);
            std::string suffix;
            if (tail != std::string::npos) {
                if (text[tail] == '+')
                    level += std::atoi(text.c_str() + tail + 1);
                else
                    suffix = text.substr(tail);
            }
            const std::string strain = text[1] == 'N' ? "NT" : std::string(1, text[1]);
            out.insert(std::to_string(level) + strain + text.substr(2, dash - 2) + "-" + seats + suffix);
        }
    return out;
}

inline DdsPar RunDdsPar(const CDDA &dda, int vulnerable) {
    DdsPar out;
    ddTableResults table = DdsTable(dda);
    parResults par;
    if (Par(&table, &par, DdsVulnerability(vulnerable)) != RETURN_NO_FAULT)
        return out;
    // "NS 420" and "EW -420".
    out.nsFirst = std::atoi(par.parScore[0] + 3);
    out.ewFirst = std::atoi(par.parScore[1] + 3);
    out.contractSet = SidesParContracts(table, vulnerable);
    out.ok = true;
    return out;
}
