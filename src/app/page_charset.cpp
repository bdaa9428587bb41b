#include "app/page_charset.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/charset_table.h"

namespace {

constexpr size_t PRESCAN_LENGTH = 1024;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}
// A byte up to the space (the C0 controls and the space): what pads a charset name in a meta content attribute
// or an XML declaration.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char &c : out)
        c = LowerAscii(c);
    return out;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[at + i]) != prefix[i])
            return false;
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Any name of the charset table counts, also one that the program then does not decode (it reads as 1252).
bool IsKnownCharset(std::string_view name) {
    std::string key = Lowered(Trimmed(name));
    const platform::CharsetCodePage *first = platform::CharsetCodePageTable;
    const platform::CharsetCodePage *last = first + platform::CharsetCodePageTableSize;
    const platform::CharsetCodePage *row =
        std::lower_bound(first, last, key, [](const platform::CharsetCodePage &r, const std::string &k) {
            return k.compare(r.name) > 0;
        });
    return row != last && key == row->name;
}

// The charset named in a meta element's content attribute ("text/html; charset=utf-8"), or empty: the first
// "charset" (any case) followed by '=' gives the value after it, in quotes up to the closing one, else up to a
// blank, a control character, a quote or ';'. A value whose closing quote is missing names nothing.
std::string CharsetFromMetaContent(std::string_view content) {
    size_t pos = 0;
    while (pos < content.size()) {
        size_t found = std::string_view::npos;
        for (size_t i = pos; i + 7 <= content.size() && found == std::string_view::npos; ++i)
            if (StartsWithNoCase(content, i, "charset"))
                found = i;
        if (found == std::string_view::npos)
            break;
        pos = found + 7;
        while (pos < content.size() && IsBlank(content[pos]))
            ++pos;
        if (pos >= content.size() || content[pos] != '=')
            continue;
        ++pos;
        while (pos < content.size() && IsBlank(content[pos]))
            ++pos;
        char quote = 0;
        if (pos < content.size() && (content[pos] == '"' || content[pos] == '\''))
            quote = content[pos++];
        if (pos == content.size())
            break;
        size_t end = pos;
        while (end < content.size() &&
               (quote ? content[end] != quote
                      : !IsBlank(content[end]) && content[end] != '"' && content[end] != '\'' && content[end] != ';'))
            ++end;
        if (quote && end == content.size())
            break;
        return std::string(content.substr(pos, end - pos));
    }
    return {};
}

// A browser reads a page that declares a UTF-16 charset in its own bytes as UTF-8 (bytes that can be read as
// ASCII cannot be UTF-16).
std::string ClosestByteBased(std::string_view name) {
    std::string lowered = Lowered(Trimmed(name));
    if (lowered == "utf-16" || lowered == "utf-16le" || lowered == "utf-16be")
        return "utf-8";
    return std::string(Trimmed(name));
}

// Names lowered, values as they stand in the page.
using Attributes = std::vector<std::pair<std::string, std::string_view>>;

// The charset that a meta element declares, known to the charset table, or empty: its charset attribute, or a
// charset in its content attribute when an http-equiv attribute says "Content-Type"; the first of the two with
// a value counts. x-user-defined stands for windows-1252 there.
std::string CharsetFromMetaAttributes(const Attributes &attributes) {
    bool contentType = false, fromContent = false;
    std::string charset;
    for (const auto &[name, value] : attributes) {
        if (name == "http-equiv") {
            contentType = contentType || Lowered(value) == "content-type";
        } else if (charset.empty() && name == "charset") {
            charset = std::string(value);
            fromContent = false;
        } else if (charset.empty() && name == "content") {
            charset = CharsetFromMetaContent(value);
            fromContent = true;
        }
    }
    if (charset.empty() || (fromContent && !contentType) || !IsKnownCharset(charset))
        return {};
    if (Lowered(Trimmed(charset)) == "x-user-defined")
        return "windows-1252";
    return ClosestByteBased(charset);
}

