// ComputePar against libdds's Par() on the same 100,000 realistic tables, each under one of the four
// vulnerabilities, in one process. Prints the time of each and, last, our time over theirs.
#include "bridge/par.h"
#include "dds_support.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int TABLES = 100000;
constexpr int ROUNDS = 5;

using Clock = std::chrono::steady_clock;

} // namespace

int main() {
    std::vector<CDDA> tables(TABLES);
    std::vector<ddTableResults> ddsTables(TABLES);
    RealisticTables generator(20261206);
    for (int i = 0; i < TABLES; ++i) {
        generator.Next(tables[i]);
        ddsTables[i] = DdsTable(tables[i]);
    }

    // The report's "Par:" line: plain contracts and both scores.
    auto runOurs = [&] {
        long checksum = 0;
        std::u16string contracts;
        for (int i = 0; i < TABLES; ++i) {
            int score = 0, score2 = 0;
            contracts.clear();
            ComputePar(tables[i], i & 3, nullptr, &contracts, &score, &score2, true);
            checksum += score + score2 + static_cast<long>(contracts.size());
        }
        return checksum;
    };
    auto runDds = [&] {
        long checksum = 0;
        parResults par;
        for (int i = 0; i < TABLES; ++i) {
            Par(&ddsTables[i], &par, DdsVulnerability(i & 3));
            checksum += par.parScore[0][3] + par.parContractsString[0][3];
        }
        return checksum;
    };

    // Best of several rounds, alternating, so that neither side gets a warmer machine.
    double ours = 1e30, dds = 1e30;
    long sink = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        auto start = Clock::now();
        sink += runOurs();
        ours = std::min(ours, std::chrono::duration<double>(Clock::now() - start).count());
        start = Clock::now();
        sink += runDds();
        dds = std::min(dds, std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::printf("tables %d, best of %d rounds (checksum %ld)\n", TABLES, ROUNDS, sink);
    std::printf("ComputePar %.1f ms (%.3f us per table)\n", ours * 1e3, ours * 1e6 / TABLES);
    std::printf("libdds Par %.1f ms (%.3f us per table)\n", dds * 1e3, dds * 1e6 / TABLES);
    std::printf("par_vs_libdds %.3f\n", ours / dds);
    return 0;
}
