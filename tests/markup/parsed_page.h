#pragma once
// A page parsed for the tests, its error caught, and a compact picture of its tree:
//   element  name(attr=value,flag){value}[children]   text  "value"   comment  <!value>   roots split by " | "
#include <optional>
#include <string>

#include "markup/xml_parser.h"
#include "platform/wide_text.h"

namespace markup_test {

inline std::string Utf8(const char16_t *s) {
    return s ? platform::Utf16ToUtf8(s) : std::string("(null)");
}

inline std::string Dump(const NKXML::CNode *n) {
    if (n->m_nType == NKXML::XML_TEXT)
        return '"' + Utf8(n->m_pszValue) + '"';
    if (n->m_nType == NKXML::XML_COMMENT)
        return "<!" + Utf8(n->m_pszValue) + ">";
    std::string out = Utf8(n->m_pszName);
    for (size_t i = 0; i < n->m_attributes.size(); ++i) {
        const NKXML::CNode *a = n->m_attributes[i];
        out += (i ? "," : "(") + Utf8(a->m_pszName) + (a->m_pszValue ? "=" + Utf8(a->m_pszValue) : "");
    }
    if (!n->m_attributes.empty())
        out += ')';
    if (n->m_pszValue)
        out += "{" + Utf8(n->m_pszValue) + "}";
    for (size_t i = 0; i < n->m_children.size(); ++i)
        out += (i ? " " : "[") + Dump(n->m_children[i]);
    return n->m_children.empty() ? out : out + "]";
}

inline std::string Dump(const NKXML::CXMLParser &parser) {
    std::string out;
    for (size_t i = 0; i < parser.m_roots.size(); ++i)
        out += (i ? " | " : "") + Dump(parser.m_roots[i]);
    return out;
}

// Keeps the text alive next to the parser, as the document does, so errors can be formatted.
struct ParsedPage {
    explicit ParsedPage(bool html = true) : parser(html) {}
    std::u16string text;
    NKXML::CXMLParser parser;
    std::optional<NKXML::CXMLException> error;

    ParsedPage &Parse(const std::u16string &page) {
        parser.Reset();
        text = page;
        error.reset();
        try {
            parser.Parse(text.c_str(), int(text.size()));
        } catch (const NKXML::CXMLException &e) {
            error = e;
        }
        return *this;
    }
    ParsedPage &Parse(const std::string &utf8) { return Parse(platform::Utf8ToUtf16(utf8)); }

    std::string Tree() const { return Dump(parser); }
    std::string Message() const { return error ? platform::Utf16ToUtf8(error->m_strMessage) : std::string(); }
    std::string Status() const { return error ? platform::Utf16ToUtf8(parser.FormatError(*error)) : std::string(); }
};

} // namespace markup_test
