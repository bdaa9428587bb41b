#include "markup/xml_node.h"

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

    // Pre-order walk: the node, then each child's subtree in order. Each frame holds a list of siblings and the
    // index of the next one to visit.
    if (matches(this))
        out.push_back(this);
    struct Frame {
        const CNodeList *list;
        size_t next;
    };
    std::vector<Frame> stack;
    if (!m_children.empty())
        stack.push_back({&m_children, 0});
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next == top.list->size()) {
            stack.pop_back();
            continue;
        }
        CNode *node = (*top.list)[top.next++];
        if (matches(node))
            out.push_back(node);
        if (!node->m_children.empty())
            stack.push_back({&node->m_children, 0}); // invalidates top; not used again this turn
    }
}

} // namespace NKXML
