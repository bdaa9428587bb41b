// Atoms, Reset, the two searches, and the parser's error and the status text made from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parsed_page.h"

using namespace NKXML;
using markup_test::ParsedPage;

namespace {

using V = std::vector<std::string>;

V Names(const std::vector<CNode *> &nodes) {
    V out;
    for (const CNode *n : nodes)
        out.push_back(n->m_nType == XML_ELEMENT ? markup_test::Utf8(n->m_pszName) : markup_test::Dump(n));
    return out;
}

TEST(MarkupAtoms, OverflowAfter65534Names) {
    // In a page: 30 atoms exist once parsing starts; 65504 distinct tags fill the table, the next one overflows.
    std::string text;
    for (int i = 0; i < 65504; ++i)
        text += "<t" + std::to_string(i) + "/>";
    const size_t at = text.size() + 1;
    text += "<last/><t5/>";
    ParsedPage page;
    page.Parse(text);
    ASSERT_TRUE(page.error);
    EXPECT_EQ(page.Message(), "Atom number overflow");
    EXPECT_EQ(page.error->m_nPosition, int(at));
    EXPECT_EQ(page.parser.m_roots.size(), 65505u); // the partial tree stays
}

TEST(MarkupTree, ResetEmptiesAndRenumbers) {
    ParsedPage page;
    page.Parse("<div><span>x</span></div>");
    page.parser.Reset();
    EXPECT_TRUE(page.parser.m_roots.empty());
    EXPECT_EQ(page.parser.FindAtom(u"span"), 0);
    page.Parse("<span>y</span>");
    EXPECT_EQ(page.Tree(), "span[\"y\"]");
    EXPECT_EQ(page.parser.FindAtom(u"span"), 31);
    // Without a Reset the earlier tree stays readable.
    std::u16string second = u"<i>a much longer second page</i>";
    page.parser.Parse(second.c_str(), int(second.size()));
    EXPECT_EQ(page.Tree(), "span[\"y\"] | i[\"a much longer second page\"]");
}

#ifdef DEALSCOPE_ARENA_ASAN
// Nodes live on in the parser's blocks after Reset; the sanitizer build must still catch a caller that keeps one.
TEST(MarkupTreeDeathTest, NodeUsedAfterResetIsReported) {
    ParsedPage page;
    page.Parse("<div class=tsboard>x</div>");
    CNode *kept = page.parser.m_roots[0];
    page.parser.Reset();
    EXPECT_DEATH({ [[maybe_unused]] volatile int type = kept->m_nType; }, "use-after-poison");
}
#endif

TEST(MarkupSearch, ByNameAttributeAndValue) {
    ParsedPage page;
    page.Parse("<div class=\"tsboard\" id=b1><!--c--><span class=tslabel>1</span>"
               "<div class=\"tsboard\"><td Class=TSBOARD>x</td></div></div>"
               "<DIV class=other class=tsboard></DIV><Div>t</Div><i nowrap>a</i><b nowrap=\"\">b</b>");
    const struct {
        const char16_t *name, *attribute, *value;
        V expected;
    } rows[] = {
        // "*" finds every node but attributes, in document order.
        {u"*",
         nullptr,
         nullptr,
         {"div", "<!c>", "span", "\"1\"", "div", "td", "\"x\"", "DIV", "Div", "\"t\"", "i", "\"a\"", "b", "\"b\""}},
        {u"table", nullptr, nullptr, {}},
        {u"div", u"nosuch", u"x", {}},
        {u"div", u"class", nullptr, {"div", "div", "DIV", "Div"}}, // no value: no attribute test
        // Values compare exactly; any occurrence of the attribute counts (DIV matches on its second class).
        {u"div", u"class", u"tsboard", {"div", "div", "DIV"}},
        {u"*", u"CLASS", u"tsboard", {"div", "div", "DIV"}},
        {u"*", u"class", u"tsboar", {}},
        {u"*", u"nowrap", u"", {"b"}}, // an attribute without a value never equals a value
    };
    for (const auto &row : rows) {
        std::vector<CNode *> out;
        page.parser.FindElements(out, row.name, row.attribute, row.value);
        EXPECT_EQ(Names(out), row.expected) << markup_test::Utf8(row.name) << " " << markup_test::Utf8(row.attribute);
    }
    // Results are appended; below one node: the node itself first, then only what lies below it.
    std::vector<CNode *> boards;
    page.parser.FindElements(boards, u"span", nullptr, nullptr);
    page.parser.FindElements(boards, u"div", u"class", u"tsboard");
    ASSERT_EQ(Names(boards), (V{"span", "div", "div", "DIV"}));
    std::vector<CNode *> out;
    boards[2]->FindElements(out, page.parser.FindAtom(u"div"), 0, nullptr);
    boards[1]->FindElements(out, 0, page.parser.FindAtom(u"class"), u"tslabel");
    boards[1]->FindElements(out, page.parser.FindAtom(u"td"), 0, u"ignored");
    EXPECT_EQ(out, (std::vector<CNode *>{boards[2], boards[0], out[2]}));
    EXPECT_EQ(Names(out), (V{"div", "span", "td"}));
}

TEST(MarkupErrors, StatusNamesTheLineOfThePosition) {
    const struct {
        const char *page, *status;
    } rows[] = {
        {"<html>\r\n<body>\r\n<p a=1 / ></p>\r\n</body>", "Unexpected char:  \n:\r\nLine 3:<p a=1 / ></p>"},
        {"a\nb\n<c#", "Unexpected char: #\n:\r\nLine 3:<c#"}, // the last line, without a break after it
        // The line comes from the page as written, not from the copy the parser cut up and decoded.
        {"<a b=c>d &amp; e < 5", "Unexpected char: 5\n:\r\nLine 1:<a b=c>d &amp; e < 5"},
        {"x\r\n<a/\r\n>", "Unexpected char: \r\n:\r\nLine 2:<a/"}, // on a line break: its own line
        {"x\n<a/\n>", "Unexpected char: \n\n:\r\nLine 2:<a/"},
    };
    ParsedPage page;
    for (const auto &row : rows)
        EXPECT_EQ(page.Parse(row.page).Status(), row.status) << row.page;
    page.Parse("ab\r\ncd");
    const struct {
        int position;
        std::u16string message, status;
    } positions[] = {
        {3, u"m", u"m:\r\nLine 1:ab"}, // the line feed of a CR LF pair
        {4, u"m", u"m:\r\nLine 2:cd"},
        {-1, u"m", u"m"},
        {6, u"m", u"m"}, // outside the text: the message alone
        {1, std::u16string(600, u'm'), std::u16string(511, u'm') + u":\r\nLine 1:ab"},
        {1, u"", u"Encountered syntax that is not supported:\r\nLine 1:ab"},
    };
    for (const auto &row : positions)
        EXPECT_EQ(page.parser.FormatError(CXMLException(row.position, row.message)), row.status) << row.position;
    page.parser.Reset();
    EXPECT_EQ(page.parser.FormatError(CXMLException(0, u"m")), u"m"); // no text any more
    // The exception's own texts.
    CXMLException e(0, u"Atom number overflow");
    char16_t buffer[8];
    unsigned help = 99;
    EXPECT_TRUE(e.GetErrorMessage(buffer, 8, &help));
    EXPECT_EQ(std::u16string(buffer), u"Atom nu");
    EXPECT_EQ(help, 0u);
    EXPECT_STREQ(CXMLException(0, u"\u00e9").what(), "\xc3\xa9");
}

} // namespace
