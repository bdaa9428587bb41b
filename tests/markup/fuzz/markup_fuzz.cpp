// libFuzzer target for the markup parser (built with clang only):
//   build/tests/markup/markup_fuzz tests/data/markup-corpus -max_total_time=60
// Parses each input, then checks that whatever tree came out is whole; aborts on a broken tree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "markup/xml_parser.h"

namespace {

void FuzzCheck(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "markup fuzz check failed: %s\n", what);
        std::abort();
    }
}

bool Inside(const NKXML::CXMLParser &parser, const char16_t *s) {
    if (!s)
        return true;
    const char16_t *begin = parser.m_pszCopy;
    const char16_t *end = begin + parser.m_nLength;
    if (s < begin || s > end)
        return false;
    while (s < end && *s)
        ++s;
    return *s == 0;
}

void CheckTree(const NKXML::CXMLParser &parser) {
    size_t nodes = 0;
    std::vector<const NKXML::CNode *> stack(parser.m_roots.rbegin(), parser.m_roots.rend());
    for (const NKXML::CNode *root : parser.m_roots)
        FuzzCheck(root->m_pParent == nullptr, "root with a parent");
    while (!stack.empty()) {
        const NKXML::CNode *node = stack.back();
        stack.pop_back();
        ++nodes;
        FuzzCheck(node->m_nType >= NKXML::XML_ELEMENT && node->m_nType <= NKXML::XML_TEXT, "node kind");
        FuzzCheck(Inside(parser, node->m_pszName) && Inside(parser, node->m_pszValue), "string outside the copy");
        FuzzCheck(node->m_nAtom <= parser.m_atomNames.size(), "atom out of range");
        if (node->m_nType != NKXML::XML_ELEMENT)
            FuzzCheck(node->m_attributes.empty() && node->m_children.empty(), "text or comment with content");
        for (const NKXML::CNode *attribute : node->m_attributes) {
            FuzzCheck(attribute->m_nType == NKXML::XML_ATTRIBUTE && attribute->m_pParent == node, "attribute");
            FuzzCheck(Inside(parser, attribute->m_pszName) && Inside(parser, attribute->m_pszValue), "attribute text");
            FuzzCheck(attribute->m_children.empty() && attribute->m_attributes.empty(), "attribute with content");
        }
        for (size_t i = node->m_children.size(); i-- > 0;) {
            FuzzCheck(node->m_children[i]->m_pParent == node, "child's parent");
            stack.push_back(node->m_children[i]);
        }
    }
    std::vector<NKXML::CNode *> all;
    const_cast<NKXML::CXMLParser &>(parser).FindElements(all, u"*", nullptr, nullptr);
    FuzzCheck(all.size() == nodes, "search misses nodes");
}

} // namespace

// The first byte chooses html or strict mode and how the rest becomes text: one byte per code unit (tag soup is
// found fastest that way) or little-endian pairs (every code unit, surrogates included).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static NKXML::CXMLParser html(true), strict(false);
    const uint8_t mode = size ? data[0] : 0;
    const size_t step = mode & 2 ? 2 : 1;
    std::u16string text;
    for (size_t i = 1; i + step <= size; i += step) // 0x80 stands in for a non-ASCII space
        text += step == 2 ? char16_t(data[i] | data[i + 1] << 8) : char16_t(data[i] == 0x80 ? 0x00A0 : data[i]);
    NKXML::CXMLParser &parser = mode & 1 ? strict : html;
    parser.Reset();
    try {
        parser.Parse(text.c_str(), int(text.size()));
    } catch (const NKXML::CXMLException &e) {
        FuzzCheck(!parser.FormatError(e).empty(), "empty status");
        FuzzCheck(e.m_nPosition < int(text.size()), "error position past the text");
    }
    CheckTree(parser);
    return 0;
}