// One tag of the page as the HTML tokenizer reads it, from its '<' on.
struct Tag {
    bool end = false;
    std::string name; // lowered
    Attributes attributes;
};

// Reads the tag at text[at] ("<name" or "</name") into `tag`, whose storage serves tag after tag; returns the
// position after its '>', or npos when the page ends inside it. Names are lowered; quoted values may hold '>'.
size_t ReadTag(std::string_view text, size_t at, Tag &tag) {
    tag.end = text[at + 1] == '/';
    tag.name.clear();
    tag.attributes.clear();
    size_t i = at + (tag.end ? 2 : 1);
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '/' && text[i] != '>')
        tag.name += LowerAscii(text[i++]);
    while (true) {
        while (i < text.size() && (IsSpace(text[i]) || text[i] == '/'))
            ++i;
        if (i >= text.size())
            return std::string_view::npos;
        if (text[i] == '>')
            return i + 1;
        std::string name(1, LowerAscii(text[i++])); // a leading '=' belongs to the name
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '/' && text[i] != '>' && text[i] != '=')
            name += LowerAscii(text[i++]);
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        std::string_view value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && IsSpace(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                size_t close = text.find(text[i], i + 1);
                if (close == std::string_view::npos)
                    return std::string_view::npos;
                value = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                size_t start = i;
                while (i < text.size() && !IsSpace(text[i]) && text[i] != '>')
                    ++i;
                value = text.substr(start, i - start);
            }
        }
        tag.attributes.emplace_back(std::move(name), value);
    }
}

// Where the markup construct at text[at] == '<' ends (comment, doctype, processing instruction, "</>"), npos when
// the page ends inside it; 0 when a tag starts there, or when the '<' is only text.
size_t SkipMarkup(std::string_view text, size_t at) {
    std::string_view rest = text.substr(at);
    if (rest.starts_with("<!--")) {
        if (rest.starts_with("<!-->"))
            return at + 5;
        if (rest.starts_with("<!--->"))
            return at + 6;
        size_t close = rest.find("--", 4);
        while (close != std::string_view::npos && !rest.substr(close + 2).starts_with(">") &&
               !rest.substr(close + 2).starts_with("!>"))
            close = rest.find("--", close + 1);
        if (close == std::string_view::npos)
            return std::string_view::npos;
        return at + close + (rest[close + 2] == '>' ? 3 : 4);
    }
    if (rest.size() < 2)
        return 0;
    const bool endTag = rest[1] == '/';
    if (endTag && rest.size() > 2 && rest[2] == '>')
        return at + 3;
    if (rest[1] == '!' || rest[1] == '?' || (endTag && rest.size() > 2 && !IsAsciiLetter(rest[2]))) {
        size_t close = rest.find('>', 1);
        return close == std::string_view::npos ? close : at + close + 1;
    }
    return 0;
}

// The text elements whose content the tokenizer reads as text up to their own end tag.
bool IsTextElement(std::string_view name) {
    for (std::string_view text :
         {"title", "textarea", "script", "style", "xmp", "iframe", "noembed", "noframes", "plaintext"})
        if (name == text)
            return true;
    return false;
}

// Elements that may stand in a page's head: the scan for a meta declaration goes on past them.
bool IsHeadElement(const Tag &tag) {
    for (std::string_view head : {"script", "noscript", "style", "link", "meta", "object", "title", "base"})
        if (tag.name == head)
            return true;
    return !tag.end && (tag.name == "html" || tag.name == "head");
}

} // namespace

std::string CharsetFromContentType(std::string_view contentType) {
    size_t semicolon = contentType.find(';');
    while (semicolon != std::string_view::npos) {
        std::string_view rest = contentType.substr(semicolon + 1);
        size_t next = rest.find(';');
        std::string_view parameter = Trimmed(rest.substr(0, next));
        size_t equals = parameter.find('=');
        if (equals != std::string_view::npos && Lowered(Trimmed(parameter.substr(0, equals))) == "charset") {
            std::string_view value = Trimmed(parameter.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return std::string(value);
        }
        semicolon = next == std::string_view::npos ? next : semicolon + 1 + next;
    }
    return {};
}

std::string CharsetFromByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return "utf-8";
    if (bytes.starts_with("\xFE\xFF"))
        return "utf-16be";
    if (bytes.starts_with("\xFF\xFE"))
        return "utf-16le";
    return {};
}

