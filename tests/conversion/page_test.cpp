// Small pages through the document: hand cells, the status, recap options and the export's code page. Labels,
// sections and score tables are in the golden page "edge_boards".
#include <gtest/gtest.h>

#include <sstream>

#include "conversion/score_table.h"
#include "platform/wide_text.h"
#include "support.h"

namespace {

using Strings = std::vector<std::string>;

std::string Page(const std::string &body) {
    return "<html><head><title>t</title></head><body>\n" + body + "\n</body></html>\n";
}

// One board division: labels, the sixteen hand cells of a PBN deal "N:n e s w" (or none) and the markup inside.
std::string Board(const std::string &number, const std::string &dealer = "N", const std::string &vul = "None",
                  const std::string &deal = "", const std::string &inside = "") {
    std::string html = "<div class=\"tsboard\"><table><tbody><tr><td><span class=\"tslabelboard\">" + number +
                       "</span></td><td><span class=\"tslabeldealer\">" + dealer +
                       "</span></td><td><span class=\"tslabelvul\">" + vul + "</span></td></tr>";
    if (!deal.empty()) {
        // The page's rows are North, West, East, South; the deal's hands N, E, S, W, holdings split at '.'.
        std::vector<std::string> hands;
        std::istringstream in(deal.substr(2));
        for (std::string hand; in >> hand;)
            hands.push_back(hand + ".");
        for (int seat : {0, 3, 1, 2}) {
            html += "<tr>";
            for (size_t start = 0, dot; (dot = hands[seat].find('.', start)) != std::string::npos; start = dot + 1)
                html += "<td class=\"tshand\">" + hands[seat].substr(start, dot - start) + "</td>";
            html += "</tr>";
        }
    }
    return html + "</tbody></table>" + inside + "</div>\n";
}

void Load(CDSCDoc &document, const std::string &page, int recapOption = RECAP_OMIT, unsigned codePage = 65001) {
    document.m_nRecapOption = recapOption;
    support::BytesPageSource source(u"https://results.example/club/page.htm", page, codePage);
    document.LoadFromView(source);
}

// The PBN export of a page body.
std::string Convert(const std::string &body, int recapOption = RECAP_OMIT) {
    CDSCDoc document;
    Load(document, Page(body), recapOption);
    return document.m_strPbn;
}

// Values of every tag of that name in a PBN text, in order.
Strings TagValues(const std::string &pbn, const std::string &name) {
    Strings values;
    const std::string open = "\n[" + name + " \"";
    for (size_t at = pbn.find(open); at != std::string::npos; at = pbn.find(open, at + 1)) {
        size_t start = at + open.size();
        values.push_back(pbn.substr(start, pbn.find("\"]\r\n", start) - start));
    }
    return values;
}

// A result row of cells "class=text|class=text" (a class may be empty), and a score table of rows.
std::string Row(const std::string &cells, const std::string &rowClass = "tsst") {
    std::string html = "<tr class=\"" + rowClass + "\">";
    for (size_t start = 0, end; start <= cells.size(); start = end + 1) {
        end = std::min(cells.find('|', start), cells.size());
        size_t is = cells.find('=', start);
        html += "<td class=\"" + cells.substr(start, is - start) + "\">" + cells.substr(is + 1, end - is - 1) + "</td>";
    }
    return html + "</tr>";
}
std::string Table(const std::string &rows) {
    return "<table class=\"tsst\"><tbody>" + rows + "</tbody></table>";
}
const std::string RESULTS = Table(Row("tsstcontract=1C"));
const std::string DEAL = "N:QJ6.K652.J85.1098 873.J97.A10764.Q4 K5.1083.KQ9.A7652 A10942.AQ4.32.KJ3";
const std::string RECAP = "<pre id=\"tsrecap\">EVENT>Pairs |CLUB>Club |DATE>May 2, 2022\n 1 Able\n</pre>\n";

std::string Status(const CDSCDoc &document) {
    return platform::Utf16ToUtf8(document.m_strStatus);
}

TEST(BoardScan, HandCellsBecomeTheDealFromTheDealer) {
    const std::string deal = "N:AKQ.1098.&mdash;.J2 J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98";
    EXPECT_EQ(TagValues(Convert(Board("1", "North", "None", deal) + Board("2", "East", "None", deal) +
                                Board("3", "?", "None", deal) + Board("4", "N", "None", "", RESULTS)),
                        "Deal"),
              (Strings{"N:AKQ.T98..J2 J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98",
                       "E:J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98 AKQ.T98..J2",
                       "N:AKQ.T98..J2 J32.AKQ2.AKQ.432 T987.765.876.765 654.J43.JT95432.AKQT98", ""}));
    // Cells missing from the end are empty holdings; a board without cards and results is left out.
    std::string half = Board("5", "N", "None", "N:AKQ.JT9.876.5432 - - T987.65.AK.QJT9");
    half.erase(half.find("<tr><td class=\"tshand\">-"),
               half.find("</tbody>") - half.find("<tr><td class=\"tshand\">-"));
    EXPECT_EQ(TagValues(Convert(half + Board("6")), "Deal"), Strings{"N:AKQ.JT9.876.5432 ... ... T987.65.AK.QJT9"});
}

TEST(ScoreTable, TokensThatNeedQuotes) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"", u"-"},
        {u"4S", u"4S"},
        {u"a\\b", u"a\\b"},
        {u"a;b", u"\"a;b\""},
        {u"50%", u"\"50%\""},
        {u"[x]", u"\"[x]\""},
        {u"{c}", u"\"{c}\""},
        {u"a b", u"\"a b\""},
        {u"~", u"~"},
        {u"a\x7F", u"\"a\x7F\""},
        {u"\u00E9", u"\"\u00E9\""},
        {u"a\"b\\", u"\"a\\\"b\\\\\""},
        {u"Ann\r\n\r\nBo", u"\"Ann    Bo\""},
        {u"a\tb\x01", u"\"a b \""},
    };
    for (const auto &[value, token] : cases)
        EXPECT_EQ(QuotePbnToken(value), token) << platform::Utf16ToUtf8(value);
}

