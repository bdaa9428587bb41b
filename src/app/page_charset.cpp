#include "app/page_charset.h"

#include <algorithm>

#include "platform/charset_table.h"

namespace {

constexpr size_t PRESCAN_LENGTH = 1024;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
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

// The value after "charset" in a meta element's content attribute: "text/html; charset=utf-8".
std::string CharsetFromMetaContent(std::string_view content) {
    size_t at = 0;
    while (true) {
        size_t found = std::string_view::npos;
        for (size_t i = at; i + 7 <= content.size(); ++i)
            if (StartsWithNoCase(content, i, "charset")) {
                found = i;
                break;
            }
        if (found == std::string_view::npos)
            return {};
        size_t i = found + 7;
        while (i < content.size() && IsSpace(content[i]))
            ++i;
        if (i >= content.size() || content[i] != '=') {
            at = found + 7;
            continue;
        }
        ++i;
        while (i < content.size() && IsSpace(content[i]))
            ++i;
        if (i >= content.size())
            return {};
        if (content[i] == '"' || content[i] == '\'') {
            size_t close = content.find(content[i], i + 1);
            if (close == std::string_view::npos)
                return {};
            return std::string(content.substr(i + 1, close - i - 1));
        }
        size_t end = i;
        while (end < content.size() && !IsSpace(content[end]) && content[end] != ';')
            ++end;
        return std::string(content.substr(i, end - i));
    }
}

// Reads one attribute of a tag at *pos; false at the tag's end. Names come back lowered, values as written.
bool ReadAttribute(std::string_view text, size_t *pos, std::string *name, std::string *value) {
    size_t i = *pos;
    while (i < text.size() && (IsSpace(text[i]) || text[i] == '/'))
        ++i;
    if (i >= text.size() || text[i] == '>') {
        *pos = i;
        return false;
    }
    name->clear();
    value->clear();
    while (i < text.size()) {
        char c = text[i];
        if (c == '=' && !name->empty())
            break;
        if (IsSpace(c) || c == '/' || c == '>')
            break;
        *name += LowerAscii(c);
        ++i;
    }
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i >= text.size() || text[i] != '=') {
        *pos = i;
        return true;
    }
    ++i;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        char quote = text[i++];
        size_t close = text.find(quote, i);
        if (close == std::string_view::npos) {
            *value = text.substr(i);
            *pos = text.size();
            return true;
        }
        *value = text.substr(i, close - i);
        *pos = close + 1;
        return true;
    }
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>')
        *value += text[i++];
    *pos = i;
    return true;
}

// A browser treats a page that declares UTF-16 in its own bytes as UTF-8 (bytes that can be read as ASCII
// cannot be UTF-16), and x-user-defined as windows-1252.
std::string AsMetaDeclaration(std::string name) {
    std::string lowered = Lowered(Trimmed(name));
    if (lowered == "utf-16" || lowered == "utf-16le" || lowered == "utf-16be")
        return "utf-8";
    if (lowered == "x-user-defined")
        return "windows-1252";
    return std::string(Trimmed(name));
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

std::string CharsetFromMetaDeclaration(std::string_view bytes) {
    std::string_view text = bytes.substr(0, PRESCAN_LENGTH);
    std::string name, value;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.substr(i).starts_with("<!--")) {
            size_t close = text.find("-->", i + 2);
            if (close == std::string_view::npos)
                return {};
            i = close + 3;
            continue;
        }
        if (StartsWithNoCase(text, i, "<meta") && i + 5 < text.size() && (IsSpace(text[i + 5]) || text[i + 5] == '/')) {
            size_t pos = i + 5;
            std::string charset, content, httpEquiv;
            bool hasCharset = false;
            while (ReadAttribute(text, &pos, &name, &value)) {
                if (name == "charset" && !hasCharset) {
                    charset = value;
                    hasCharset = true;
                } else if (name == "content" && content.empty()) {
                    content = value;
                } else if (name == "http-equiv" && httpEquiv.empty()) {
                    httpEquiv = Lowered(Trimmed(value));
                }
            }
            std::string declared;
            if (hasCharset)
                declared = charset;
            else if (httpEquiv == "content-type")
                declared = CharsetFromMetaContent(content);
            if (!declared.empty()) {
                declared = AsMetaDeclaration(declared);
                if (IsKnownCharset(declared))
                    return declared;
            }
            i = pos + 1;
            continue;
        }
        bool endTag = i + 1 < text.size() && text[i + 1] == '/';
        size_t nameStart = i + (endTag ? 2 : 1);
        if (nameStart < text.size() && IsAsciiLetter(text[nameStart])) {
            // An ordinary tag: skip its name and attributes, whose quoted values may hold '>'.
            size_t pos = nameStart;
            while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '>')
                ++pos;
            while (ReadAttribute(text, &pos, &name, &value)) {
            }
            i = pos + 1;
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == '!' || text[i + 1] == '/' || text[i + 1] == '?')) {
            size_t close = text.find('>', i + 1);
            if (close == std::string_view::npos)
                return {};
            i = close + 1;
            continue;
        }
        ++i;
    }
    return {};
}

std::string FindPageCharset(std::string_view contentType, std::string_view bytes) {
    std::string charset = CharsetFromContentType(contentType);
    if (!charset.empty() && IsKnownCharset(charset))
        return charset;
    charset = CharsetFromByteOrderMark(bytes);
    if (!charset.empty())
        return charset;
    charset = CharsetFromMetaDeclaration(bytes);
    if (!charset.empty())
        return charset;
    return "windows-1252";
}
