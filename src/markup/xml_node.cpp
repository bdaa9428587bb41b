#include "markup/xml_node.h"

#include "markup/tree_walk.h"

#include <string_view>

namespace NKXML {

namespace {

bool HasAttributeValue(const CNode *node, uint16_t attrAtom, std::u16string_view value) {
    for (const CNode *attribute : node->m_attributes) {
        if (attribute->m_nAtom == attrAtom && attribute->m_pszValue && attribute->m_pszValue == value)
            return true;
    }
    return false;
}

} // namespace

void CNode::FindElements(std::vector<CNode *> &out, uint16_t tagAtom, uint16_t attrAtom, const char16_t *value) {
    const bool testAttribute = attrAtom != 0 && value != nullptr;
    const std::u16string_view wanted = testAttribute ? std::u16string_view(value) : std::u16string_view();
    auto matches = [&](const CNode *node) {
        return (tagAtom == 0 || node->m_nAtom == tagAtom) &&
               (!testAttribute || HasAttributeValue(node, attrAtom, wanted));
    };

    WalkStack stack;
    ForEachInSubtree(this, stack, [&](CNode *node) {
        if (matches(node))
            out.push_back(node);
    });
}

} // namespace NKXML