// A later cell of the row writes a column again, or both pairs' names: in rows that end before that cell, or whose
// "vs" cell holds no " vs ", the earlier cell's value stands.
TEST(ScoreTable, ValuesALaterCellOfThePatternWouldReplaceStandInRowsWithoutIt) {
    const std::string pbn =
        Convert(Board("1", "N", "None", "",
                      Table(Row("tsstcontract=1C|tsstdeclarer=N|tsstcontract=2D") +
                            Row("tsstcontract=3H|tsstdeclarer=S") + Row("tsstcontract=4S"))) +
                Board("2", "N", "None", "",
                      Table(Row("tsstpairns=1-Ann|tsstpairs=2-Bo vs 3-Cy") + Row("tsstpairns=4-Di|tsstpairs=5-Ed"))));
    EXPECT_EQ(TagValues(pbn, "ScoreTable"),
              (Strings{"Contract\\2;Declarer", "Section;PairId_NS;PairId_EW;Names_NS\\2;Names_EW\\2"}));
    EXPECT_NE(pbn.find("\r\n2D N\r\n3H S\r\n4S -\r\n"), std::string::npos) << pbn;
    EXPECT_NE(pbn.find("\r\n- 2 3 Bo Cy\r\n- 4 - Di -\r\n"), std::string::npos) << pbn;
}

// Plain cells whose cleaned text outgrows the cleaning buffer, or comes after a longer one, are read whole: symbols
// replaced, white space dropped, nothing left over from the cell before.
TEST(ScoreTable, LongAndShortPlainCellsAreCleanedWhole) {
    std::string longCell = "1";
    std::string longToken = "1";
    for (int i = 0; i < 100; ++i) {
        longCell += i % 2 ? " &hearts;\t" : "&minus; x";
        longToken += i % 2 ? "H" : "-x";
    }
    const std::string pbn =
        Convert(Board("1", "N", "None", "",
                      Table(Row("tsstcontract=" + longCell + "|tsstlead=&spades; 10") +
                            Row("tsstcontract=2 &diams;|tsstlead= \n") + Row("tsstcontract=|tsstlead=&clubs;A"))));
    const std::string width = std::to_string(longToken.size());
    EXPECT_EQ(TagValues(pbn, "ScoreTable"), Strings{"Contract\\" + width + ";Lead\\2"});
    const std::string pad(longToken.size() - 2, ' ');
    EXPECT_NE(pbn.find("\r\n" + longToken + " ST\r\n2D" + pad + " -\r\n-" + pad + "  CA\r\n"), std::string::npos)
        << pbn;
}

