// The page document: loading, the status message and its order, the recap option, the output code page,
// double-dummy results, default file names, and pages that fill the parser's name table.
#include <gtest/gtest.h>

#include "conversion/version_info.h"
#include "page_fixture.h"
#include "platform/wide_text.h"

namespace {

const std::string RESULTS =
    "<table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstcontract\">1C</td></tr></tbody></table>";
const std::vector<std::string> CARDS =
    pages::Cells("QJ6.K652.J85.1098", "873.J97.A10764.Q4", "K5.1083.KQ9.A7652", "A10942.AQ4.32.KJ3");
const std::vector<std::string> NO_CARDS(16, "");
const std::string RECAP = "<pre id=\"tsrecap\">EVENT>Pairs |CLUB>Club |DATE>May 2, 2022\n 1 Able\n</pre>\n";

std::string Status(const CDSCDoc &document) {
    return platform::Utf16ToUtf8(document.m_strStatus);
}

TEST(Document, MarkupErrorWithoutBoardsLeavesTheParserErrorAsStatus) {
    CDSCDoc document;
    pages::Load(document, pages::Page("<div class=\"x\"><span>a</span><table><tbody><tr><td>3 < 4</td></tr>"
                                      "</tbody></table></div>"));
    EXPECT_EQ(Status(document).rfind("Unexpected char: 4", 0), 0u) << Status(document);
    EXPECT_FALSE(document.m_bConverted);
    EXPECT_TRUE(document.m_strPbn.empty());
}

TEST(Document, PageWithoutSpansSaysExpectedTagsWereNotFound) {
    CDSCDoc document;
    pages::Load(document,
                pages::Page("<div class=\"tsboard\"><table><tbody><tr><td>x</td></tr></tbody></table></div>"));
    EXPECT_EQ(document.m_strStatus, STATUS_EXPECTED_TAGS_NOT_FOUND);
    // With cards the board is written, without number, dealer or vulnerability; the count replaces the status.
    std::string board = "<div class=\"tsboard\"><table><tbody>";
    for (int row = 0; row < 4; ++row) {
        board += "<tr>";
        for (int suit = 0; suit < 4; ++suit)
            board += "<td class=\"tshand\">" + CARDS[row * 4 + suit] + "</td>";
        board += "</tr>";
    }
    board += "</tbody></table></div>";
    pages::Load(document, pages::Page(board));
    EXPECT_EQ(Status(document), "1 boards converted.");
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Board"), (std::vector<std::string>{"?"}));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Dealer"), (std::vector<std::string>{"?"}));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Vulnerable"), (std::vector<std::string>{"?"}));
}

TEST(Document, PageWithoutBoardsSaysSo) {
    CDSCDoc document;
    pages::Load(document, pages::Page(RECAP + "<div id=\"a\" class=\"b\"><span>x</span><table><tbody><tr><td>y</td>"
                                              "</tr></tbody></table></div>"));
    EXPECT_EQ(document.m_strStatus, STATUS_NO_BOARDS);
    EXPECT_FALSE(document.m_bConverted);
    EXPECT_TRUE(document.m_strPbn.empty());
    EXPECT_TRUE(document.m_bPageLoaded);
    // Changing the recap option re-converts but keeps the status of a page without boards.
    document.m_strStatus = u"earlier";
    document.m_nRecapOption = RECAP_ADD_TO_BOARD1;
    document.Convert();
    EXPECT_EQ(document.m_strStatus, u"earlier");
}

TEST(Document, InsertedRecapBoardAloneCountsAsAConversion) {
    pages::RecapOptionScope option(RECAP_INSERT_BOARD);
    CDSCDoc document;
    pages::Load(document, pages::Page(RECAP + pages::Board("1", "N", "None", NO_CARDS)));
    EXPECT_EQ(Status(document), "0 boards converted.");
    EXPECT_TRUE(document.m_bConverted);
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Board"), (std::vector<std::string>{"Recap"}));
    EXPECT_NE(document.m_strPbn.find("{EVENT>Pairs |CLUB>Club |DATE>May 2, 2022\n 1 Able\n}\r\n[TSFlags \"8417\"]"),
              std::string::npos);
    EXPECT_TRUE(document.m_strTextReport.empty());
}

