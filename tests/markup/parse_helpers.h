#pragma once
// Shared helpers of the markup tests: parse a UTF-8 literal, catch the parser's error.
#include <optional>
#include <string>

#include "markup/xml_parser.h"
#include "platform/wide_text.h"
#include "tree_dump.h"

namespace markup_test {

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
    ParsedPage &Parse(const char *utf8) { return Parse(std::string(utf8)); }

    std::string Tree() const { return Dump(parser); }
    std::string Message() const { return error ? platform::Utf16ToUtf8(error->m_strMessage) : std::string(); }
    std::string Status() const { return error ? platform::Utf16ToUtf8(parser.FormatError(*error)) : std::string(); }
};

} // namespace markup_test
