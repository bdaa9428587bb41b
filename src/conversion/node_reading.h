#pragma once
// Reading the parse tree of a page without copying: attribute tests as the element search makes them, first
// values and children.
#include <cstdint>
#include <string_view>

#include "markup/xml_node.h"

namespace tree {

// A NUL-terminated value from the tree equals the text, without measuring the value first.
inline bool ValueEquals(const char16_t *value, std::u16string_view text) {
    if (!value)
        return false;
    for (char16_t c : text) {
        if (*value++ != c)
            return false;
    }
    return *value == 0;
}

// Any attribute of that name with exactly that value, as the element search tests it.
inline bool HasAttributeValue(const NKXML::CNode *element, uint16_t atom, std::u16string_view value) {
    for (const NKXML::CNode *attribute : element->m_attributes) {
        if (attribute->m_nAtom == atom && ValueEquals(attribute->m_pszValue, value))
            return true;
    }
    return false;
}

// The value of the element's first attribute of that name; "" when it has none.
inline const char16_t *FirstAttributeValue(const NKXML::CNode *element, uint16_t atom) {
    for (const NKXML::CNode *attribute : element->m_attributes) {
        if (attribute->m_nAtom == atom)
            return attribute->m_pszValue ? attribute->m_pszValue : u"";
    }
    return u"";
}

// The value of the node's first text child, or null.
inline const char16_t *FirstTextChild(const NKXML::CNode *node) {
    for (const NKXML::CNode *child : node->m_children) {
        if (child->m_nType == NKXML::XML_TEXT)
            return child->m_pszValue;
    }
    return nullptr;
}

} // namespace tree
