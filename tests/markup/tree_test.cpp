// Atoms, element flags, node creation, the two searches and Reset.
#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <string>
#include <vector>

#include "parse_helpers.h"

using namespace NKXML;
using markup_test::ParsedPage;

namespace {

std::vector<std::string> Names(const std::vector<CNode *> &nodes) {
    std::vector<std::string> out;
    for (const CNode *n : nodes) {
        if (n->m_nType == XML_TEXT)
            out.push_back("\"" + markup_test::Utf8(n->m_pszValue) + "\"");
        else if (n->m_nType == XML_COMMENT)
            out.push_back("<!>");
        else
            out.push_back(markup_test::Utf8(n->m_pszName));
    }
    return out;
}

using V = std::vector<std::string>;

TEST(MarkupAtoms, HtmlModeStartsWithTheElementFlagNames) {
    CXMLParser parser(true);
    ASSERT_EQ(parser.m_atomNames.size(), 28u);
    EXPECT_EQ(parser.FindAtom(u"area"), 1);
    EXPECT_EQ(parser.FindAtom(u"body"), 4);
    EXPECT_EQ(parser.FindAtom(u"TR"), 28);
    EXPECT_EQ(parser.FindAtom(u"div"), 0);
    EXPECT_EQ(parser.m_atomNames.size(), 28u); // FindAtom adds nothing
    for (uint16_t atom = 1; atom <= 28; ++atom) {
        const CElementFlagsEntry &row = g_elementFlags[atom - 1];
        EXPECT_EQ(parser.m_atomNames[atom - 1], platform::WidenAscii(row.m_pszName));
        EXPECT_EQ(parser.FlagsOf(atom), row.m_nFlags);
    }
    EXPECT_EQ(g_elementFlags[28].m_pszName, nullptr);
    EXPECT_EQ(parser.FlagsOf(parser.FindAtom(u"br")), XMLF_EMPTY);
    EXPECT_EQ(parser.FlagsOf(parser.FindAtom(u"td")), XMLF_OPTIONAL_END);
}

TEST(MarkupAtoms, StrictModeStartsEmpty) {
    CXMLParser parser(false);
    EXPECT_TRUE(parser.m_atomNames.empty());
    EXPECT_TRUE(parser.m_flagMap.empty());
    EXPECT_EQ(parser.FindAtom(u"area"), 0);
    EXPECT_EQ(parser.AddAtom(u"Board"), 1);
    EXPECT_EQ(parser.AddAtom(u"board"), 2);
    EXPECT_EQ(parser.AddAtom(u"Board"), 1);
    EXPECT_EQ(parser.FlagsOf(1), 0u);
}

TEST(MarkupAtoms, ParseInternsScriptAndStyleFirst) {
    ParsedPage page;
    page.Parse("<div class=x>y</div>");
    EXPECT_EQ(page.parser.FindAtom(u"script"), 29);
    EXPECT_EQ(page.parser.FindAtom(u"style"), 30);
    EXPECT_EQ(page.parser.FindAtom(u"div"), 31);
    EXPECT_EQ(page.parser.FindAtom(u"class"), 32);
    EXPECT_EQ(page.parser.m_nAtomScript, 29);
    EXPECT_EQ(page.parser.m_nAtomStyle, 30);
    EXPECT_EQ(page.parser.m_atomNames[30], u"div");
    EXPECT_EQ(page.parser.m_atomNames[31], u"class");
}

TEST(MarkupAtoms, HtmlFoldsAsciiCapitalsOnly) {
    CXMLParser parser(true);
    uint16_t div = parser.AddAtom(u"DiV");
    EXPECT_EQ(parser.AddAtom(u"div"), div);
    EXPECT_EQ(parser.FindAtom(u"DIV"), div);
    EXPECT_EQ(parser.m_atomNames[div - 1], u"div");
    // The default locale lowers only ASCII letters, so accented capitals stay distinct names.
    uint16_t upper = parser.AddAtom(u"\u00c9t\u00c9");
    uint16_t lower = parser.AddAtom(u"\u00e9t\u00e9");
    EXPECT_NE(upper, lower);
    EXPECT_EQ(parser.FindAtom(u"\u00c9T\u00c9"), upper);
    EXPECT_EQ(parser.AddAtom(u""), parser.AddAtom(u"")); // the empty name is a name too
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
    // The page's end tag names the element by the same rule.
    ParsedPage page;
    page.Parse("<\u212Aq><kq>x</kq>y</\u212AQ>z");
    EXPECT_EQ(page.Tree(), "\u212Aq[kq[\"x\"] \"y\"] | \"z\"");
}

TEST(MarkupAtoms, StoredNodeNamesKeepTheirCase) {
    ParsedPage page;
    page.Parse("<TD Class=a></td>");
    ASSERT_EQ(page.parser.m_roots.size(), 1u);
    const CNode *td = page.parser.m_roots[0];
    EXPECT_EQ(markup_test::Utf8(td->m_pszName), "TD");
    EXPECT_EQ(td->m_nAtom, page.parser.FindAtom(u"td"));
    EXPECT_EQ(td->m_nFlags, XMLF_OPTIONAL_END);
    EXPECT_EQ(markup_test::Utf8(td->m_attributes[0]->m_pszName), "Class");
    EXPECT_EQ(td->m_attributes[0]->m_nAtom, page.parser.FindAtom(u"class"));
    EXPECT_EQ(td->m_attributes[0]->m_pParent, td);
    EXPECT_EQ(td->m_attributes[0]->m_nType, XML_ATTRIBUTE);
    EXPECT_EQ(td->m_attributes[0]->m_nFlags, 0u);
}

TEST(MarkupAtoms, OverflowAfter65534Names) {
    CXMLParser parser(false);
    for (int i = 1; i <= 65534; ++i) {
        std::u16string name = platform::WidenAscii("n" + std::to_string(i));
        ASSERT_EQ(parser.AddAtom(name.c_str()), i);
    }
    try {
        parser.AddAtom(u"one-more");
        FAIL() << "no overflow";
    } catch (const CXMLException &e) {
        EXPECT_EQ(e.m_strMessage, u"Atom number overflow");
        EXPECT_LT(e.m_nPosition, 0); // a name from outside the page: no line with it
        EXPECT_EQ(parser.FormatError(e), u"Atom number overflow");
    }
    EXPECT_THROW(parser.AddAtom(u"another"), CXMLException);
    EXPECT_EQ(parser.FindAtom(u"n65534"), 65534);
    EXPECT_EQ(parser.AddAtom(u"n7"), 7);
    EXPECT_EQ(parser.m_atomNames.size(), 65534u);
}

TEST(MarkupAtoms, OverflowInAPageReportsTheName) {
    // 30 atoms exist once parsing starts; 65504 distinct tags fill the table, the next one overflows.
    std::string page;
    for (int i = 0; i < 65504; ++i)
        page += "<t" + std::to_string(i) + "/>";
    size_t at = page.size() + 1;
    page += "<last/><t5/>";
    ParsedPage parsed;
    parsed.Parse(page);
    ASSERT_TRUE(parsed.error);
    EXPECT_EQ(parsed.Message(), "Atom number overflow");
    EXPECT_EQ(parsed.error->m_nPosition, int(at));
    EXPECT_EQ(parsed.parser.m_roots.size(), 65505u); // the partial tree stays, the last element without a name atom
}

TEST(MarkupTree, CreateNodeAppendsUnderParentOrAtTheRoots) {
    CXMLParser parser(true);
    CNode *root = parser.CreateNode(nullptr, XML_ELEMENT);
    CNode *child = parser.CreateNode(root, XML_TEXT);
    CNode *second = parser.CreateNode(nullptr, XML_COMMENT);
    ASSERT_EQ(parser.m_roots.size(), 2u);
    EXPECT_EQ(parser.m_roots[0], root);
    EXPECT_EQ(parser.m_roots[1], second);
    ASSERT_EQ(root->m_children.size(), 1u);
    EXPECT_EQ(root->m_children[0], child);
    EXPECT_EQ(child->m_pParent, root);
    EXPECT_EQ(child->m_nType, XML_TEXT);
    EXPECT_EQ(child->m_pszName, nullptr);
    EXPECT_EQ(child->m_nAtom, 0);
    EXPECT_TRUE(child->m_attributes.empty());
    for (int i = 0; i < 100; ++i)
        parser.CreateNode(root, XML_TEXT);
    EXPECT_EQ(root->m_children.size(), 101u);
    EXPECT_EQ(root->m_children[0], child);
}

TEST(MarkupTree, ResetEmptiesAndRenumbers) {
    ParsedPage page;
    page.Parse("<div><span>x</span></div>");
    EXPECT_NE(page.parser.m_pszCopy, nullptr);
    page.parser.Reset();
    EXPECT_TRUE(page.parser.m_roots.empty());
    EXPECT_EQ(page.parser.m_pszCopy, nullptr);
    EXPECT_EQ(page.parser.m_pszSource, nullptr);
    EXPECT_EQ(page.parser.m_nLength, 0);
    EXPECT_EQ(page.parser.m_atomNames.size(), 28u);
    EXPECT_EQ(page.parser.FindAtom(u"span"), 0);
    page.parser.Reset(); // twice is harmless
    EXPECT_EQ(page.parser.FindAtom(u"tr"), 28);
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
    parser.Reset();
    EXPECT_TRUE(parser.m_roots.empty());
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

TEST(MarkupTree, DestructorAfterResetAndWithoutReset) {
    {
        CXMLParser parser(true);
        std::u16string text = u"<p>a<p>b";
        parser.Parse(text.c_str(), -1);
        parser.Reset();
    }
    {
        CXMLParser parser(false);
        std::u16string text = u"<a><b/></a>";
        parser.Parse(text.c_str(), int(text.size()));
    }
    SUCCEED(); // the sanitizer build checks that nothing leaks
}

const char *SEARCH_PAGE = "<div class=\"tsboard\" id=b1><!--c--><span class=tslabel>1</span>"
                          "<div class=\"tsboard\"><td Class=TSBOARD>x</td></div></div>"
                          "<DIV class=other class=tsboard></DIV><Div>t</Div>";

TEST(MarkupSearch, StarFindsEveryNodeButAttributesInDocumentOrder) {
    ParsedPage page;
    page.Parse(SEARCH_PAGE);
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"*", nullptr, nullptr);
    EXPECT_EQ(Names(out), (V{"div", "<!>", "span", "\"1\"", "div", "td", "\"x\"", "DIV", "Div", "\"t\""}));
    for (const CNode *n : out)
        EXPECT_NE(n->m_nType, XML_ATTRIBUTE);
}

TEST(MarkupSearch, UnknownNamesAppendNothingAndKeepEarlierResults) {
    ParsedPage page;
    page.Parse(SEARCH_PAGE);
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"span", nullptr, nullptr);
    ASSERT_EQ(out.size(), 1u);
    page.parser.FindElements(out, u"table", nullptr, nullptr);
    page.parser.FindElements(out, u"div", u"nosuch", u"x");
    page.parser.FindElements(out, u"*", u"nosuch", nullptr);
    EXPECT_EQ(Names(out), V{"span"});
}