TEST(Document, RecapAddedToTheFirstBoardEvenWithoutCards) {
    pages::RecapOptionScope option(RECAP_ADD_TO_BOARD1);
    CDSCDoc document;
    pages::Load(document,
                pages::Page(RECAP + pages::Board("1", "N", "None", NO_CARDS) + pages::Board("2", "N", "None", CARDS)));
    EXPECT_EQ(Status(document), "2 boards converted.");
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Deal").front(), "");
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "TSFlags"), (std::vector<std::string>{"4103f"}));
    // Without a recap listing the first board follows the ordinary rule.
    pages::Load(document,
                pages::Page(pages::Board("1", "N", "None", NO_CARDS) + pages::Board("2", "N", "None", CARDS)));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Board"), (std::vector<std::string>{"2"}));
}

TEST(Document, OtherRecapOptionsWriteTheRecapNowhere) {
    for (int option : {RECAP_OMIT, 7, -1}) {
        pages::RecapOptionScope scope(option);
        CDSCDoc document;
        pages::Load(document, pages::Page(RECAP + pages::Board("1", "N", "None", CARDS)));
        EXPECT_EQ(document.m_strPbn.find("Able"), std::string::npos) << option;
        EXPECT_EQ(document.m_strPbn.find("[Board \"Recap\"]"), std::string::npos) << option;
        EXPECT_EQ(pages::TagValues(document.m_strPbn, "Event"), (std::vector<std::string>{"Pairs"}));
    }
}

TEST(Document, OneCharacterBeyondLatin1AnywhereMakesTheWholeExportUtf8) {
    // In the recap, which option 0 does not write.
    CDSCDoc document;
    pages::Load(document, pages::Page("<pre id=\"tsrecap\">EVENT>Caf\xC3\xA9\n \xC5\x81ukasz\n</pre>" +
                                      pages::Board("1", "N", "None", CARDS)));
    EXPECT_EQ(document.m_nOutputCodePage, CODE_PAGE_UTF8);
    EXPECT_NE(document.m_strPbn.find("%Content-type: text/x-pbn; charset=UTF-8\r\n"), std::string::npos);
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Event"), (std::vector<std::string>{"Caf\xC3\xA9"}));
    // In the section letters of a board that is not written.
    pages::Load(document, pages::Page(pages::Board("1", "N", "None", CARDS) + "<div id=\"Board\xC5\x81\"></div>" +
                                      pages::Board("2", "N", "None", NO_CARDS)));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Board"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(document.m_nOutputCodePage, CODE_PAGE_UTF8);
    // Latin-1 otherwise, with its own bytes.
    pages::Load(document,
                pages::Page("<pre id=\"tsrecap\">EVENT>Caf\xC3\xA9\n</pre>" + pages::Board("1", "N", "None", CARDS)));
    EXPECT_EQ(document.m_nOutputCodePage, CODE_PAGE_LATIN1);
    EXPECT_NE(document.m_strPbn.find("%Content-type: text/x-pbn; charset=ISO-8859-1\r\n"), std::string::npos);
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "Event"), (std::vector<std::string>{"Caf\xE9"}));
}

