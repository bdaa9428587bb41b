#pragma once
// Shared by the par tests, the stand-in's tests and the par benchmark: our tables as libdds takes them, the reference
// deals with libdds's tables, and double-dummy tables such as real deals produce, made without a solver.
#include "bridge/dda.h"

#include <dds/dll.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

// libdds codes vulnerability as 0 none, 1 both, 2 North-South, 3 East-West.
inline int DdsVulnerability(int vulnerable) {
    static constexpr int CODES[4] = {0, 2, 3, 1};
    return CODES[vulnerable & 3];
}

// libdds keeps its table strain-major: strain, then North, East, South, West.
inline ddTableResults DdsTable(const CDDA &dda) {
    ddTableResults table;
    for (int strain = 0; strain < STRAINS; ++strain)
        for (int seat = 0; seat < SEATS; ++seat)
            table.resTable[strain][seat] = dda.m_tricks[seat][strain];
    return table;
}

// The PBN Deal value and libdds's table of each deal in a file of "PBN <4 numbers> "<deal>"" and "TABLE <20 numbers:
// strains S, H, D, C, NT, each for N, E, S, W>" lines (tests/data/bridge/dds-tables-100.txt).
inline std::vector<std::pair<std::string, CDDA>> ReadReferenceTables(const std::string &path) {
    std::vector<std::pair<std::string, CDDA>> deals;
    std::ifstream in(path);
    for (std::string tag, rest; in >> tag && std::getline(in, rest);) {
        std::istringstream line(rest);
        if (tag == "PBN")
            deals.emplace_back(rest.substr(rest.find('"') + 1, rest.rfind('"') - rest.find('"') - 1), CDDA());
        for (int cell = 0, tricks; tag == "TABLE" && line >> tricks; ++cell)
            deals.back().second.SetTricks(cell % SEATS, cell / SEATS, static_cast<uint8_t>(tricks));
    }
    return deals;
}

// A shuffled deal gives each side its points and trump fits, which set the tricks North-South take in each
// strain; East-West take the rest, and the opening lead moves a declarer's count by a trick now and then.
class RealisticTables {
public:
    explicit RealisticTables(uint32_t seed) : m_rng(seed) {}

    void Next(CDDA &dda) {
        int cards[CARDS], length[SEATS][SUITS] = {}, nsPoints = 0;
        for (int i = 0; i < CARDS; ++i)
            cards[i] = i;
        for (int i = CARDS - 1; i > 0; --i)
            std::swap(cards[i], cards[m_rng() % (i + 1)]);
        for (int i = 0; i < CARDS; ++i) {
            ++length[i / 13][cards[i] & 3];
            nsPoints += i / 13 % 2 ? 0 : HighCardPoints(cards[i] >> 2);
        }
        for (int strain = 0; strain < STRAINS; ++strain) {
            const int fit = strain == NOTRUMP ? 0 : length[NORTH][strain] + length[SOUTH][strain];
            const double tricks =
                6.5 + 0.33 * (nsPoints - 20) + (strain == NOTRUMP ? Noise(1.1) : 0.75 * (fit - 6.5) + Noise(0.9));
            const int base = std::clamp(static_cast<int>(std::lround(tricks)), 0, 13);
            for (int seat = 0; seat < SEATS; ++seat) {
                const uint32_t lead = m_rng() % 100;
                const int taken = ((seat & 1) ? 13 - base : base) + (lead < 7 ? -1 : lead < 14 ? 1 : 0);
                dda.SetTricks(seat, strain, static_cast<uint8_t>(std::clamp(taken, 0, 13)));
            }
        }
    }

private:
    // Roughly normal, the same on every platform (the standard distributions are not).
    double Noise(double sigma) {
        double sum = 0;
        for (int i = 0; i < 6; ++i)
            sum += static_cast<double>(m_rng()) / 4294967296.0;
        return (sum - 3.0) * sigma * std::sqrt(2.0);
    }

    std::mt19937 m_rng;
};
