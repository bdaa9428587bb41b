// The ScoreTable builder on score tables written as the companion writes them.
#include <gtest/gtest.h>

#include <utility>

#include "conversion/score_table.h"
#include "page_fixture.h"
#include "platform/wide_text.h"

namespace {

using Cell = std::pair<std::string, std::string>; // class, text

std::string Row(const std::vector<Cell> &cells, const std::string &rowClass = "tsst") {
    std::string html = "<tr class=\"" + rowClass + "\">";
    for (const auto &[cls, text] : cells)
        html += (cls.empty() ? "<td>" : "<td class=\"" + cls + "\">") + text + "</td>";
    return html + "</tr>";
}

std::string Table(const std::string &rows) {
    return "<table class=\"tsst\"><tbody>" + rows + "</tbody></table>";
}

struct Built {
    std::string value;
    std::string rows;
    int scoringKinds = 0;
};

// The ScoreTable of the first board division of the page.
Built BuildFromPage(const std::string &body) {
    CDSCDoc document;
    pages::Load(document, pages::Page(body));
    std::vector<NKXML::CNode *> boards;
    document.m_parser.FindElements(boards, u"div", u"class", u"tsboard");
    Built built;
    if (boards.empty())
        return built;
    document.m_nScoringKinds = 0;
    std::u16string value, rows;
    document.ParseScoreTable(boards.front(), value, rows);
    built.value = platform::Utf16ToUtf8(value);
    built.rows = platform::Utf16ToUtf8(rows);
    built.scoringKinds = document.m_nScoringKinds;
    return built;
}

Built BuildInside(const std::string &table) {
    return BuildFromPage("<div class=\"tsboard\">" + table + "</div>");
}

TEST(ScoreTable, WorkedExampleLinesUpColumns) {
    Built built = BuildInside(Table(Row({{"tsstpairns", "1"},
                                         {"tsstpairew", "3"},
                                         {"tsstcontract", "4&spades;"},
                                         {"tsstdeclarer", "N"},
                                         {"tsstmade", "4"},
                                         {"tsstscorens", "420"},
                                         {"tsstscoreew", ""}},
                                        "tsstshade") +
                                    Row({{"tsstpairns", "2"},
                                         {"tsstpairew", "4"},
                                         {"tsstcontract", "3NT"},
                                         {"tsstdeclarer", "S"},
                                         {"tsstmade", "&minus;1"},
                                         {"tsstscorens", ""},
                                         {"tsstscoreew", "50"}})));
    EXPECT_EQ(
        built.value,
        "Section;PairId_NS;PairId_EW;Contract\\3;Declarer;Result\\2R;Score_NS\\3R;Score_EW\\2R;Names_NS;Names_EW");
    EXPECT_EQ(built.rows, "- 1 3 4S  N 10 420  - - -\r\n"
                          "- 2 4 3NT S  8   - 50 - -\r\n");
    EXPECT_EQ(built.scoringKinds, 0);
}

TEST(ScoreTable, MatchpointColumnsListedInColumnOrderAndRecorded) {
    Built built = BuildInside(Table(Row({{"tsstpairns", "1"},
                                         {"tsstpairew", "2"},
                                         {"tsstcontract", "4S"},
                                         {"tsstdeclarer", "N"},
                                         {"tsstmade", "4"},
                                         {"tsstlead", "HK"},
                                         {"tsstscorens", "420"},
                                         {"tsstscoreew", ""},
                                         {"tsstmpns", "10"},
                                         {"tsstmpew", "2"}})));
    EXPECT_EQ(built.value, "Section;PairId_NS;PairId_EW;Contract\\2;Declarer;Lead\\2;Result\\2R;Score_NS\\3R;"
                           "Score_EW;MP_NS\\2R;MP_EW;Names_NS;Names_EW");
    EXPECT_EQ(built.scoringKinds, SCORING_MATCHPOINTS);
    Built imps = BuildInside(Table(Row({{"tsstcontract", "3NT"}, {"tsstimpew", "5"}})));
    EXPECT_EQ(imps.scoringKinds, SCORING_IMPS);
    EXPECT_EQ(imps.value, "Contract\\3;IMP_EW");
}

TEST(ScoreTable, TableAfterTheDivisionIsFoundPastTextAndComments) {
    std::string table = Table(Row({{"tsstcontract", "2H"}}));
    EXPECT_EQ(BuildFromPage("<div class=\"tsboard\"></div>\n <!-- results -->\n" + table).rows, "2H\r\n");
    // Another element in between: the board has no table.
    Built none = BuildFromPage("<div class=\"tsboard\"></div><div></div>" + table);
    EXPECT_EQ(none.value, "");
    EXPECT_EQ(none.rows, "");
    // A table inside wins over the one that follows.
    EXPECT_EQ(BuildFromPage("<div class=\"tsboard\">" + Table(Row({{"tsstcontract", "1C"}})) + "</div>" + table).rows,
              "1C\r\n");
}

TEST(ScoreTable, OnlyBodyRowsOfTheTwoResultClassesAreTaken) {
    Built noBody = BuildInside("<table class=\"tsst\">" + Row({{"tsstmpns", "1"}}) + "</table>");
    EXPECT_EQ(noBody.rows, "");
    EXPECT_EQ(noBody.scoringKinds, 0);
    Built mixed =
        BuildInside(Table(Row({{"tsstcontract", "1C"}}, "tsstshade") + Row({{"tsstcontract", "2C"}}, "tssthead") +
                          Row({{"tsstcontract", "3C"}}, "tsst") + Row({{"tsstcontract", "4C"}}, "TSST")));
    EXPECT_EQ(mixed.rows, "1C\r\n3C\r\n");
}

TEST(ScoreTable, CellsAreCleanedOfBlanksAndSymbols) {
    Built built = BuildInside(
        Table(Row({{"tsstcontract", "4&hearts;&times;"},
                   {"tsstdeclarer", "&nbsp;\n "},
                   {"tsstlead", "&spades;10"},
                   {"tsstscorens", " 1 430 "}}) +
              Row({{"tsstcontract", "3 NT"}, {"tsstdeclarer", "E"}, {"tsstlead", "S10x"}, {"tsstscorens", "-"}})));
    EXPECT_EQ(built.rows, "4HX - ST   1430\r\n"
                          "3NT E S10x -\r\n");
}

TEST(ScoreTable, TricksFollowTheResultCell) {
    auto result = [](const std::string &contract, const std::string &made, bool contractFirst = true) {
        std::vector<Cell> cells = contractFirst ? std::vector<Cell>{{"tsstcontract", contract}, {"tsstmade", made}}
                                                : std::vector<Cell>{{"tsstmade", made}, {"tsstcontract", contract}};
        return BuildInside(Table(Row(cells))).rows;
    };
    EXPECT_EQ(result("4S", "3"), "4S 9\r\n");
    EXPECT_EQ(result("4S", "-2"), "4S 8\r\n");
    EXPECT_EQ(result("4S", "&minus;2"), "4S 8\r\n");
    EXPECT_EQ(result("4S", "-1", false), "4S -\r\n"); // the contract stands later in the row
    EXPECT_EQ(result("4S", ""), "4S 0\r\n");
    EXPECT_EQ(result("4S", "249"), "4S -\r\n");
    EXPECT_EQ(result("\"4S\"", "-1"), "\"\\\"4S\\\"\" -\r\n");
}

TEST(ScoreTable, ResultCellWithoutATrickCountKeepsAnEarlierOne) {
    // A second result cell that gives no count (down without a contract, or 249 made) leaves the first one's.
    auto rows = [](const std::string &second) {
        return BuildInside(Table(Row({{"tsstmade", "3"}, {"tsstmade", second}, {"tsstcontract", "4S"}}))).rows;
    };
    EXPECT_EQ(rows("-1"), "4S 9\r\n");
    EXPECT_EQ(rows("249"), "4S 9\r\n");
    EXPECT_EQ(rows("1"), "4S 7\r\n");
    EXPECT_EQ(rows(""), "4S 0\r\n");
}

TEST(ScoreTable, PairCellsGiveSectionNumberAndNames) {
    Built built = BuildInside(Table(Row({{"tsstpairns", "B12"}, {"tsstpairew", "7-East team"}}) +
                                    Row({{"tsstpairns", "North"}, {"tsstpairew", "C3"}})));
    EXPECT_EQ(built.value, "Section\\5;PairId_NS\\2R;PairId_EW;Names_NS;Names_EW\\11");
    EXPECT_EQ(built.rows, "B     12 7 - \"East team\"\r\n"
                          "North  0 3 - -\r\n");
    Built pairs = BuildInside(Table(Row({{"tsstpairs", "1 vs 2"}}) + Row({{"tsstpairs", "1-2"}})));
    EXPECT_EQ(pairs.value, "Section;PairId_NS;PairId_EW;Names_NS;Names_EW");
    EXPECT_EQ(pairs.rows, "- 1 2 - -\r\n"
                          "- - - - -\r\n");
}

TEST(ScoreTable, EmptyCellsOfEveryClass) {
    // An empty pair cell gives pair number 0 and no names; an empty result cell 0 tricks; the rest "-".
    std::vector<Cell> empty;
    for (const char *cellClass : {"tsstpairns", "tsstpairew", "tsstcontract", "tsstdeclarer", "tsstmade", "tsstlead",
                                  "tsstscorens", "tsstscoreew", "tsstmpns", "tsstmpew", "tsstimpns", "tsstimpew"})
        empty.push_back({cellClass, ""});
    EXPECT_EQ(BuildInside(Table(Row(empty))).rows, "- 0 0 - - - 0 - - - - - - - -\r\n");
    EXPECT_EQ(BuildInside(Table(Row({{"tsstpairs", ""}}) + Row({{"tsstpairs", "3 vs "}}))).rows,
              "- - - - -\r\n- 3 0 - -\r\n");
}

TEST(ScoreTable, ShortRowsLeaveColumnsEmptyAndExtraCellsAreIgnored) {
    Built built = BuildInside(Table(
        Row({{"tsstcontract", "4S"}, {"tsstdeclarer", "N"}, {"tsstscorens", "420"}}) + Row({{"tsstcontract", "3NT"}}) +
        Row({{"tsstcontract", "2C"}, {"tsstdeclarer", "W"}, {"tsstscorens", "90"}, {"tsstscoreew", "7"}})));
    EXPECT_EQ(built.value, "Contract\\3;Declarer;Score_NS\\3R");
    EXPECT_EQ(built.rows, "4S  N 420\r\n"
                          "3NT - -\r\n"
                          "2C  W 90\r\n");
}

TEST(ScoreTable, NoKnownClassGivesEmptyLinesOnly) {
    Built built = BuildInside(Table(Row({{"", "x"}, {"other", "y"}}) + Row({{"", "z"}})));
    EXPECT_EQ(built.value, "");
    EXPECT_EQ(built.rows, "\r\n\r\n");
}

TEST(ScoreTable, TokensWithSpecialCharactersAreQuoted) {
    // Inside quotes a quote is written \" and a backslash \\; a token without quotes keeps its backslash.
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"", u"-"},
        {u"4S", u"4S"},
        {u"a\\b", u"a\\b"},
        {u"a;b", u"\"a;b\""},
        {u"50%", u"\"50%\""},
        {u"[x]", u"\"[x]\""},
        {u"{c}", u"\"{c}\""},
        {u"two words", u"\"two words\""},
        {u"Ren\u00E9e", u"\"Ren\u00E9e\""},
        {u"a\"b", u"\"a\\\"b\""},
        {u"\"Ann\" Lee\\", u"\"\\\"Ann\\\" Lee\\\\\""},
    };
    for (const auto &[value, token] : cases)
        EXPECT_EQ(QuotePbnToken(value), token) << platform::Utf16ToUtf8(value);
    EXPECT_EQ(BuildInside(Table(Row({{"tsstpairns", "11-&quot;Ann&quot; Lee"}}))).rows, "- 11 \"\\\"Ann\\\" Lee\"\r\n");
}

TEST(ScoreTable, NodeTextJoinsAllTextBelowInDocumentOrder) {
    CDSCDoc document;
    pages::Load(document, pages::Page("<div class=\"tsboard\">a<b>b<i>c</i></b><!--x-->d</div>"));
    std::vector<NKXML::CNode *> boards;
    document.m_parser.FindElements(boards, u"div", u"class", u"tsboard");
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(GetNodeText(boards.front()), u"abcd");
}

} // namespace