TEST(Document, HeaderLinesAndGameSeparation) {
    CDSCDoc document;
    pages::Load(document, pages::Page(pages::Board("1", "N", "None", CARDS) + pages::Board("2", "E", "NS", CARDS)));
    CVersionInfo version;
    version.Read();
    const std::string &pbn = document.m_strPbn;
    EXPECT_EQ(pbn.rfind("% PBN 2.1\r\n% EXPORT\r\n%Content-type: text/x-pbn; charset=ISO-8859-1\r\n%Creator: "
                        "Dealscope Version " +
                            platform::Utf16ToUtf8(version.m_strVersion) +
                            " (https://www.greenbaize.example/dealscope)\r\n%Created: ",
                        0),
              0u);
    size_t created = pbn.find("%Created: ");
    EXPECT_EQ(pbn.compare(pbn.find("\r\n", created), 12, "\r\n[Event \"\"]"), 0);
    EXPECT_NE(pbn.find("[Result \"\"]\r\n\r\n[Event \"\"]"), std::string::npos);
    EXPECT_EQ(pbn.find("\r\n\r\n\r\n"), std::string::npos);
    EXPECT_EQ(pbn.substr(pbn.size() - 13), "[Result \"\"]\r\n");
}

TEST(Document, DoubleDummyResultsGoWithTheirBoardNumber) {
    CDSCDoc document;
    pages::Load(document,
                pages::Page(pages::Board("Board", "N", "None", CARDS) + pages::Board("5", "N", "None", CARDS)));
    document.m_ddResults[u"?"] = {u"65657656576867568675", u"", u"N NT 6\r\n"};
    document.m_ddResults[u"5"] = {u"", u"Declarer;Denomination\\2R;Result\\2R", u"N NT  6\r\n"};
    document.Convert();
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "DoubleDummyTricks"),
              (std::vector<std::string>{"65657656576867568675"}));
    EXPECT_EQ(pages::TagValues(document.m_strPbn, "OptimumResultTable"),
              (std::vector<std::string>{"Declarer;Denomination\\2R;Result\\2R"}));
    // Rows without their tag are never written.
    EXPECT_EQ(document.m_strPbn.find("N NT 6\r\n"), std::string::npos);
    EXPECT_NE(document.m_strPbn.find("Result\\2R\"]\r\nN NT  6\r\n"), std::string::npos);
    EXPECT_NE(document.m_strTextReport.find("LoTT: 15 - 16 = -1"), std::string::npos);
}

TEST(Document, QuotesInValuesAreWrittenAsTheyStand) {
    CDSCDoc document;
    pages::Load(document, pages::Page("<pre id=\"tsrecap\">EVENT>The \"Ace\" Cup\\1\n</pre>" +
                                      pages::Board("1", "N", "None", CARDS)));
    EXPECT_NE(document.m_strPbn.find("[Event \"The \"Ace\" Cup\\1\"]\r\n"), std::string::npos);
}

TEST(Document, DeleteContentsKeepsAddressAndRecapOption) {
    pages::RecapOptionScope option(RECAP_INSERT_BOARD);
    CDSCDoc document;
    pages::Load(document, pages::Page(pages::Board("1", "N", "None", CARDS)), 65001, u"https://x.example/a/b.htm");
    document.m_ddResults[u"1"] = {};
    document.DeleteContents();
    EXPECT_EQ(document.m_strURL, u"https://x.example/a/b.htm");
    EXPECT_EQ(document.m_nRecapOption, RECAP_INSERT_BOARD);
    EXPECT_FALSE(document.m_bPageLoaded);
    EXPECT_FALSE(document.m_bConverted);
    EXPECT_TRUE(document.m_strHtml.empty() && document.m_strRawHtml.empty() && document.m_strPbn.empty() &&
                document.m_strTextReport.empty() && document.m_strStatus.empty() && document.m_ddResults.empty());
    EXPECT_EQ(document.m_parser.FindAtom(u"div"), 0);
}

TEST(Document, EachDocumentReadsTheRecapOptionWhenItIsMade) {
    platform::MemorySettings settings;
    platform::SetAppSettings(&settings);
    CDSCDoc first;
    settings.SetInt("Settings", "RecapOption", RECAP_ADD_TO_BOARD1);
    CDSCDoc second;
    EXPECT_EQ(first.m_nRecapOption, RECAP_OMIT);
    EXPECT_EQ(second.m_nRecapOption, RECAP_ADD_TO_BOARD1);
    platform::SetAppSettings(nullptr);
}

