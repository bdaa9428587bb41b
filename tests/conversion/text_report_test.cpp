// The text report of one board: header, board line, diagram, double-dummy lines and the score table.
#include <gtest/gtest.h>

#include "conversion/text_report.h"

namespace {

// Board 1 of the reference deals: North-South make clubs, East-West spades; par 2S by East-West.
const std::u16string DEAL = u"N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3";
const std::u16string TRICKS = u"65657656576867568675";

CBoardRecord Record(std::u16string board, std::u16string dealer, std::u16string vulnerable, std::u16string deal) {
    CBoardRecord record;
    record[BRF_BOARD] = std::move(board);
    record[BRF_DEALER] = std::move(dealer);
    record[BRF_VULNERABLE] = std::move(vulnerable);
    record[BRF_DEAL] = std::move(deal);
    return record;
}

std::string Report(const CBoardRecord &record, std::u16string_view tricks = u"", int codePage = 28591) {
    std::string report;
    AppendTextReport(report, record, tricks, codePage);
    return report;
}

TEST(TextReport, HeaderAndBoardLine) {
    EXPECT_EQ(Report(Record(u"12", u"N", u"All", u"")), "=12================================================\r\n\r\n"
                                                        "Board: 12         Dealer: N         Vul: Both\r\n");
    EXPECT_EQ(Report(Record(u"", u"N", u"All", DEAL)), "");
}

TEST(TextReport, VulnerabilityNames) {
    auto vul = [](std::u16string value) {
        std::string report = Report(Record(u"1", u"N", std::move(value), u""));
        return report.substr(report.find("Vul: ") + 5, report.size() - report.find("Vul: ") - 7);
    };
    EXPECT_EQ(vul(u"Love"), "None");
    EXPECT_EQ(vul(u"-"), "None");
    EXPECT_EQ(vul(u"NONE"), "None");
    EXPECT_EQ(vul(u"Both"), "Both");
    EXPECT_EQ(vul(u"all"), "Both");
    EXPECT_EQ(vul(u"ns"), "N-S");
    EXPECT_EQ(vul(u"EW"), "E-W");
    EXPECT_EQ(vul(u"?"), "?");
}

TEST(TextReport, DiagramColumns) {
    std::string report = Report(Record(u"1", u"N", u"None", u"N:.AKQJT98765432.. 2.2.2.2 3.3.3.3 AKQJT98765432..."));
    EXPECT_NE(report.find("\r\n                S  -----\r\n                H  A K Q J T 9 8 7 6 5 4 3 2\r\n"),
              std::string::npos);
    // A thirteen-card West suit still leaves East's suit letter in column 31.
    EXPECT_NE(report.find("\r\nS  A K Q J T 9 8 7 6 5 4 3 2   S  2\r\nH  -----" + std::string(23, ' ') + "H  2\r\n"),
              std::string::npos);
}

TEST(TextReport, DealHoldings) {
    EXPECT_EQ(GetDealHolding(0, 0, "N:AKT9.2.3.4 - - -"), "A K T 9");
    EXPECT_EQ(GetDealHolding(3, 3, "E:1.2.3.4 5.6.7.8 9.T.J.Q K.A.2.3"), "Q");
    EXPECT_EQ(GetDealHolding(1, 1, "n:1.2.3.4 5.6.7.8"), "");
    EXPECT_EQ(GetDealHolding(2, 0, "N:1.2.3.4 5.6.7.8"), "");
    EXPECT_EQ(GetDealHolding(0, 3, "N:1.2.3"), "");
}

TEST(TextReport, OddCharactersOfAHandCellStayWholeInTheDiagram) {
    // A hand cell's stray non-ASCII character is kept in the Deal; the report separates characters, not bytes.
    const std::u16string deal = u"N:AK\u00E9.Q\u0141.J.T 2.3.4.5 6.7.8.9 A.K.Q.J";
    std::string utf8 = Report(Record(u"1", u"N", u"None", deal), u"", 65001);
    EXPECT_NE(utf8.find("S  A K \xC3\xA9\r\n"), std::string::npos) << utf8;
    EXPECT_NE(utf8.find("H  Q \xC5\x81\r\n"), std::string::npos) << utf8;
    std::string latin1 = Report(Record(u"1", u"N", u"None", u"N:AK\u00E9.Q.J.T 2.3.4.5 6.7.8.9 A.K.Q.J"), u"", 28591);
    EXPECT_NE(latin1.find("S  A K \xE9\r\n"), std::string::npos) << latin1;
}

TEST(TextReport, DoubleDummyLinesForACompleteTable) {
    std::string report = Report(Record(u"1", u"N", u"None", DEAL), TRICKS);
    EXPECT_NE(report.find("\r\nNS: 1C D5 H6 S5 NT6\r\nEW: 1D 2S C5 H6 NT6\r\nLoTT: 15 - 16 = -1\r\n"
                          "Par: -110 2S-EW\r\n\r\n"
                          "EW\xA0"
                          "2S; EW\xA0"
                          "1D; NS\xA0"
                          "1C; Par\xA0-110\r\n"),
              std::string::npos)
        << report;
}

TEST(TextReport, DoubleDummyTextMustBeTwentyValidDigits) {
    std::string plain = Report(Record(u"1", u"N", u"None", DEAL));
    EXPECT_EQ(Report(Record(u"1", u"N", u"None", DEAL), TRICKS.substr(0, 19)), plain);
    EXPECT_EQ(Report(Record(u"1", u"N", u"None", DEAL), TRICKS + u"0"), plain);
    std::u16string withE = TRICKS;
    withE[0] = u'e';
    EXPECT_EQ(Report(Record(u"1", u"N", u"None", DEAL), withE), plain);
    // 'D' and 'd' count thirteen.
    std::u16string grand = u"DdDdD"
                           u"dDdDd"
                           u"00000"
                           u"00000";
    std::string report = Report(Record(u"1", u"N", u"None", DEAL), grand);
    EXPECT_NE(report.find("NS: 7C 7D 7H 7S 7NT\r\n"), std::string::npos) << report;
}

TEST(TextReport, DealThatDoesNotParseLeavesOutOnlyTheLott) {
    std::u16string bad = u"N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652";
    std::string report = Report(Record(u"1", u"N", u"None", bad), TRICKS);
    EXPECT_EQ(report.find("LoTT"), std::string::npos);
    EXPECT_NE(report.find("NS: 1C"), std::string::npos);
    EXPECT_NE(report.find("Par: -110"), std::string::npos);
}

TEST(TextReport, MakeableLine) {
    CDDA dda;
    // North-South: clubs 5/5, diamonds 8/8, hearts 9/7, spades 6/8, no trump 7/7.
    const int north[5] = {6, 9, 8, 5, 7};
    const int south[5] = {8, 7, 8, 5, 7};
    for (int strain = 0; strain < 5; ++strain) {
        dda.SetTricks(0, strain, static_cast<uint8_t>(north[strain]));
        dda.SetTricks(2, strain, static_cast<uint8_t>(south[strain]));
    }
    std::string line;
    AppendMakeableLine(line, dda, 0);
    EXPECT_EQ(line, "NS: 2D 3/1H -/2S 1NT C5 S6/8\r\n");
}

TEST(TextReport, ParValuesWithTwoScores) {
    // Everybody makes seven tricks in no trump and nothing else: either side makes 1NT if it declares first.
    std::u16string table = u"76666"
                           u"76666"
                           u"76666"
                           u"76666";
    std::string latin1 = Report(Record(u"1", u"N", u"None", DEAL), table, 28591);
    EXPECT_NE(latin1.find("Par: \xB1"
                          "90 1NT-NSEW\r\n"),
              std::string::npos)
        << latin1;
    EXPECT_NE(latin1.find("Par\xA0\xB1"
                          "90\r\n"),
              std::string::npos)
        << latin1;
    // The report goes out in the code page of its PBN text: UTF-8 there.
    std::string utf8 = Report(Record(u"1", u"N", u"None", DEAL), table, 65001);
    EXPECT_NE(utf8.find("Par: \xC2\xB1"
                        "90 1NT-NSEW\r\n"),
              std::string::npos)
        << utf8;
    EXPECT_NE(utf8.find("Par\xC2\xA0\xC2\xB1"
                        "90\r\n"),
              std::string::npos)
        << utf8;
}

TEST(TextReport, ParWithASacrifice) {
    // Board 2 of the reference deals, North-South vulnerable: par 4S doubled one down by East-West.
    std::u16string deal = u"E:QJT5432.T.6.QJ82 .J97543.K7532.94 87.A62.QJT4.AT75 AK96.KQ8.A98.K63";
    // Declarers N, S, E, W; strains NT, S, H, D, C.
    std::u16string tricks = u"94a86"
                            u"94a86"
                            u"39237"
                            u"39237";
    std::string report = Report(Record(u"2", u"E", u"NS", deal), tricks);
    EXPECT_NE(report.find("Par: +100 4S*-EW-1\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("; Par\xA0+100: EW\xA0"
                          "4Sx-1\r\n"),
              std::string::npos)
        << report;
}

TEST(TextReport, ScoreTableSection) {
    CBoardRecord record = Record(u"3", u"S", u"EW", DEAL);
    record[BRF_SCORETABLE] = u"Section;PairId_NS\\3R;Contract\\4;Result\\2R";
    record[BRF_SCORETABLE_ROWS] = u"A   1 4S   10\r\n";
    std::string report = Report(record);
    EXPECT_NE(report.find("ScoreTable: Section, PairId_NS, Contract, Result\r\nA   1 4S   10\r\n"), std::string::npos);
    record[BRF_DEAL].clear();
    EXPECT_EQ(Report(record).find("ScoreTable"), std::string::npos);
}

TEST(TextReport, StripMarkup) {
    EXPECT_EQ(StripMarkup(u"NS\u00A04\\S; <b>N</b> 3N\\n\\x\\"), u"NS\u00A04S; N 3N\r\nX");
    EXPECT_EQ(StripMarkup(u"a<b"), u"a");
}

TEST(TextReport, LottPrefersTheSuitWithMoreTricksAmongEqualLengths) {
    // North-South hold 4-4 in spades and hearts (x cards count); East-West 5-5 in diamonds and clubs.
    std::u16string deal = u"N:AKxx.AKxx.xx.xxx xx.x.AKQxx.Kxxxx QJxx.QJxx.xx.xxx x.xx.Jxxxx.AQJxx";
    // N, S, E, W x NT, S, H, D, C: NS take 9 in hearts, 8 in spades; EW 9 in clubs, 8 in diamonds.
    std::u16string tricks = u"78942"
                            u"78942"
                            u"45589"
                            u"45589";
    std::string report = Report(Record(u"1", u"N", u"None", deal), tricks);
    EXPECT_NE(report.find("LoTT: 18 - 18 = 0\r\n"), std::string::npos) << report;
}

} // namespace
