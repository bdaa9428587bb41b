// The board scan: labels, hand cells, section letters and the recap listing as they reach the PBN tags.
#include <gtest/gtest.h>

#include "page_fixture.h"

namespace {

const std::string RESULTS =
    "<table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstcontract\">1C</td></tr></tbody></table>";
const std::vector<std::string> NO_CARDS(16, "");

std::string Convert(const std::string &body) {
    CDSCDoc document;
    pages::Load(document, pages::Page(body));
    return document.m_strPbn;
}

TEST(BoardScan, BoardNumberIsTheFirstNumberOfTheLabel) {
    std::string pbn =
        Convert(pages::Board("Board 12", "N", "None", NO_CARDS, RESULTS) +
                pages::Board("Bd. 7a", "N", "None", NO_CARDS, RESULTS) +
                pages::Board("Board 0", "N", "None", NO_CARDS, RESULTS) +
                pages::Board("Board", "N", "None", NO_CARDS, RESULTS) + "<div class=\"tsboard\">" + RESULTS + "</div>");
    EXPECT_EQ(pages::TagValues(pbn, "Board"), (std::vector<std::string>{"12", "7", "?", "?", "?"}));
}

TEST(BoardScan, DealerAndVulnerabilityFromTheirLabels) {
    std::string pbn;
    for (const char *dealer : {"North", "n", "", "West", "South", "East"})
        pbn += pages::Board("1", dealer, "None", NO_CARDS, RESULTS);
    EXPECT_EQ(pages::TagValues(Convert(pbn), "Dealer"), (std::vector<std::string>{"N", "?", "?", "W", "S", "E"}));
    pbn.clear();
    for (const char *vulnerability : {"None", "NS", "N-S", "E-W", "Both", "none", "-", "Nonesuch", ""})
        pbn += pages::Board("1", "N", vulnerability, NO_CARDS, RESULTS);
    EXPECT_EQ(pages::TagValues(Convert(pbn), "Vulnerable"),
              (std::vector<std::string>{"None", "NS", "NS", "EW", "All", "?", "?", "None", "?"}));
}

TEST(BoardScan, HandCellsBecomeTheDealFromTheDealer) {
    std::vector<std::string> cells =
        pages::Cells("AKQ.1098.&mdash;.J 2", "J32.AKQ2.AKQ.432", "T987.765.876.765", "654.J43.JT95432.-");
    cells[7] = "A K Q 10 9 8"; // West's clubs
    std::string pbn = Convert(pages::Board("1", "North", "None", cells) + pages::Board("2", "East", "None", cells) +
                              pages::Board("3", "?", "None", cells));
    EXPECT_EQ(pages::TagValues(pbn, "Deal"),
              (std::vector<std::string>{
                  "N:AKQ.T98..J2 J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98",
                  "E:J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98 AKQ.T98..J2",
                  "N:AKQ.T98..J2 J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98",
              }));
}

TEST(BoardScan, MissingCellsAreEmptyHoldingsAndNoCardMeansNoDeal) {
    std::vector<std::string> half = {"AKQ", "JT9", "876", "5432", "T987", "65", "AK", "QJT9"};
    std::string pbn = Convert(pages::Board("1", "N", "None", half) + pages::Board("2", "N", "None", NO_CARDS, RESULTS));
    EXPECT_EQ(pages::TagValues(pbn, "Deal"),
              (std::vector<std::string>{"N:AKQ.JT9.876.5432 ... ... T987.65.AK.QJT9", ""}));
}

TEST(BoardScan, BoardsWithoutCardsAndResultsAreLeftOut) {
    std::string pbn =
        Convert(pages::Board("1", "N", "None", NO_CARDS) + pages::Board("2", "N", "None", NO_CARDS, RESULTS));
    EXPECT_EQ(pages::TagValues(pbn, "Board"), (std::vector<std::string>{"2"}));
}

TEST(BoardScan, SectionLettersComeFromTheNearestBoardDivisions) {
    std::string board = pages::Board("1", "N", "None", NO_CARDS, RESULTS);
    std::string pbn = Convert("<div id=\"BoardAB\"></div><p>text</p>\n" + board + // text and a p are passed over
                              "<div id=\"Board2\"></div>" + board +               // found, no letters
                              "<div id=\"board A\"></div>" + board +              // no match
                              "<div id=\"BoardC\"></div><div></div><div id=\"x\"></div>" + board + // too far
                              "<div id=\"BoardD\"></div><div></div>" + board);                     // one div between
    EXPECT_EQ(pages::TagValues(pbn, "Section"), (std::vector<std::string>{"AB", "D"}));
    EXPECT_EQ(pages::TagValues(pbn, "Board").size(), 5u);
}

TEST(BoardScan, PageWithoutRecapHasEmptyEventSiteAndDate) {
    std::string pbn = Convert(pages::Board("1", "N", "None", NO_CARDS, RESULTS));
    EXPECT_EQ(pages::TagValues(pbn, "Event"), (std::vector<std::string>{""}));
    EXPECT_EQ(pages::TagValues(pbn, "Site"), (std::vector<std::string>{""}));
    EXPECT_EQ(pages::TagValues(pbn, "Date"), (std::vector<std::string>{""}));
}

TEST(BoardScan, ScoringFollowsTheKindsOfColumnsOnThePage) {
    auto table = [](const char *cls) {
        return std::string("<table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"") + cls +
               "\">1</td></tr></tbody></table>";
    };
    auto scoring = [&](const std::string &first, const std::string &second) {
        return pages::TagValues(
            Convert(pages::Board("1", "N", "None", NO_CARDS, first) + pages::Board("2", "N", "None", NO_CARDS, second)),
            "Scoring");
    };
    EXPECT_EQ(scoring(table("tsstmpns"), table("tsstcontract")), (std::vector<std::string>{"MP2", "MP2"}));
    EXPECT_EQ(scoring(table("tsstimpew"), table("tsstcontract")), (std::vector<std::string>{"IMP", "IMP"}));
    EXPECT_EQ(scoring(table("tsstmpns"), table("tsstimpns")), (std::vector<std::string>{"?", "?"}));
    EXPECT_EQ(scoring(table("tsstcontract"), table("tsstcontract")), (std::vector<std::string>{"?", "?"}));
}

} // namespace

namespace {

TEST(BoardScan, SpanTextIsTheFirstTextOfTheFirstSpanOfItsClass) {
    CDSCDoc document;
    pages::Load(document, pages::Page("<div class=\"tsboard\"><span class=\"tslabelboard\"><b>x</b></span>"
                                      "<span class=\"tslabelboard\">Board 2</span>"
                                      "<p><span class=\"other tslabeldealer\">N</span>"
                                      "<span class=\"tslabeldealer\">East</span></p></div>"));
    std::vector<NKXML::CNode *> boards;
    document.m_parser.FindElements(boards, u"div", u"class", u"tsboard");
    ASSERT_EQ(boards.size(), 1u);
    // The first matching span has no text child of its own: no text, although a later span has one.
    EXPECT_EQ(document.GetSpanText(boards[0], "tslabelboard"), nullptr);
    EXPECT_EQ(std::u16string(document.GetSpanText(boards[0], "tslabeldealer")), u"East");
    EXPECT_EQ(document.GetSpanText(boards[0], "tslabelvul"), nullptr);
    // The scan reads the labels the same way.
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Board"), std::vector<std::string>{});
    std::string pbn;
    {
        CDSCDoc withCards;
        pages::Load(withCards,
                    pages::Page("<div class=\"tsboard\"><span class=\"tslabelboard\"><b>x</b></span>"
                                "<span class=\"tslabelboard\">Board 2</span><span class=\"tslabeldealer\">East</span>"
                                "<table><tbody><tr><td class=\"tshand\">AKQ</td></tr></tbody></table></div>"));
        pbn = withCards.m_strPbn;
    }
    EXPECT_EQ(pages::TagValues(pbn, "Board"), (std::vector<std::string>{"?"}));
    EXPECT_EQ(pages::TagValues(pbn, "Dealer"), (std::vector<std::string>{"E"}));
}

} // namespace

namespace {

// A board division inside another: both are boards, in document order, and the outer one's searches reach
// into the inner one, as element searches over a division do.
TEST(BoardScan, NestedBoardDivisionsAreBothRead) {
    const std::string results =
        "<table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstcontract\">1C</td></tr></tbody></table>";
    std::string inner = pages::Board("2", "E", "NS", std::vector<std::string>(16, ""), results);
    std::string outer = "<div class=\"tsboard\"><span class=\"tslabelboard\">Board 1</span>" + inner + "</div>";
    CDSCDoc document;
    pages::Load(document, pages::Page(outer));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Board"), (std::vector<std::string>{"1", "2"}));
    // The outer division has no dealer label of its own but finds the inner one's.
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Dealer"), (std::vector<std::string>{"E", "E"}));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "ScoreTable"),
              (std::vector<std::string>{"Contract\\2", "Contract\\2"}));
}

} // namespace
