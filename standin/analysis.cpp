#include "analysis.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

#include <dds/dll.h>

namespace standin {

namespace {

// Declarers in the order of the PBN texts (N, S, E, W) as solver seats, and strains (NT, S, H, D, C).
constexpr int TEXT_DECLARERS[4] = {0, 2, 1, 3};
constexpr int TEXT_STRAINS[5] = {4, 0, 1, 2, 3};
constexpr const char *SEAT_LETTERS = "NESW";
constexpr const char *STRAIN_NAMES[5] = {"S", "H", "D", "C", "NT"};

} // namespace

std::string SolveTables(const std::vector<DealCards> &deals, std::vector<TrickTable> &tables,
                        const std::function<void(size_t done, size_t total)> &progress) {
    static std::once_flag threadsSet;
    std::call_once(threadsSet, [] { SetMaxThreads(0); }); // 0: as many threads as the machine has cores

    tables.assign(deals.size(), TrickTable{});
    for (size_t first = 0; first < deals.size(); first += MAX_TABLES_PER_CALL) {
        size_t count = std::min(MAX_TABLES_PER_CALL, deals.size() - first);
        // The solver's structures are large (hundreds of tables); keep them off the stack.
        auto input = std::make_unique<ddTableDeals>();
        auto results = std::make_unique<ddTablesRes>();
        auto par = std::make_unique<allParResults>();
        input->noOfTables = static_cast<int>(count);
        for (size_t i = 0; i < count; ++i)
            for (int hand = 0; hand < 4; ++hand)
                for (int suit = 0; suit < 4; ++suit)
                    input->deals[i].cards[hand][suit] = deals[first + i][hand][suit];
        int filter[DDS_STRAINS] = {0, 0, 0, 0, 0};
        int status = CalcAllTables(input.get(), -1, filter, results.get(), par.get());
        if (status != RETURN_NO_FAULT) {
            char text[80] = {};
            ErrorMessage(status, text);
            return std::string("Double-dummy solver error: ") + text;
        }
        for (size_t i = 0; i < count; ++i)
            for (int strain = 0; strain < 5; ++strain)
                for (int hand = 0; hand < 4; ++hand)
                    tables[first + i][hand][strain] = results->results[i].resTable[strain][hand];
        if (progress)
            progress(first + count, deals.size());
    }
    return {};
}

std::string FormatDoubleDummyTricks(const TrickTable &table) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text;
    for (int declarer : TEXT_DECLARERS)
        for (int strain : TEXT_STRAINS)
            text.push_back(HEX[table[declarer][strain] & 15]);
    return text;
}

std::string FormatOptimumResultRows(const TrickTable &table) {
    std::string rows;
    char row[32];
    for (int declarer : TEXT_DECLARERS)
        for (int strain : TEXT_STRAINS) {
            std::snprintf(row, sizeof row, "%c %2s %2d\r\n", SEAT_LETTERS[declarer], STRAIN_NAMES[strain],
                          table[declarer][strain]);
            rows.append(row);
        }
    return rows;
}

} // namespace standin
