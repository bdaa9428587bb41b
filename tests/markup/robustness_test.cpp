// Pages built to break a naive parser: extreme nesting, huge names, runs of ampersands, storms of end tags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/xml_parser.h"

using namespace NKXML;

namespace {

std::u16string Repeat(std::u16string_view piece, size_t count) {
    std::u16string out;
    out.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(MarkupRobustness, MillionNestedUnclosedElements) {
    const size_t count = 1000000;
    std::u16string text = u"<html><body>" + Repeat(u"<td>x", count) + u"</table></nosuch></body>";
    CXMLParser parser(true);
    parser.Parse(text.c_str(), int(text.size()));
    ASSERT_EQ(parser.m_roots.size(), 1u);
    std::vector<CNode *> cells;
    parser.FindElements(cells, u"td", nullptr, nullptr);
    ASSERT_EQ(cells.size(), count);
    size_t depth = 0;
    for (const CNode *node = cells.back(); node->m_pParent; node = node->m_pParent)
        ++depth;
    EXPECT_EQ(depth, count + 1);
    EXPECT_EQ(cells.back()->m_pParent, cells[count - 2]); // document order, outer first
    std::vector<CNode *> all;
    parser.m_roots[0]->FindElements(all, 0, 0, nullptr);
    EXPECT_EQ(all.size(), 2 + 2 * count);
    // "</body>" closed everything inside the body.
    std::vector<CNode *> texts;
    cells[count / 2]->FindElements(texts, 0, 0, nullptr);
    EXPECT_EQ(texts.size(), count); // half the cells and their texts
    parser.Reset();
    parser.Reset();
    EXPECT_TRUE(parser.m_roots.empty());
    parser.Parse(text.c_str(), int(text.size())); // and again, then the destructor frees it
}

TEST(MarkupRobustness, MultiMegabyteNames) {
    const size_t size = 4 * 1024 * 1024;
    std::u16string element(size, u'D'), attribute(size, u'c'), endName(size, u'd');
    std::u16string text = u"<" + element + u" " + attribute + u"=1>x</" + endName + u">y";
    CXMLParser parser(true);
    parser.Parse(text.c_str(), int(text.size()));
    ASSERT_EQ(parser.m_roots.size(), 2u); // the end tag closed the element, "y" is a second root
    uint16_t atom = parser.FindAtom(endName.c_str());
    ASSERT_NE(atom, 0);
    EXPECT_EQ(parser.m_roots[0]->m_nAtom, atom);
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

TEST(MarkupRobustness, MegabytesOfAmpersandsInText) {
    std::u16string run(4 * 1024 * 1024, u'&');
    std::u16string text = u"<p>" + run + u"</p><p>" + run + u";&amp;</p>";
    CXMLParser parser(true);
    parser.Parse(text.c_str(), int(text.size()));
    ASSERT_EQ(parser.m_roots.size(), 2u);
    EXPECT_EQ(std::u16string(parser.m_roots[0]->m_children[0]->m_pszValue), run);
    EXPECT_EQ(std::u16string(parser.m_roots[1]->m_children[0]->m_pszValue), run + u";&");
}

TEST(MarkupRobustness, EndTagStormAfterDeepNesting) {
    // Many end tags that match nothing open must not each climb the whole open chain.
    const size_t count = 200000;
    std::u16string text =
        u"<u></u><b>" + Repeat(u"<i>", count) + Repeat(u"</u>", count) + u"<u></u>" + Repeat(u"</b>", count) + u"x";
    CXMLParser parser(true);
    parser.Parse(text.c_str(), int(text.size()));
    ASSERT_EQ(parser.m_roots.size(), 3u); // u, b (the first "</b>" closed everything), and "x"
    std::vector<CNode *> italics;
    parser.FindElements(italics, u"i", nullptr, nullptr);
    ASSERT_EQ(italics.size(), count);
    ASSERT_EQ(italics.back()->m_children.size(), 1u); // the u element inside the innermost i
    EXPECT_EQ(std::u16string(italics.back()->m_children[0]->m_pszName), u"u");
}

} // namespace