TEST(Document, StatusOfPagesWithoutBoards) {
    CDSCDoc document;
    Load(document, Page("<div class=\"x\"><span>a</span><table><tbody><tr><td>3 < 4</td></tr>"
                        "</tbody></table></div>"));
    EXPECT_EQ(Status(document).rfind("Unexpected char: 4", 0), 0u) << Status(document);
    EXPECT_FALSE(document.m_bConverted);
    Load(document, Page("<div class=\"tsboard\"><table><tbody><tr><td>x</td></tr></tbody></table></div>"));
    EXPECT_EQ(document.m_strStatus, STATUS_EXPECTED_TAGS_NOT_FOUND);
    Load(document, Page(RECAP + "<div id=\"a\" class=\"b\"><span>x</span><table><tbody><tr><td>y"
                                "</td></tr></tbody></table></div>"));
    EXPECT_EQ(document.m_strStatus, STATUS_NO_BOARDS);
    EXPECT_FALSE(document.m_bConverted);
    // A new recap option converts again but keeps the status.
    document.m_strStatus = u"earlier";
    document.m_nRecapOption = RECAP_ADD_TO_BOARD1;
    document.Convert();
    EXPECT_EQ(document.m_strStatus, u"earlier");
    EXPECT_TRUE(document.m_strPbn.empty());
    // A board without spans: written, without number, dealer or vulnerability; the count replaces the status.
    std::string board = Board("", "", "", DEAL);
    board.erase(board.find("<tr><td><span"), board.find("</tr>") + 5 - board.find("<tr><td><span"));
    Load(document, Page(board));
    EXPECT_EQ(Status(document), "1 boards converted.");
    EXPECT_EQ(TagValues(document.m_strPbn, "Vulnerable"), Strings{"?"});
}

TEST(Document, RecapOptions) {
    CDSCDoc document;
    // The recap board alone is a conversion.
    Load(document, Page(RECAP + Board("1")), RECAP_INSERT_BOARD);
    EXPECT_EQ(Status(document), "0 boards converted.");
    EXPECT_TRUE(document.m_bConverted);
    EXPECT_NE(document.m_strPbn.find("{EVENT>Pairs |CLUB>Club |DATE>May 2, 2022\n 1 Able\n}\r\n[TSFlags \"8417\"]"),
              std::string::npos);
    EXPECT_TRUE(document.m_strTextReport.empty());
    // Added to the first board even when it has no cards; without a recap that board follows the usual rule.
    Load(document, Page(RECAP + Board("1") + Board("2", "N", "None", DEAL)), RECAP_ADD_TO_BOARD1);
    EXPECT_EQ(Status(document), "2 boards converted.");
    EXPECT_EQ(TagValues(document.m_strPbn, "TSFlags"), Strings{"4103f"});
    Load(document, Page(Board("1") + Board("2", "N", "None", DEAL)), RECAP_ADD_TO_BOARD1);
    EXPECT_EQ(TagValues(document.m_strPbn, "Board"), Strings{"2"});
    for (int option : {RECAP_OMIT, 7, -1}) {
        std::string pbn = Convert(RECAP + Board("1", "N", "None", DEAL), option);
        EXPECT_EQ(pbn.find("Able"), std::string::npos) << option;
        EXPECT_EQ(TagValues(pbn, "Event"), Strings{"Pairs"}) << option;
    }
}

