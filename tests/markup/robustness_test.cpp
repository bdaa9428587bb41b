// Pages built to break a naive parser: extreme nesting, storms of end tags, huge names, runs of ampersands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/xml_parser.h"

using namespace NKXML;

namespace {

std::u16string Repeat(std::u16string_view piece, size_t count) {
    std::u16string out;
    for (size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(MarkupRobustness, MillionNestedUnclosedElementsThenAStormOfEndTags) {
    // End tags that match nothing open must not each climb the whole open chain; "</body>" closes everything.
    const size_t count = 1000000;
    std::u16string text =
        u"<u></u><html><body>" + Repeat(u"<td>x", count) + Repeat(u"</u>", count) + u"<u></u></body>y";
    CXMLParser parser(true);
    parser.Parse(text.c_str(), int(text.size()));
    ASSERT_EQ(parser.m_roots.size(), 2u); // u, and html with body and "y"
    std::vector<CNode *> cells;
    parser.FindElements(cells, u"td", nullptr, nullptr);
    ASSERT_EQ(cells.size(), count);
    EXPECT_EQ(cells.back()->m_pParent, cells[count - 2]); // document order, outer first
    ASSERT_EQ(cells.back()->m_children.size(), 2u);       // "x" and the u element
    EXPECT_EQ(std::u16string(cells.back()->m_children[1]->m_pszName), u"u");
    std::vector<CNode *> all;
    parser.m_roots[1]->FindElements(all, 0, 0, nullptr);
    EXPECT_EQ(all.size(), 4 + 2 * count);
    parser.Reset();
    parser.Reset();
    EXPECT_TRUE(parser.m_roots.empty());
    parser.Parse(text.c_str(), int(text.size())); // and again, then the destructor frees it
}

TEST(MarkupRobustness, MultiMegabyteNamesAndRunsOfAmpersands) {
    const size_t size = 4 * 1024 * 1024;
    std::u16string element(size, u'D'), attribute(size, u'c'), run(size, u'&');
    std::u16string text =
        u"<" + element + u" " + attribute + u"=1>" + run + u";&amp;</" + std::u16string(size, u'd') + u">y";
    CXMLParser parser(true);
    parser.Parse(text.c_str(), int(text.size()));
    ASSERT_EQ(parser.m_roots.size(), 2u); // the end tag closed the element, "y" is a second root
    EXPECT_EQ(std::u16string(parser.m_roots[0]->m_children[0]->m_pszValue), run + u";&");
    std::vector<CNode *> out;
    parser.FindElements(out, element.c_str(), attribute.c_str(), u"1");
    EXPECT_EQ(out.size(), 1u);
    // An error right after a huge name still reports it.
    std::u16string bad = u"<" + element + u"#";
    parser.Reset();
    try {
        parser.Parse(bad.c_str(), int(bad.size()));
        FAIL();
    } catch (const CXMLException &e) {
        EXPECT_EQ(e.m_nPosition, int(size + 1));
        EXPECT_EQ(parser.FormatError(e).size(), 19 + 10 + bad.size());
    }
}

} // namespace