std::string CharsetFromMetaDeclaration(std::string_view text) {
    // The page read as the tokenizer reads it: comments, doctypes and the text of title, script, style and the
    // like hold no tags. The scan goes on while only head elements have been seen and always covers the first
    // PRESCAN_LENGTH bytes: once another element was seen, it ends after the first token that reaches their end
    // (a token ending at offset PRESCAN_LENGTH or later). So a meta that starts within them is read whole, one
    // that starts after them is not.
    bool inHead = true;
    auto done = [&](size_t consumed) { return !inHead && consumed >= PRESCAN_LENGTH; };
    Tag tag;
    size_t i = 0;
    while (i < text.size()) {
        size_t at = i;
        size_t end = 0;
        while (at < text.size()) {
            at = text.find('<', at);
            if (at == std::string_view::npos || at + 1 >= text.size())
                return {};
            end = SkipMarkup(text, at);
            if (end != 0 || IsAsciiLetter(text[at + 1]) ||
                (text[at + 1] == '/' && at + 2 < text.size() && IsAsciiLetter(text[at + 2])))
                break;
            ++at; // a '<' that is only text
        }
        if (at > i && done(at))
            return {};
        if (end == std::string_view::npos)
            return {};
        if (end == 0) {
            end = ReadTag(text, at, tag);
            if (end == std::string_view::npos)
                return {};
            if (!tag.end && tag.name == "meta") {
                std::string charset = CharsetFromMetaAttributes(tag.attributes);
                if (!charset.empty())
                    return charset;
            }
            inHead = inHead && IsHeadElement(tag);
            if (!tag.end && IsTextElement(tag.name)) {
                // Its text runs up to its own end tag; a plaintext element's text is the rest of the page.
                if (tag.name == "plaintext")
                    return {};
                size_t close = end;
                while (true) {
                    close = text.find("</", close);
                    if (close == std::string_view::npos)
                        return {};
                    size_t after = close + 2 + tag.name.size();
                    if (after < text.size() && StartsWithNoCase(text, close + 2, tag.name) &&
                        (IsSpace(text[after]) || text[after] == '/' || text[after] == '>'))
                        break;
                    close += 2;
                }
                if (close > end && done(close))
                    return {};
                end = close;
            }
        }
        if (done(end))
            return {};
        i = end;
    }
    return {};
}

std::string CharsetFromXmlDeclaration(std::string_view bytes) {
    if (!bytes.starts_with("<?xml"))
        return {};
    std::string_view declaration = bytes.substr(0, bytes.find('>'));
    if (declaration.size() == bytes.size())
        return {};
    size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return {};
    at += 8;
    while (at < declaration.size() && IsBlank(declaration[at]))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=')
        return {};
    ++at;
    while (at < declaration.size() && IsBlank(declaration[at]))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return {};
    size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string_view::npos)
        return {};
    std::string name(declaration.substr(at + 1, close - at - 1));
    return IsKnownCharset(name) ? ClosestByteBased(name) : std::string();
}

std::string FindPageCharset(std::string_view contentType, std::string_view bytes) {
    std::string charset = CharsetFromByteOrderMark(bytes);
    if (!charset.empty())
        return charset;
    charset = CharsetFromContentType(contentType);
    if (!charset.empty() && IsKnownCharset(charset))
        return charset;
    charset = CharsetFromMetaDeclaration(bytes);
    if (!charset.empty())
        return charset;
    charset = CharsetFromXmlDeclaration(bytes);
    if (!charset.empty())
        return charset;
    return "windows-1252";
}
