#pragma once
// The reference deals in tests/data/companion/dds_deals.txt: real deals with the trick tables and par scores
// that libdds computed for them, the oracle of the stand-in's analysis.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "deal_check.h"

struct ReferenceDeal {
    std::string m_deal;           // the PBN Deal value
    standin::DealCards m_cards{}; // the same, as cards
    std::string m_tricks;         // as DoubleDummyTricks: declarers N, S, E, W, each NT, S, H, D, C
    int m_parScore = 0;           // par for North-South
};

// The text between the first two double quotes of a line.
inline std::string FirstQuoted(const std::string &line) {
    size_t open = line.find('"');
    size_t close = line.find('"', open + 1);
    return open == std::string::npos || close == std::string::npos ? "" : line.substr(open + 1, close - open - 1);
}

inline std::vector<ReferenceDeal> ReadReferenceDeals(size_t limit) {
    std::vector<ReferenceDeal> deals;
    std::ifstream file(std::string(DEALSCOPE_TEST_DATA) + "/companion/dds_deals.txt");
    std::string line;
    while (std::getline(file, line)) {
        if (line.starts_with("PBN ")) {
            if (deals.size() == limit)
                break;
            deals.emplace_back();
            deals.back().m_deal = FirstQuoted(line);
            standin::ReadCompleteDeal(deals.back().m_deal, deals.back().m_cards);
        } else if (line.starts_with("TABLE ") && !deals.empty()) {
            // 20 numbers: strains S, H, D, C, NT, each for N, E, S, W.
            std::istringstream numbers(line.substr(6));
            int table[20] = {};
            for (int &n : table)
                numbers >> n;
            for (int declarer : {0, 2, 1, 3})
                for (int strain : {4, 0, 1, 2, 3})
                    deals.back().m_tricks.push_back("0123456789abcd"[table[strain * 4 + declarer]]);
        } else if (line.starts_with("PAR2 ") && !deals.empty()) {
            deals.back().m_parScore = std::stoi(FirstQuoted(line));
        }
    }
    return deals;
}
