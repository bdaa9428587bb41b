#pragma once
// Double-dummy tables such as real deals produce, made without a solver: a shuffled deal gives each side its
// points and trump fits, which set the tricks North-South take in each strain; East-West take the rest, and the
// opening lead moves a declarer's count by a trick now and then, as it does at the table.
#include "bridge/dda.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

class RealisticTables {
public:
    explicit RealisticTables(uint32_t seed) : m_rng(seed) {}

    void Next(CDDA &dda) {
        int cards[CARDS];
        for (int i = 0; i < CARDS; ++i)
            cards[i] = i;
        for (int i = CARDS - 1; i > 0; --i)
            std::swap(cards[i], cards[m_rng() % (i + 1)]);
        int length[SEATS][SUITS] = {};
        int points[SEATS] = {};
        for (int i = 0; i < CARDS; ++i) {
            const int seat = i / 13;
            ++length[seat][cards[i] & 3];
            points[seat] += HighCardPoints(cards[i] >> 2);
        }
        const double nsPoints = points[NORTH] + points[SOUTH];
        for (int strain = 0; strain < STRAINS; ++strain) {
            double nsTricks = 6.5 + 0.33 * (nsPoints - 20);
            if (strain == NOTRUMP) {
                nsTricks += Noise(1.1);
            } else {
                const int fit = length[NORTH][strain] + length[SOUTH][strain];
                nsTricks += 0.75 * (fit - 6.5) + Noise(0.9);
            }
            const int base = std::clamp(static_cast<int>(std::lround(nsTricks)), 0, 13);
            for (int seat = 0; seat < SEATS; ++seat) {
                int tricks = (seat & 1) ? 13 - base : base;
                const uint32_t lead = m_rng() % 100;
                if (lead < 7)
                    --tricks;
                else if (lead < 14)
                    ++tricks;
                dda.SetTricks(seat, strain, static_cast<uint8_t>(std::clamp(tricks, 0, 13)));
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
