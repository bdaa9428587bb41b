// Small pages through the document: the board scan, the score tables, the status and the export's code page.
#include <gtest/gtest.h>

#include <sstream>

#include "conversion/score_table.h"
#include "platform/settings.h"
#include "platform/wide_text.h"
#include "scoped_hook.h"
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

TEST(BoardScan, LabelsGiveNumberDealerAndVulnerability) {
    const std::pair<std::string, Strings> numbers[] = {
        {"Board 12", {"12"}}, {"Bd. 7a", {"7"}}, {"Board 0", {"?"}}, {"Board", {"?"}}};
    for (const auto &[label, tag] : numbers)
        EXPECT_EQ(TagValues(Convert(Board(label, "N", "None", "", RESULTS)), "Board"), tag) << label;
    std::string page;
    for (const char *dealer : {"North", "n", "", "West", "South", "East"})
        page += Board("1", dealer, "None", "", RESULTS);
    EXPECT_EQ(TagValues(Convert(page), "Dealer"), (Strings{"N", "?", "?", "W", "S", "E"}));
    page.clear();
    for (const char *vulnerability : {"None", "NS", "N-S", "E-W", "Both", "none", "-", "Nonesuch", ""})
        page += Board("1", "N", vulnerability, "", RESULTS);
    EXPECT_EQ(TagValues(Convert(page), "Vulnerable"),
              (Strings{"None", "NS", "NS", "EW", "All", "?", "?", "None", "?"}));
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

TEST(BoardScan, SectionLettersComeFromTheNearestTwoDivisionsBefore) {
    std::string board = Board("1", "N", "None", "", RESULTS);
    std::string pbn = Convert("<div id=\"BoardAB\"></div>text<p>p</p><span>s</span><table></table>\n" + board +
                              "<div id=\"Board2\"></div>" + board +                                // no letters
                              "<div id=\"board A\"></div>" + board +                               // no match
                              "<div id=\"BoardC\"></div><div></div><div id=\"x\"></div>" + board + // too far
                              "<div id=\"BoardD\"></div><div></div>" + board);                     // one between
    EXPECT_EQ(TagValues(pbn, "Section"), (Strings{"AB", "D"}));
    EXPECT_EQ(TagValues(pbn, "Board").size(), 5u);
}

TEST(BoardScan, LabelIsTheFirstTextOfTheFirstSpanOfItsClass) {
    std::string pbn = Convert("<div class=\"tsboard\"><span class=\"tslabelboard\"><b>2</b></span>"
                              "<span class=\"tslabelboard\">Board 2</span><p><span class=\"x tslabeldealer\">N</span>"
                              "<span class=\"tslabeldealer\">East</span></p>" +
                              RESULTS + "</div>");
    EXPECT_EQ(TagValues(pbn, "Board"), Strings{"?"});
    EXPECT_EQ(TagValues(pbn, "Dealer"), Strings{"E"});
    // A board division inside another: both are boards, and the outer one's searches reach into the inner one.
    pbn = Convert("<div class=\"tsboard\"><span class=\"tslabelboard\">Board 1</span>" +
                  Board("2", "E", "NS", "", RESULTS) + "</div>");
    EXPECT_EQ(TagValues(pbn, "Board"), (Strings{"1", "2"}));
    EXPECT_EQ(TagValues(pbn, "Dealer"), (Strings{"E", "E"}));
    EXPECT_EQ(TagValues(pbn, "ScoreTable"), (Strings{"Contract\\2", "Contract\\2"}));
}

TEST(BoardScan, ScoringIsUnknownWhenThePageHasMatchpointsAndImps) {
    EXPECT_EQ(TagValues(Convert(Board("1", "N", "None", "", Table(Row("tsstmpns=1"))) +
                                Board("2", "N", "None", "", Table(Row("tsstimpns=1")))),
                        "Scoring"),
              (Strings{"?", "?"}));
}

TEST(ScoreTable, ColumnsRowsAndCells) {
    const std::string cases[][3] = {
        // Pair cells: section letters, number and names; "vs" cells give both pairs.
        {Row("tsstpairns=B12|tsstpairew=7-East team") + Row("tsstpairns=North|tsstpairew=C3"),
         "Section\\5;PairId_NS\\2R;PairId_EW;Names_NS;Names_EW\\11",
         "B     12 7 - \"East team\"\r\nNorth  0 3 - -\r\n"},
        {Row("tsstpairs=1 vs 2") + Row("tsstpairs=1-2") + Row("tsstpairs=") + Row("tsstpairs=3 vs "),
         "Section;PairId_NS;PairId_EW;Names_NS;Names_EW", "- 1 2 - -\r\n- - - - -\r\n- - - - -\r\n- 3 0 - -\r\n"},
        // Symbols become letters, blanks go, the lead's ten is T; matchpoint columns in column order.
        {Row("tsstcontract=4&hearts;&times;|tsstdeclarer=&nbsp;\n |tsstlead=&spades;10|tsstscorens= 1 430 "
             "|tsstmpew=1") +
             Row("tsstcontract=3 NT|tsstdeclarer=E|tsstlead=S10x|tsstscorens=-|tsstmpew=0"),
         "Contract\\3;Declarer;Lead\\4;Score_NS\\4R;MP_EW", "4HX - ST   1430 1\r\n3NT E S10x    - 0\r\n"},
        // Short rows leave columns empty; cells beyond the first row's are ignored.
        {Row("tsstcontract=4S|tsstdeclarer=N|tsstscorens=420") + Row("tsstcontract=3NT") +
             Row("tsstcontract=2C|tsstdeclarer=W|tsstscorens=90|tsstscoreew=7"),
         "Contract\\3;Declarer;Score_NS\\3R", "4S  N 420\r\n3NT - -\r\n2C  W 90\r\n"},
        // Empty cells of every class: pair number 0, no names, 0 tricks, otherwise "-".
        {Row("tsstpairns=|tsstpairew=|tsstcontract=|tsstdeclarer=|tsstmade=|tsstlead=|tsstscorens=|tsstscoreew=|"
             "tsstmpns=|tsstmpew=|tsstimpns=|tsstimpew="),
         "Section;PairId_NS;PairId_EW;Contract;Declarer;Lead;Result;Score_NS;Score_EW;MP_NS;MP_EW;IMP_NS;IMP_EW;"
         "Names_NS;Names_EW",
         "- 0 0 - - - 0 - - - - - - - -\r\n"},
        // Only the body rows of the two result classes; no known class, no table.
        {Row("tsstcontract=1C", "tsstshade") + Row("tsstcontract=2C", "tssthead") + Row("tsstcontract=3C") +
             Row("tsstcontract=4C", "TSST"),
         "Contract\\2", "1C\r\n3C\r\n"},
        {Row("=x|other=y") + Row("=z"), "", ""},
        // Quoted tokens: \" and \\ inside quotes.
        {Row("tsstpairns=11-&quot;Ann&quot; Lee\\"), "Section;PairId_NS\\2R;Names_NS\\15",
         "- 11 \"\\\"Ann\\\" Lee\\\\\"\r\n"},
        // Blanks between the first row's cells take positions: a later row written without them is read shifted.
        {"<tr class=\"tsst\">\n <td class=\"tsstcontract\">4S</td>\n <td class=\"tsstdeclarer\">N</td>\n</tr>" +
             Row("tsstcontract=3NT|tsstdeclarer=S"),
         "Contract\\2;Declarer", "4S N\r\nS  -\r\n"},
        // Tricks: above six made, or down from the contract when the row already holds it.
        {Row("tsstcontract=4S|tsstmade=3") + Row("tsstcontract=4S|tsstmade=&minus;2") +
             Row("tsstcontract=4S|tsstmade=") + Row("tsstcontract=4S|tsstmade=249"),
         "Contract\\2;Result", "4S 9\r\n4S 8\r\n4S 0\r\n4S -\r\n"},
        {Row("tsstmade=-1|tsstcontract=4S"), "Contract\\2;Result", "4S -\r\n"},
        {Row("tsstcontract=\"4S\"|tsstmade=-1"), "Contract\\8;Result", "\"\\\"4S\\\"\" -\r\n"},
        // A second result cell without a count (down before the contract, or 249 made) keeps the first one's.
        {Row("tsstmade=3|tsstmade=-1|tsstcontract=4S") + Row("tsstmade=3|tsstmade=249|tsstcontract=4S") +
             Row("tsstmade=3|tsstmade=1|tsstcontract=4S") + Row("tsstmade=3|tsstmade=|tsstcontract=4S"),
         "Contract\\2;Result", "4S 9\r\n4S 9\r\n4S 7\r\n4S 0\r\n"},
    };
    for (const auto &[rows, value, lines] : cases) {
        std::string pbn = Convert(Board("1", "N", "None", DEAL, Table(rows)));
        size_t at = pbn.find("[ScoreTable \""), rowsAt = pbn.find("\"]\r\n", at) + 4;
        EXPECT_EQ(at == std::string::npos ? "" : pbn.substr(at + 13, rowsAt - 4 - at - 13), value) << rows;
        EXPECT_EQ(at == std::string::npos ? "" : pbn.substr(rowsAt), lines) << rows;
    }
}

TEST(ScoreTable, TableAfterTheDivisionIsFoundPastTextAndComments) {
    const std::string board = Board("1", "N", "None", DEAL), after = Table(Row("tsstcontract=2H"));
    EXPECT_NE(Convert(board + "\n <!-- x -->\n" + after).find("\r\n2H\r\n"), std::string::npos);
    EXPECT_EQ(Convert(board + "<div></div>" + after).find("2H"), std::string::npos);
    EXPECT_EQ(Convert(Board("1", "N", "None", DEAL, Table(Row("tsstcontract=1C"))) + after).find("2H"),
              std::string::npos); // a table inside the division wins
}

TEST(ScoreTable, TokensThatNeedQuotes) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"", u"-"},          {u"4S", u"4S"},           {u"a\\b", u"a\\b"},         {u"a;b", u"\"a;b\""},
        {u"50%", u"\"50%\""}, {u"[x]", u"\"[x]\""},     {u"{c}", u"\"{c}\""},       {u"a b", u"\"a b\""},
        {u"~", u"~"},         {u"a\x7F", u"\"a\x7F\""}, {u"\u00E9", u"\"\u00E9\""}, {u"a\"b", u"\"a\\\"b\""},
    };
    for (const auto &[value, token] : cases)
        EXPECT_EQ(QuotePbnToken(value), token) << platform::Utf16ToUtf8(value);
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
    // Each document takes the option from the settings when it is made.
    platform::MemorySettings settings;
    ScopedHook<platform::SetAppSettings> installed(&settings);
    CDSCDoc first;
    settings.SetInt("Settings", "RecapOption", RECAP_ADD_TO_BOARD1);
    CDSCDoc second;
    EXPECT_EQ(first.m_nRecapOption, RECAP_OMIT);
    EXPECT_EQ(second.m_nRecapOption, RECAP_ADD_TO_BOARD1);
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
    EXPECT_NE(document.m_strTextReport.find("LoTT: 15 - 16 = -1"), std::string::npos);
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
