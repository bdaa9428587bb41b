#include "bridge/par.h"
#include "bridge/score.h"
#include "dds_support.h"
#include "platform/wide_text.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

// A table written strain-major (spades, hearts, diamonds, clubs, no trump; each North, East, South, West) with
// one hexadecimal digit per cell, blanks ignored: "A3A3 6666 ..." has North and South taking ten spade tricks.
CDDA Table(std::string cells) {
    CDDA dda;
    std::erase(cells, ' ');
    for (int cell = 0; cell < SEATS * STRAINS; ++cell)
        dda.SetTricks(cell % SEATS, cell / SEATS, static_cast<uint8_t>(std::stoi(cells.substr(cell, 1), nullptr, 16)));
    return dda;
}

// Par contracts in one form for both: "4S*-EW-1", "5N-W"; one entry per side, made contracts at the level made,
// each doubled one with its undertricks.
std::set<std::string> DdsContracts(const CDDA &dda, int vulnerable) {
    ddTableResults table = DdsTable(dda);
    parResultsDealer sides[2];
    std::set<std::string> out;
    if (SidesPar(&table, sides, DdsVulnerability(vulnerable)) == RETURN_NO_FAULT)
        for (const auto &side : sides)
            for (int i = 0; i < side.number && i < 10; ++i) {
                std::string text = side.contracts[i]; // "4N-W+1": 4NT by West with an overtrick
                if (const size_t plus = text.find('+'); plus != std::string::npos) {
                    text[0] = static_cast<char>(text[0] + std::stoi(text.substr(plus + 1)));
                    text.erase(plus);
                }
                if (text[0] != '0') // "0N-N": passed out
                    out.insert(text);
            }
    return out;
}

// Ours ("4S*-EW/5C*-EW-1", "1S-SE", "6NT*-NSEW-1") writes the undertricks once, after the last contract, and a
// contract either side gets by declaring it first as one entry.
std::set<std::string> OurContracts(std::string plain) {
    std::erase(plain, 'T');
    std::string undertricks;
    if (const size_t tail = plain.find('-', plain.find('-', plain.rfind('/') + 1) + 1); tail != std::string::npos) {
        undertricks = plain.substr(tail);
        plain.erase(tail);
    }
    std::set<std::string> out;
    std::istringstream in(plain);
    for (std::string entry; std::getline(in, entry, '/');) {
        const std::string contract = entry.substr(0, entry.find('-'));
        if (contract == "Pass")
            continue;
        for (const std::string side : {"NS", "EW"}) {
            std::string seats;
            for (char seat : entry.substr(contract.size()))
                seats += side.find(seat) != std::string::npos ? std::string(1, seat) : "";
            if (!seats.empty())
                out.insert(contract + "-" + seats + (contract.find('*') != std::string::npos ? undertricks : ""));
        }
    }
    return out;
}

// A side with two different contracts made exactly for its best score: which one par starts from is our choice,
// and libdds may then name a sacrifice over the other one that we leave out.
bool SideHasTwoEqualBestContracts(const CDDA &dda, int vulnerable) {
    for (int side = 0; side < 2; ++side) {
        std::set<std::pair<int, int>> best; // (-score, bidding order)
        for (int seat = side; seat < SEATS; seat += 2)
            for (int strain = 0; strain < STRAINS; ++strain)
                if (const int level = dda.m_tricks[seat][strain] - 6; level >= 1) {
                    CScore c{.m_nLevel = level, .m_nStrain = strain, .m_bKnown = true};
                    best.insert(
                        {-c.ComputeScore(IsVulnerable(seat, vulnerable), level + 6), ContractOrder(level, strain)});
                }
        if (best.size() > 1 && best.begin()->first == std::next(best.begin())->first)
            return true;
    }
    return false;
}

// Our par against libdds's on one table. libdds gives the score when North-South start the bidding (seen from
// them) and when East-West start (seen from them); each of our results names a side and its score: a side that
// scores is the one that started, a side that loses is the one that saved over the other's start. The contracts
// must be the same, except where a side has two equal best contracts.
struct Agreement {
    int compared = 0, ties = 0, unexplained = 0;

    void Check(const CDDA &dda, int vulnerable) {
        ++compared;
        parResults par;
        ddTableResults table = DdsTable(dda);
        ASSERT_EQ(Par(&table, &par, DdsVulnerability(vulnerable)), RETURN_NO_FAULT);
        const int dds[2] = {std::atoi(par.parScore[0] + 3), std::atoi(par.parScore[1] + 3)}; // "NS 420", "EW -420"
        std::u16string result, plain;
        int score = 0, score2 = 0, results = 0, sideScore = 0;
        ComputePar(dda, vulnerable, &result, &plain, &score, &score2, true);
        int ours[2] = {score, -score};
        std::istringstream in(platform::Utf16ToUtf8(result));
        for (std::string side; in >> side >> sideScore; ++results) {
            const int ew = side == "EW";
            EXPECT_EQ(results ? -score2 : score, ew ? -sideScore : sideScore) << in.str(); // seen from NS, EW
            ours[sideScore >= 0 ? ew : 1 - ew] = std::abs(sideScore);
        }
        EXPECT_TRUE(results == 2 || score2 == 0) << in.str();
        const bool listsAgree = OurContracts(platform::Utf16ToUtf8(plain)) == DdsContracts(dda, vulnerable);
        const bool tie = !listsAgree && SideHasTwoEqualBestContracts(dda, vulnerable);
        ties += tie;
        if ((ours[0] != dds[0] || ours[1] != dds[1] || !(listsAgree || tie)) && ++unexplained <= 20)
            ADD_FAILURE() << "vul " << vulnerable << ": ours " << in.str() << " " << platform::Utf16ToUtf8(plain)
                          << ", libdds " << par.parScore[0] << " " << par.parContractsString[0];
    }
};

} // namespace

