// Atoms beyond what the tokenizer model checks (folding against Unicode, overflow), Reset, and the two searches.
// The atom list, its first names and their flags are compared with the model in tokenizer_model_test.cpp.
#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <string>
#include <vector>

#include "parse_helpers.h"

using namespace NKXML;
using markup_test::ParsedPage;

namespace {

using V = std::vector<std::string>;

V Names(const std::vector<CNode *> &nodes) {
    V out;
    for (const CNode *n : nodes)
        out.push_back(n->m_nType == XML_TEXT      ? "\"" + markup_test::Utf8(n->m_pszValue) + "\""
                      : n->m_nType == XML_COMMENT ? "<!>"
                                                  : markup_test::Utf8(n->m_pszName));
    return out;
}

// Html names fold as iswupper and then towlower do in the Windows runtime's default "C" locale, which the program
// never changes: towlower there maps 'A'..'Z' only, whatever iswupper says of other capitals. So every capital
// that Unicode lowers but that is not ASCII keeps an atom of its own: the Kelvin sign is not "k", dotted capital I
// is not "i", accented and Cyrillic capitals are not their small letters.
TEST(MarkupAtoms, HtmlFoldingLowersNoCapitalBeyondAscii) {
    CXMLParser parser(true);
    int capitals = 0;
    for (UChar32 c = 1; c < 0x10000; ++c) {
        const UChar32 lower = u_tolower(c);
        if (lower == c || lower > 0xFFFF)
            continue;
        ++capitals;
        const char16_t upperName[] = {char16_t(c), u'q', 0}, lowerName[] = {char16_t(lower), u'q', 0};
        const uint16_t upperAtom = parser.AddAtom(upperName), lowerAtom = parser.AddAtom(lowerName);
        if (c >= u'A' && c <= u'Z')
            ASSERT_EQ(upperAtom, lowerAtom) << std::hex << c;
        else
            ASSERT_NE(upperAtom, lowerAtom) << std::hex << c;
    }
    EXPECT_GT(capitals, 1000);
    EXPECT_EQ(parser.FindAtom(u"\u00c9Q"), parser.FindAtom(u"\u00c9q"));
    EXPECT_EQ(parser.AddAtom(u""), parser.AddAtom(u"")); // the empty name is a name too
    // The page's end tag names the element by the same rule.
    ParsedPage page;
    page.Parse("<\u212Aq><kq>x</kq>y</\u212AQ>z");
    EXPECT_EQ(page.Tree(), "\u212Aq[kq[\"x\"] \"y\"] | \"z\"");
}

TEST(MarkupAtoms, OverflowAfter65534Names) {
    CXMLParser parser(false);
    for (int i = 1; i <= 65534; ++i)
        ASSERT_EQ(parser.AddAtom(platform::WidenAscii("n" + std::to_string(i)).c_str()), i);
    for (const char16_t *name : {u"one-more", u"another"}) {
        try {
            parser.AddAtom(name);
            ADD_FAILURE() << "no overflow";
        } catch (const CXMLException &e) {
            EXPECT_EQ(e.m_strMessage, u"Atom number overflow");
            EXPECT_LT(e.m_nPosition, 0); // a name from outside the page: no line with it
            EXPECT_EQ(parser.FormatError(e), u"Atom number overflow");
        }
    }
    EXPECT_EQ(parser.FindAtom(u"n65534"), 65534);
    EXPECT_EQ(parser.AddAtom(u"n7"), 7);
    EXPECT_EQ(parser.m_atomNames.size(), 65534u);

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
    EXPECT_EQ(page.parser.m_roots.size(), 65505u); // the partial tree stays, the last element without a name atom
}

TEST(MarkupTree, ResetEmptiesAndRenumbers) {
    ParsedPage page;
    page.Parse("<div><span>x</span></div>");
    page.parser.Reset();
    EXPECT_TRUE(page.parser.m_roots.empty());
    EXPECT_EQ(page.parser.m_pszCopy, nullptr);
    EXPECT_EQ(page.parser.m_pszSource, nullptr);
    EXPECT_EQ(page.parser.m_nLength, 0);
    EXPECT_EQ(page.parser.m_atomNames.size(), 28u);
    EXPECT_EQ(page.parser.FindAtom(u"span"), 0);
    page.parser.Reset(); // twice is harmless
    page.Parse("<span>y</span>");
    EXPECT_EQ(page.Tree(), "span[\"y\"]");
    EXPECT_EQ(page.parser.FindAtom(u"span"), 31);
}

TEST(MarkupTree, ParseWithoutResetKeepsTheEarlierTree) {
    // The owner should reset between pages; when it does not, the earlier nodes must stay readable.
    CXMLParser parser(true);
    std::u16string first = u"<b>first</b>", second = u"<i>a much longer second page</i>";
    parser.Parse(first.c_str(), int(first.size()));
    parser.Parse(second.c_str(), int(second.size()));
    EXPECT_EQ(markup_test::Dump(parser), "b[\"first\"] | i[\"a much longer second page\"]");
}

#ifdef DEALSCOPE_ARENA_ASAN
// Nodes live on in the parser's blocks after Reset; the sanitizer build must still catch a caller that keeps one.
TEST(MarkupTreeDeathTest, NodeUsedAfterResetIsReported) {
    CXMLParser parser(true);
    std::u16string text = u"<div class=tsboard>x</div>";
    parser.Parse(text.c_str(), int(text.size()));
    CNode *kept = parser.m_roots[0];
    parser.Reset();
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
         {"div", "<!>", "span", "\"1\"", "div", "td", "\"x\"", "DIV", "Div", "\"t\"", "i", "\"a\"", "b", "\"b\""}},
        {u"table", nullptr, nullptr, {}},
        {u"div", u"nosuch", u"x", {}},
        {u"div", u"class", nullptr, {"div", "div", "DIV", "Div"}}, // no value: no attribute test
        // Values compare exactly; any occurrence of the attribute counts (DIV matches on its second class).
        {u"div", u"class", u"tsboard", {"div", "div", "DIV"}},
        {u"*", u"CLASS", u"tsboard", {"div", "div", "DIV"}}, // td's value is TSBOARD
        {u"*", u"class", u"tsboar", {}},
        {u"*", u"id", u"b1", {"div"}},
        {u"*", u"nowrap", u"", {"b"}}, // an attribute without a value never equals a value
    };
    for (const auto &row : rows) {
        std::vector<CNode *> out;
        page.parser.FindElements(out, row.name, row.attribute, row.value);
        EXPECT_EQ(Names(out), row.expected) << markup_test::Utf8(row.name) << " " << markup_test::Utf8(row.attribute);
    }
    // Results are appended to what the list holds.
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"span", nullptr, nullptr);
    page.parser.FindElements(out, u"*", u"id", u"b1");
    EXPECT_EQ(Names(out), (V{"span", "div"}));

    // Below one node: the node itself first, then only what lies below it.
    std::vector<CNode *> boards;
    page.parser.FindElements(boards, u"div", u"class", u"tsboard");
    out.clear();
    boards[1]->FindElements(out, page.parser.FindAtom(u"div"), 0, nullptr);
    EXPECT_EQ(out, std::vector<CNode *>{boards[1]});
    out.clear();
    boards[0]->FindElements(out, 0, page.parser.FindAtom(u"class"), u"tslabel");
    EXPECT_EQ(Names(out), V{"span"});
    out.clear();
    boards[0]->FindElements(out, page.parser.FindAtom(u"td"), 0, u"ignored");
    EXPECT_EQ(Names(out), V{"td"});
}

TEST(MarkupSearch, CaseOfTagNamesByMode) {
    const char *text = "<TD>1</TD><td>2</td><Td>3</Td>";
    ParsedPage html(true), strict(false);
    html.Parse(text);
    strict.Parse(text);
    std::vector<CNode *> out;
    html.parser.FindElements(out, u"TD", nullptr, nullptr);
    EXPECT_EQ(Names(out), (V{"TD", "td", "Td"}));
    out.clear();
    strict.parser.FindElements(out, u"TD", nullptr, nullptr);
    EXPECT_EQ(Names(out), V{"TD"});
}

} // namespace
