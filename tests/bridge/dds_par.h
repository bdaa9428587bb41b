#pragma once
// libdds's par of one of our tables. libdds keeps its table strain-major (strain, then N, E, S, W) and codes
// vulnerability as 0 none, 1 both, 2 North-South, 3 East-West.
#include "bridge/dda.h"

#include <dds/dll.h>

#include <cstdlib>
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
    int nsFirst = 0;          // North-South start the bidding: the score seen from North-South
    int ewFirst = 0;          // East-West start the bidding: the score seen from East-West
    std::string contracts[2]; // "NS:EW 4Sx", "EW:..."
};

inline DdsPar RunDdsPar(const CDDA &dda, int vulnerable) {
    DdsPar out;
    ddTableResults table = DdsTable(dda);
    parResults par;
    if (Par(&table, &par, DdsVulnerability(vulnerable)) != RETURN_NO_FAULT)
        return out;
    // "NS 420" and "EW -420".
    out.nsFirst = std::atoi(par.parScore[0] + 3);
    out.ewFirst = std::atoi(par.parScore[1] + 3);
    out.contracts[0] = par.parContractsString[0];
    out.contracts[1] = par.parContractsString[1];
    out.ok = true;
    return out;
}
