// Double-dummy analysis of a 32-board page through the whole companion road (temporary PBN file, automation
// client, transport, stand-in companion, libdds) against libdds's CalcAllTables on the same 32 deals in this
// process. Prints the median times and, last, `dda_vs_libdds <ratio>`.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <dds/dll.h>

#include "companion/class_registry.h"
#include "companion/double_dummy_analysis.h"
#include "companion/temp_pbn_file.h"
#include "deal_check.h"

namespace {

constexpr int DEALS = 32;
constexpr int ROUNDS = 5;

std::vector<std::string> ReadDeals(const std::string &path) {
    std::vector<std::string> deals;
    std::ifstream file(path);
    std::string line;
    while (deals.size() < DEALS && std::getline(file, line)) {
        size_t open = line.find('"');
        size_t close = line.rfind('"');
        if (line.starts_with("PBN ") && open != close)
            deals.push_back(line.substr(open + 1, close - open - 1));
    }
    return deals;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
    std::vector<std::string> deals = ReadDeals(DDS_HANDS_FILE);
    if (deals.size() != DEALS) {
        std::fprintf(stderr, "dda_bench: need %d deals in %s\n", DEALS, DDS_HANDS_FILE);
        return 1;
    }
    // A private settings folder and temporary folder: the user's registration is left alone.
    std::string root = (std::filesystem::temp_directory_path() / "dda-bench-XXXXXX").string();
    if (!mkdtemp(root.data()))
        return 1;
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    setenv("TMPDIR", root.c_str(), 1);
    std::string error = companion::RegisterLocalServer(companion::TRICKSMITH_CLASS_ID, companion::TRICKSMITH_PROG_ID,
                                                       TRICKSMITH_STANDIN);
    if (!error.empty()) {
        std::fprintf(stderr, "dda_bench: %s\n", error.c_str());
        return 1;
    }

    // The page's PBN text as the conversion writes it: header, then one game per board.
    std::string pbn = "% PBN 2.1\r\n% EXPORT\r\n%Content-type: text/x-pbn; charset=ISO-8859-1\r\n";
    for (int i = 0; i < DEALS; ++i)
        pbn += std::string(i ? "\r\n" : "") + "[Event \"\"]\r\n[Board \"" + std::to_string(i + 1) +
               "\"]\r\n[Dealer \"N\"]\r\n[Vulnerable \"None\"]\r\n[Deal \"" + deals[i] + "\"]\r\n";

    std::vector<standin::DealCards> cards(DEALS);
    for (int i = 0; i < DEALS; ++i)
        if (!standin::ReadCompleteDeal(deals[i], cards[i]))
            return 1;
    auto input = std::make_unique<ddTableDeals>();
    auto results = std::make_unique<ddTablesRes>();
    auto par = std::make_unique<allParResults>();
    SetMaxThreads(0);

    std::vector<double> road;
    std::vector<double> peer;
    for (int round = 0; round < ROUNDS; ++round) {
        auto start = std::chrono::steady_clock::now();
        std::string path = companion::WriteTempPbn(pbn, u"page.pbn");
        companion::DoubleDummyResults analysed = companion::RunDoubleDummyAnalysis(path, DEALS);
        road.push_back(Seconds(start));
        std::filesystem::remove(path);
        if (analysed.size() != DEALS) {
            std::fprintf(stderr, "dda_bench: %zu boards analysed\n", analysed.size());
            return 1;
        }

        start = std::chrono::steady_clock::now();
        input->noOfTables = DEALS;
        for (int i = 0; i < DEALS; ++i)
            for (int hand = 0; hand < 4; ++hand)
                for (int suit = 0; suit < 4; ++suit)
                    input->deals[i].cards[hand][suit] = cards[i][hand][suit];
        int filter[DDS_STRAINS] = {0, 0, 0, 0, 0};
        int status = CalcAllTables(input.get(), -1, filter, results.get(), par.get());
        peer.push_back(Seconds(start));
        if (status != RETURN_NO_FAULT) {
            std::fprintf(stderr, "dda_bench: CalcAllTables failed (%d)\n", status);
            return 1;
        }
    }
    std::filesystem::remove_all(root);

    double roadMedian = Median(road);
    double peerMedian = Median(peer);
    std::printf("deals %d, rounds %d\n", DEALS, ROUNDS);
    std::printf("companion_road_seconds %.3f\n", roadMedian);
    std::printf("libdds_calcalltables_seconds %.3f\n", peerMedian);
    std::printf("dda_vs_libdds %.3f\n", roadMedian / peerMedian);
    return 0;
}