TEST(Document, OneCharacterBeyondLatin1AnywhereOnThePageMakesTheExportUtf8) {
    const std::string board = Board("1", "N", "None", DEAL);
    const std::pair<std::string, int> cases[] = {
        {"<pre id=\"tsrecap\">EVENT>Caf\xC3\xA9\n \xC5\x81ukasz\n</pre>" + board, CODE_PAGE_UTF8}, // recap not written
        {board + "<div id=\"Board\xC5\x81\"></div>" + Board("2"), CODE_PAGE_UTF8}, // letters of a board left out
        {Board("1", "N", "None", DEAL, Table(Row("tsstpairns=1-\xC5\x81ukasz"))) + board, CODE_PAGE_UTF8},
        {"<pre id=\"tsrecap\">EVENT>Caf\xC3\xA9 \"\xC3\xBF\"\\1\n</pre>" + board, CODE_PAGE_LATIN1},
    };
    for (const auto &[body, codePage] : cases) {
        CDSCDoc document;
        Load(document, Page(body));
        EXPECT_EQ(document.m_nOutputCodePage, codePage) << body;
        EXPECT_NE(document.m_strPbn.find(codePage == CODE_PAGE_UTF8 ? "charset=UTF-8\r\n" : "charset=ISO-8859-1\r\n"),
                  std::string::npos);
    }
    // Latin-1 bytes; quotes and backslashes in values are written as they stand.
    EXPECT_EQ(TagValues(Convert(std::get<0>(cases[3])), "Event"), Strings{"Caf\xE9 \"\xFF\"\\1"});
}

TEST(Document, DoubleDummyResultsGoWithTheirBoardNumber) {
    CDSCDoc document;
    Load(document, Page(Board("Board", "N", "None", DEAL) + Board("5", "N", "None", DEAL)));
    document.m_ddResults[u"?"] = {u"65657656576867568675", u"", u"N NT 6\r\n"};
    document.m_ddResults[u"5"] = {u"", u"Declarer;Denomination\\2R;Result\\2R", u"N NT  6\r\n"};
    document.Convert();
    EXPECT_EQ(TagValues(document.m_strPbn, "DoubleDummyTricks"), Strings{"65657656576867568675"});
    EXPECT_EQ(document.m_strPbn.find("N NT 6\r\n"), std::string::npos); // rows without their tag
    EXPECT_NE(document.m_strPbn.find("Result\\2R\"]\r\nN NT  6\r\n"), std::string::npos);
    document.DeleteContents(); // the address stays
    EXPECT_EQ(document.m_strURL, u"https://results.example/club/page.htm");
    EXPECT_TRUE(document.m_strHtml.empty() && document.m_strPbn.empty() && document.m_ddResults.empty());
}

TEST(Document, PageBytesAreKeptWholeAndDecodedUpToAZeroByte) {
    CDSCDoc document;
    std::string page = Page(Board("1", "N", "None", DEAL));
    Load(document, page + std::string(1, '\0') + Board("2", "N", "None", DEAL), RECAP_OMIT, 1252);
    EXPECT_EQ(document.m_strRawHtml.size(), page.size() + 1 + Board("2", "N", "None", DEAL).size());
    EXPECT_EQ(document.m_strHtml.size(), page.size());
    EXPECT_EQ(Status(document), "1 boards converted.");
}

TEST(Document, FullNameTableBecomesTheStatusNotACrash) {
    std::string filler;
    for (int i = 0; i < 70000; ++i)
        filler += "<q" + std::to_string(i) + "/>";
    CDSCDoc document;
    // "id" is not used before the table fills and cannot be added afterwards.
    Load(document, Page(Board("1", "N", "None", DEAL) + filler));
    EXPECT_NE(Status(document).find("Atom number overflow"), std::string::npos) << Status(document);
    EXPECT_TRUE(document.m_strPbn.empty());
    Load(document, Page("<div id=\"x\"></div>" + Board("1", "N", "None", DEAL) + filler));
    EXPECT_EQ(Status(document), "1 boards converted.");
}

TEST(Document, DefaultFileNames) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"file:///home/ann/results/club.htm", "club.pbn"},
        {u"https://x.example/r/show?event=12.5", "show.pbn"},
        {u"https://x.example/r/day.1.html?x=1", "day.1.pbn"},
        {u"https://x.example/r/", ""},
        {u"club.htm", ""},
        {u"https://x.example/r/my.results page#top", "my.results page#top.pbn"},
        {u"https://x.example/r/a.b\\c", "a.b\\c.pbn"},
        {u"https://x.example/" + std::u16string(300, u'a') + u".htm", std::string(300, 'a') + ".htm"},
    };
    CDSCDoc document;
    for (const auto &[url, name] : cases) {
        document.m_strURL = url;
        EXPECT_EQ(platform::Utf16ToUtf8(document.GetDefaultFileName(u".pbn")), name) << name;
    }
}

} // namespace
