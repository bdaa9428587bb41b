#pragma once
// A compact text picture of a parsed tree for the tests:
//   element  name(attr=value,flag)[children]     text  "value"     comment  <!value>
// Children in document order, separated by spaces; a null attribute value is shown without '='.
#include <string>
#include <vector>

#include "markup/xml_parser.h"
#include "platform/wide_text.h"

namespace markup_test {

inline std::string Utf8(const char16_t *s) {
    return s ? platform::Utf16ToUtf8(s) : std::string("(null)");
}

inline std::string Dump(const NKXML::CNode *node) {
    // Iterative, so the deep trees of the robustness tests can be dumped too.
    std::string out;
    struct Frame {
        const NKXML::CNode *node;
        size_t next;
    };
    std::vector<Frame> stack;
    auto open = [&](const NKXML::CNode *n) {
        switch (n->m_nType) {
        case NKXML::XML_TEXT:
            out += '"' + Utf8(n->m_pszValue) + '"';
            return false;
        case NKXML::XML_COMMENT:
            out += "<!" + Utf8(n->m_pszValue) + ">";
            return false;
        default:
            out += Utf8(n->m_pszName);
            if (!n->m_attributes.empty()) {
                out += '(';
                for (size_t i = 0; i < n->m_attributes.size(); ++i) {
                    const NKXML::CNode *a = n->m_attributes[i];
                    if (i)
                        out += ',';
                    out += Utf8(a->m_pszName);
                    if (a->m_pszValue)
                        out += '=' + Utf8(a->m_pszValue);
                }
                out += ')';
            }
            if (n->m_pszValue)
                out += "{" + Utf8(n->m_pszValue) + "}";
            if (n->m_children.empty())
                return false;
            out += '[';
            return true;
        }
    };
    if (open(node))
        stack.push_back({node, 0});
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next == top.node->m_children.size()) {
            out += ']';
            stack.pop_back();
            continue;
        }
        if (top.next)
            out += ' ';
        const NKXML::CNode *child = top.node->m_children[top.next++];
        if (open(child))
            stack.push_back({child, 0});
    }
    return out;
}

inline std::string Dump(const NKXML::CXMLParser &parser) {
    std::string out;
    for (size_t i = 0; i < parser.m_roots.size(); ++i) {
        if (i)
            out += " | ";
        out += Dump(parser.m_roots[i]);
    }
    return out;
}

} // namespace markup_test