TEST(Document, PageBytesAreKeptWholeAndDecodedUpToAZeroByte) {
    CDSCDoc document;
    std::string page = pages::Page(pages::Board("1", "N", "None", CARDS));
    std::string bytes = page + std::string(1, '\0') + "<div class=\"tsboard\"></div>";
    harness::BytesPageSource source(u"file:///p.htm", bytes, 1252);
    document.LoadFromView(source);
    EXPECT_EQ(document.m_strRawHtml, bytes);
    EXPECT_EQ(document.m_strHtml.size(), page.size());
    EXPECT_EQ(Status(document), "1 boards converted.");
}

class RecordingDocument : public CDSCDoc {
public:
    int converted = 0;

protected:
    void OnPageConverted(IPageSource &) override { converted += m_bPageLoaded ? 1 : 100; }
};

TEST(Document, WindowHookRunsAfterEveryLoad) {
    RecordingDocument document;
    pages::Load(document, pages::Page(""));
    pages::Load(document, pages::Page(""));
    EXPECT_EQ(document.converted, 2);
}

// A page with more distinct element names than the name table holds: the load reports it as the status
// instead of failing, and nothing is searched with a name that could not be interned.
TEST(Document, FullNameTableBecomesTheStatusNotACrash) {
    std::string body = pages::Board("1", "N", "None", CARDS); // uses div, span, table, tbody, tr, td, class
    std::string filler;
    filler.reserve(70000 * 12);
    for (int i = 0; i < 70000; ++i)
        filler += "<q" + std::to_string(i) + "/>";
    {
        // "id" is never used by the page and cannot be interned afterwards.
        CDSCDoc document;
        pages::Load(document, pages::Page(body + filler));
        EXPECT_NE(Status(document).find("Atom number overflow"), std::string::npos) << Status(document);
        EXPECT_FALSE(document.m_bConverted);
        EXPECT_TRUE(document.m_strPbn.empty());
        EXPECT_EQ(document.m_atoms[ATOM_ID], 0);
    }
    {
        // Every name interned before the table filled: the boards before the overflow are converted.
        CDSCDoc document;
        pages::Load(document, pages::Page("<div id=\"x\"></div>" + body + filler));
        EXPECT_EQ(Status(document), "1 boards converted.");
    }
}

TEST(Document, DefaultFileNames) {
    CDSCDoc document;
    auto name = [&](std::u16string url, std::u16string_view extension) {
        document.m_strURL = std::move(url);
        return platform::Utf16ToUtf8(document.GetDefaultFileName(extension));
    };
    EXPECT_EQ(name(u"file:///home/ann/results/club.htm", u".pbn"), "club.pbn");
    EXPECT_EQ(name(u"file:///home/ann/results/club.htm", u".txt"), "club.txt");
    EXPECT_EQ(name(u"file:///home/ann/results/club.htm", u".htm"), "club.htm");
    EXPECT_EQ(name(u"https://x.example/r/show?event=12.5", u".pbn"), "show.pbn");
    EXPECT_EQ(name(u"https://x.example/r/day.1.html?x=1", u".pbn"), "day.1.pbn");
    EXPECT_EQ(name(u"https://x.example/r/", u".pbn"), "");
    EXPECT_EQ(name(u"https://x.example/r/?a=b", u".pbn"), "");
    EXPECT_EQ(name(u"club.htm", u".pbn"), "");
    EXPECT_EQ(name(u"https://x.example/r/my.results page#top", u".pbn"), "my.results page#top.pbn");
    EXPECT_EQ(name(u"https://x.example/r/a.b c", u".pbn"), "a.b c.pbn");
    std::u16string longName(300, u'a');
    EXPECT_EQ(name(u"https://x.example/" + longName + u".htm", u".pbn"), platform::Utf16ToUtf8(longName) + ".htm");
}

} // namespace