TEST(MarkupSearch, NullValueSkipsTheAttributeTest) {
    ParsedPage page;
    page.Parse(SEARCH_PAGE);
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"div", u"class", nullptr);
    EXPECT_EQ(Names(out), (V{"div", "div", "DIV", "Div"}));
}

TEST(MarkupSearch, ValuesCompareExactlyAndAnyOccurrenceCounts) {
    ParsedPage page;
    page.Parse(SEARCH_PAGE);
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"div", u"class", u"tsboard");
    // Outer board before the nested one; the DIV carrying class twice matches on its second occurrence.
    EXPECT_EQ(Names(out), (V{"div", "div", "DIV"}));
    out.clear();
    page.parser.FindElements(out, u"*", u"CLASS", u"tsboard");
    EXPECT_EQ(Names(out), (V{"div", "div", "DIV"})); // td's value is TSBOARD: case matters in values
    out.clear();
    page.parser.FindElements(out, u"*", u"class", u"tsboar");
    EXPECT_TRUE(out.empty());
    out.clear();
    page.parser.FindElements(out, u"*", u"id", u"b1");
    EXPECT_EQ(Names(out), V{"div"});
}

TEST(MarkupSearch, AttributeWithoutValueNeverEqualsAValue) {
    ParsedPage page;
    page.Parse("<td nowrap>a</td><td nowrap=\"\">b</td>");
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"td", u"nowrap", u"");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(markup_test::Utf8(out[0]->m_children[0]->m_pszValue), "b");
}