// The par shapes (one side's game, a sacrifice, a contract either side makes, a passed-out deal) and the cases
// where par has a choice to make: each checked by hand for its texts and against libdds for its scores.
TEST(ParExamples, ResultsAndTexts) {
    const struct {
        const char *why, *cells;
        int vulnerable;
        const char16_t *result, *plain, *markedUp;
    } rows[] = {
        {"one side makes game", "A3A3 7676 6766 6666 6667", 0, u"NS 420", u"4S-NS", u""},
        {"sacrifice", "A3A3 6666 4949 6666 6666", 0, u"EW -300", u"5D*-EW-2", u": EW\u00A05\\Dx-2"},
        {"no sacrifice vulnerable", "A3A3 6666 4949 6666 6666", VUL_EW, u"NS 420", u"4S-NS", u""}, // -500
        {"either side makes it", "6666 6666 6666 6666 7777", 0, u"NS 90 EW 90", u"1NT-NSEW", u""},
        {"nobody makes anything", "6666 6666 6666 6666 6666", VUL_NS | VUL_EW, u"NS 0 EW 0", u"Pass-NSEW",
         u": NSEW\u00A0Pass"},
        {"two equal saves", "5959 A5A5 5555 5A5A 5555", 0, u"EW -100", u"4S*-EW/5C*-EW-1",
         u": EW\u00A04\\Sx-1; EW\u00A05\\Cx-1"},
        // 2S (110) and 3C (110) for the two sides: par starts from the later; 3S doubled one down costs 200.
        {"equal best of the sides", "8686 6666 6666 6969 6666", VUL_NS, u"EW 110", u"3C-EW", u""},
        // 2S and 3C by North both score 110: 2S is par, the higher 3C worth the same is listed after it.
        {"equal inside one side", "8666 6666 6666 9666 6666", 0, u"NS 110", u"2S-N/3C-N", u""},
        // Both sides make 1NT, but over West's 1NT North-South make 2C for the same 90: one par result, not two.
        {"shared contract outbid", "7676 6767 7675 8585 7677", 0, u"NS 90", u"1NT-NS/2C-NS", u""},
        // 2H and 2S by North-South: over 2H East-West would save in 2S doubled one down, over 2S not.
        {"higher of two equal, save", "8776 8585 8575 8585 7676", 0, u"NS 110", u"2S-N", u""},
        {"higher of two equal, shared", "6776 7676 7666 6576 5666", 0, u"EW 80 NS 80", u"1S-SE", u""},
        {"shared contract, doubled saves", "7777 9595 9595 6767 BBBB", 0, u"EW -100 NS -100", u"6NT*-NSEW-1",
         u": NSEW\u00A06Nx-1"},
        {"same contract, other side", "8866 6666 6666 6666 6666", VUL_NS | VUL_EW, u"NS 110 EW 110", u"2S-NE", u""},
    };
    Agreement agreement;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.why);
        const CDDA dda = Table(row.cells);
        std::u16string result, plain = u"Par: ", markedUp;
        ComputePar(dda, row.vulnerable, &result, &plain, nullptr, nullptr, true);
        ComputePar(dda, row.vulnerable, nullptr, &markedUp, nullptr, nullptr, false);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(plain, u"Par: " + std::u16string(row.plain)); // appended
        EXPECT_EQ(markedUp, row.markedUp);
        agreement.Check(dda, row.vulnerable); // the scores as the result says, and libdds's
    }
    EXPECT_EQ(agreement.unexplained, 0);
    int score = 0;
    ComputePar(Table(rows[0].cells), -5, nullptr, nullptr, &score, nullptr, true); // a negative mask: none
    EXPECT_EQ(score, 420);
}

TEST(ParExamples, IncompleteTableWritesOnlyAnEmptyResult) {
    for (uint8_t bad : {DDA_NO_VALUE, uint8_t(14)}) {
        CDDA dda = Table("A666 6666 6666 6666 6666");
        dda.SetTricks(WEST, NOTRUMP, bad);
        std::u16string result = u"old", contracts = u"old";
        int score = 7, score2 = 8;
        ComputePar(dda, 0, &result, &contracts, &score, &score2, bad == 14);
        EXPECT_EQ(result + contracts, u"old");
        EXPECT_EQ(score * 10 + score2, 78);
    }
}

// libdds's par of the 100 reference deals and of random realistic tables, under every vulnerability.
TEST(ParAgainstLibdds, ReferenceDealsAndRandomRealisticTables) {
    Agreement reference, random;
    for (const auto &[deal, dda] : ReadReferenceTables(DEALSCOPE_TEST_DATA "/bridge/dds-tables-100.txt"))
        for (int vul = 0; vul < 4; ++vul)
            reference.Check(dda, vul);
    EXPECT_EQ(reference.compared, 400);
    EXPECT_EQ(reference.ties + reference.unexplained, 0);
    RealisticTables tables(20261206);
    CDDA dda;
    for (int i = 0; i < 100000; ++i) {
        tables.Next(dda);
        for (int vul = 0; vul < 4; ++vul)
            random.Check(dda, vul);
    }
    EXPECT_EQ(random.unexplained, 0);
    EXPECT_LE(random.ties, random.compared / 500) << "contract lists that differ where a side has two equal best";
}