TEST(MarkupSearch, CaseOfTagNamesByMode) {
    const char *text = "<TD>1</TD><td>2</td><Td>3</Td>";
    ParsedPage html(true), strict(false);
    html.Parse(text);
    strict.Parse(text);
    ASSERT_FALSE(html.error);
    ASSERT_FALSE(strict.error);
    std::vector<CNode *> out;
    html.parser.FindElements(out, u"TD", nullptr, nullptr);
    EXPECT_EQ(out.size(), 3u);
    out.clear();
    strict.parser.FindElements(out, u"TD", nullptr, nullptr);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(markup_test::Utf8(out[0]->m_pszName), "TD");
}

TEST(MarkupSearch, NodeSearchBelowOneNode) {
    ParsedPage page;
    page.Parse(SEARCH_PAGE);
    std::vector<CNode *> boards;
    page.parser.FindElements(boards, u"div", u"class", u"tsboard");
    ASSERT_EQ(boards.size(), 3u);
    std::vector<CNode *> out;
    uint16_t div = page.parser.FindAtom(u"div");
    boards[1]->FindElements(out, div, 0, nullptr);
    EXPECT_EQ(out, std::vector<CNode *>{boards[1]}); // the node itself first; only what lies below it
    out.clear();
    boards[0]->FindElements(out, 0, page.parser.FindAtom(u"class"), u"tslabel");
    EXPECT_EQ(Names(out), V{"span"});
    out.clear();
    boards[0]->FindElements(out, page.parser.FindAtom(u"td"), 0, u"ignored");
    EXPECT_EQ(Names(out), V{"td"});
}

TEST(MarkupFlags, EmptyElementsCloseOnlyInHtmlMode) {
    ParsedPage html(true), strict(false);
    html.Parse("<br>x<img src=a>y");
    EXPECT_EQ(html.Tree(), "br | \"x\" | img(src=a) | \"y\"");
    EXPECT_EQ(html.parser.m_roots[0]->m_nFlags, XMLF_EMPTY);
    strict.Parse("<br>x<img src=a>y");
    EXPECT_EQ(strict.Tree(), "br[\"x\" img(src=a)[\"y\"]]");
    EXPECT_EQ(strict.parser.m_roots[0]->m_nFlags, 0u);
}

} // namespace
