// The one-pass tokenizer: a state machine over the parser's copy of the page that ends names and values in place
// with NULs and hangs nodes into the tree as it meets them.
#include <cstring>
#include <string>
#include <utility>

#include "markup/xml_parser.h"
#include "platform/wide_text.h"

namespace NKXML {

namespace {

// Classes of the ASCII code units, for the scanning loops.
enum : uint8_t {
    A_SPACE = 0x01,      // white space
    A_NAME_START = 0x02, // letters, ':' and '_'
    A_NAME_CHAR = 0x04,  // element-name characters: letters, digits, '-', '.', ':', '_'
    A_TEXT_STOP = 0x08,  // NUL, '<', '&'
    A_ATTR_STOP = 0x10,  // NUL, white space, '>', '='
    A_VALUE_STOP = 0x20, // NUL, white space, '/', '>'
    A_DASH_STOP = 0x40,  // NUL, '-'
    A_RAW_STOP = 0x80,   // NUL, '<', '/'
};

constexpr uint8_t ClassOf(int c) {
    uint8_t k = 0;
    bool space = (c >= 9 && c <= 13) || c == ' ';
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (space)
        k |= A_SPACE | A_ATTR_STOP | A_VALUE_STOP;
    if (letter || c == ':' || c == '_')
        k |= A_NAME_START;
    if (letter || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':' || c == '_')
        k |= A_NAME_CHAR;
    if (c == 0 || c == '<' || c == '&')
        k |= A_TEXT_STOP;
    if (c == 0 || c == '>' || c == '=')
        k |= A_ATTR_STOP;
    if (c == 0 || c == '/' || c == '>')
        k |= A_VALUE_STOP;
    if (c == 0 || c == '-')
        k |= A_DASH_STOP;
    if (c == 0 || c == '<' || c == '/')
        k |= A_RAW_STOP;
    return k;
}

struct AsciiClasses {
    uint8_t k[128];
    constexpr AsciiClasses() : k() {
        for (int c = 0; c < 128; ++c)
            k[c] = ClassOf(c);
    }
};
constexpr AsciiClasses ASCII;

inline bool IsSpace(char16_t c) {
    return c < 128 ? (ASCII.k[c] & A_SPACE) != 0 : platform::IsSpaceW(c);
}
inline bool IsNameStart(char16_t c) {
    return c < 128 ? (ASCII.k[c] & A_NAME_START) != 0 : platform::IsAlphaW(c);
}
inline bool IsNameChar(char16_t c) {
    return c < 128 ? (ASCII.k[c] & A_NAME_CHAR) != 0 : platform::IsAlnumW(c);
}
// Stops at the ASCII units of the class, and (when spaceStops) at white space beyond ASCII.
inline bool Stops(char16_t c, uint8_t klass, bool spaceStops) {
    return c < 128 ? (ASCII.k[c] & klass) != 0 : spaceStops && platform::IsSpaceW(c);
}

// Whether the text at p begins with marker (never reads past a NUL of the text).
inline bool StartsWith(const char16_t *p, const char16_t *marker) {
    for (; *marker; ++p, ++marker)
        if (*p != *marker)
            return false;
    return true;
}

// The first occurrence of marker at or after p, before the first NUL; null when there is none.
const char16_t *FindMarker(const char16_t *p, const char16_t *marker) {
    const char16_t first = marker[0];
    for (; *p; ++p)
        if (*p == first && StartsWith(p, marker))
            return p;
    return nullptr;
}

inline bool SameString(const char16_t *a, const char16_t *b) {
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

enum State {
    CONTENT,       // 0 and 9
    AFTER_LT,      // 1
    ELEMENT_NAME,  // 2
    IN_TAG,        // 3
    ATTR_NAME,     // 4
    AFTER_SLASH,   // 5
    BEFORE_VALUE,  // 6
    UNQUOTED,      // 7
    QUOTED,        // 8
    TEXT,          // 10
    END_TAG,       // 11
    DOCTYPE,       // 12
    DOCTYPE_QUOTE, // 13
    COMMENT,       // 14
    RAW,           // 15
    RAW_LT,        // 16
    RAW_SLASH,     // 17
    RAW_END_TAG,   // 18
};

} // namespace

void CXMLParser::CopySource(const char16_t *text, int length) {
    m_pszSource = text;
    m_nLength = length;
    if (m_pszCopy) {
        // Parsed again without a Reset: the nodes of the earlier pass still point into the earlier copy, so it
        // stays alive (until Reset) and this pass gets a copy of its own.
        m_retiredCopies.push_back(std::move(m_copyBuffer));
        m_copyCapacity = 0;
    }
    // The buffer of the copy is kept from page to page; a much smaller page after a huge one gets a new one.
    const size_t needed = size_t(length) + 1;
    if (m_copyCapacity < needed || (m_copyCapacity > RETAINED_COPY && m_copyCapacity / 4 > needed)) {
        m_copyBuffer.reset();
        m_copyBuffer.reset(new char16_t[needed]);
        m_copyCapacity = needed;
    }
    m_pszCopy = m_copyBuffer.get();
    if (length)
        std::memcpy(m_pszCopy, text, size_t(length) * sizeof(char16_t));
    m_pszCopy[length] = 0;
}

void CXMLParser::ClearOpenCounts() {
    m_nAtomScript = AddAtom(u"script");
    m_nAtomStyle = AddAtom(u"style");
    if (m_openCount.empty())
        m_openCount.resize(65536);
    std::memset(m_openCount.data(), 0, (m_atomNames.size() + 1) * sizeof(uint32_t));
}

void CXMLParser::Parse(const char16_t *text, int length) {
    if (!text)
        length = 0;
    else if (length < 0)
        length = int(std::char_traits<char16_t>::length(text));
    CopySource(text, length);
    ClearOpenCounts();

    char16_t *const copy = m_pszCopy;
    char16_t *p = copy;
    if (*p == 0xFEFF)
        ++p;
    CNode *cur = nullptr;            // innermost open element, or the text or comment being read
    CNode *attribute = nullptr;      // the attribute whose name or value is being read (null: a value for nobody)
    const char16_t *slash = nullptr; // the '/' of the end tag being read
    bool ampersand = false;          // the text being read holds a '&'
    State state = CONTENT;

    auto pos = [copy](const char16_t *q) { return int(q - copy); };
    auto pop = [this, &cur]() {
        if (cur->m_nType == XML_ELEMENT)
            --m_openCount[cur->m_nAtom];
        cur = cur->m_pParent;
    };
    auto returnToContent = [&]() {
        state = (cur && (cur->m_nAtom == m_nAtomScript || cur->m_nAtom == m_nAtomStyle)) ? RAW : CONTENT;
    };
    auto closeStartTag = [&]() {
        if (cur->m_nFlags & XMLF_EMPTY)
            pop();
        returnToContent();
    };

    // Every state ends the pass when the code unit to read is NUL: what is open stays open.
    for (;;) {
        switch (state) {
        case CONTENT: {
            char16_t c = *p;
            if (!cur) {
                // White space between top-level nodes makes no node.
                while (IsSpace(c))
                    c = *++p;
            }
            if (c == 0)
                return;
            if (c == u'<') {
                if (StartsWith(p + 1, u"![CDATA[")) {
                    cur = CreateNode(cur, XML_TEXT);
                    cur->m_pszValue = p;
                    const char16_t *end = FindMarker(p + 9, u"]]>");
                    if (!end)
                        ThrowXMLException(pos(p), u"CDATA not terminated");
                    p = const_cast<char16_t *>(end) + 3;
                    ampersand = true;
                    state = TEXT;
                    break;
                }
                ++p;
                state = AFTER_LT;
                break;
            }
            cur = CreateNode(cur, XML_TEXT);
            cur->m_pszValue = p;
            ampersand = false;
            state = TEXT;
            break;
        }
        case TEXT: {
            char16_t c;
            for (;;) {
                c = *p;
                if (c < 128 && (ASCII.k[c] & A_TEXT_STOP)) {
                    if (c != u'&')
                        break;
                    ampersand = true;
                }
                ++p;
            }
            if (c == 0)
                return; // a text at the very end keeps its references as written
            if (StartsWith(p + 1, u"![CDATA[")) {
                // A CDATA section stays in the text, markers and all.
                const char16_t *end = FindMarker(p + 9, u"]]>");
                if (!end)
                    ThrowXMLException(pos(p), u"CDATA not terminated");
                p = const_cast<char16_t *>(end) + 3;
                ampersand = true;
                break;
            }
            *p++ = 0;
            if (ampersand)
                DecodeEntities(cur->m_pszValue, size_t(p - 1 - cur->m_pszValue));
            cur = cur->m_pParent;
            state = AFTER_LT;
            break;
        }
        case AFTER_LT: {
            char16_t c = *p;
            while (IsSpace(c))
                c = *++p;
            if (c == 0)
                return;
            if (c == u'!' || IsNameStart(c)) {
                cur = CreateNode(cur, XML_ELEMENT);
                if (c == u'!' && p[1] == u'-' && p[2] == u'-') {
                    cur->m_nType = XML_COMMENT;
                    cur->m_pszValue = p + 3;
                    ++p; // the end marker is looked for from the first '-' on
                    state = COMMENT;
                    break;
                }
                cur->m_pszName = p;
                if (c == u'!') {
                    // "<!" takes the next code unit into the name whatever it is.
                    if (*++p == 0)
                        return;
                }
                ++p;
                state = ELEMENT_NAME;
                break;
            }
            if (c == u'/') {
                slash = p++;
                state = END_TAG;
                break;
            }
            ThrowUnexpectedChar(c, pos(p));
        }
        case ELEMENT_NAME: {
            while (IsNameChar(*p))
                ++p;
            const char16_t c = *p;
            if (c == 0)
                return;
            *p = 0;
            cur->m_nAtom = InternName(cur->m_pszName, size_t(p - cur->m_pszName));
            cur->m_nFlags = FlagsOf(cur->m_nAtom);
            ++m_openCount[cur->m_nAtom];
            if (SameString(cur->m_pszName, u"!DOCTYPE")) {
                cur->m_pszValue = ++p;
                state = DOCTYPE;
                break;
            }
            if (IsSpace(c)) {
                ++p;
                state = IN_TAG;
            } else if (c == u'>') {
                ++p;
                closeStartTag();
            } else if (c == u'/') {
                ++p;
                state = AFTER_SLASH;
            } else {
                ThrowUnexpectedChar(c, pos(p));
            }
            break;
        }
        case IN_TAG: {
            char16_t c = *p;
            while (IsSpace(c))
                c = *++p;
            if (c == 0)
                return;
            if (IsNameStart(c)) {
                if (!cur)
                    ThrowXMLException(pos(p), u"Tried to ascend from the root");
                attribute = CreateAttribute(cur);
                attribute->m_pszName = p++;
                state = ATTR_NAME;
            } else if (c == u'>') {
                ++p;
                closeStartTag();
            } else if (c == u'/') {
                ++p;
                state = AFTER_SLASH;
            } else if (c == u'=') {
                // "name = value": the value belongs to the attribute just read when it has none yet; otherwise
                // it is read and dropped. The element stays current either way.
                ++p;
                attribute = nullptr;
                if (!cur->m_attributes.empty() && !cur->m_attributes.back()->m_pszValue)
                    attribute = cur->m_attributes.back();
                state = BEFORE_VALUE;
            } else if (c == u'-' && m_bHtml) {
                ++p;
            } else {
                ThrowUnexpectedChar(c, pos(p));
            }
            break;
        }
        case ATTR_NAME: {
            while (!Stops(*p, A_ATTR_STOP, true))
                ++p;
            const char16_t c = *p;
            if (c == 0)
                return;
            *p++ = 0;
            attribute->m_nAtom = InternName(attribute->m_pszName, size_t(p - 1 - attribute->m_pszName));
            if (c == u'=')
                state = BEFORE_VALUE;
            else if (c == u'>')
                closeStartTag();
            else
                state = IN_TAG;
            break;
        }
        case AFTER_SLASH: {
            const char16_t c = *p;
            if (c == 0)
                return;
            if (c != u'>')
                ThrowUnexpectedChar(c, pos(p));
            ++p;
            if (cur)
                pop();
            returnToContent();
            break;
        }
        case BEFORE_VALUE: {
            char16_t c = *p;
            while (IsSpace(c))
                c = *++p;
            if (c == 0)
                return;
            if (c == u'"' || c == u'\'') {
                m_chQuote = c;
                ++p;
                if (attribute)
                    attribute->m_pszValue = p;
                state = QUOTED;
            } else {
                if (attribute)
                    attribute->m_pszValue = p;
                ++p; // even a '>' right after '=' begins the value
                state = UNQUOTED;
            }
            break;
        }
        case UNQUOTED: {
            char16_t c;
            for (;;) {
                while (!Stops(*p, A_VALUE_STOP, true))
                    ++p;
                c = *p;
                if (c == u'/' && p[1] != u'>') {
                    ++p; // a '/' inside a value, as in an unquoted address
                    continue;
                }
                break;
            }
            if (c == 0)
                return;
            *p++ = 0;
            if (c == u'/')
                state = AFTER_SLASH;
            else if (c == u'>')
                closeStartTag();
            else
                state = IN_TAG;
            break;
        }
        case QUOTED: {
            const char16_t quote = m_chQuote;
            while (*p != quote && *p != 0)
                ++p;
            if (*p == 0)
                return;
            *p++ = 0;
            state = IN_TAG;
            break;
        }
        case END_TAG: {
            while (*p != u'>' && *p != 0)
                ++p;
            if (*p == 0)
                return;
            *p = 0;
            const char16_t *name = slash + 1;
            if (cur && cur->m_pszName && SameString(cur->m_pszName, name)) {
                pop();
            } else if (!m_bHtml) {
                ThrowXMLException(pos(p), u"No start tag corresponding to end tag");
            } else if (cur) {
                // Close the innermost open element of that name and everything inside it; an end tag that
                // matches nothing open is ignored (known at once from the count, without climbing).
                uint16_t atom = FindName(name, size_t(p - name));
                if (atom != 0 && m_openCount[atom] != 0) {
                    while (cur->m_nAtom != atom)
                        pop();
                    pop();
                }
            }
            ++p;
            returnToContent();
            break;
        }
        case DOCTYPE: {
            char16_t c;
            while ((c = *p) != 0 && c != u'>' && c != u'"' && c != u'\'')
                ++p;
            if (c == 0)
                return;
            if (c == u'>') {
                // The declaration is never closed: the rest of the page becomes its children.
                *p++ = 0;
                returnToContent();
            } else {
                m_chQuote = c;
                ++p;
                state = DOCTYPE_QUOTE;
            }
            break;
        }
        case DOCTYPE_QUOTE: {
            const char16_t quote = m_chQuote;
            while (*p != quote && *p != 0)
                ++p;
            if (*p == 0)
                return;
            ++p;
            state = DOCTYPE;
            break;
        }
        case COMMENT: {
            for (;;) {
                while (!(*p < 128 && (ASCII.k[*p] & A_DASH_STOP)))
                    ++p;
                if (*p == 0)
                    return;
                if (p[1] == u'-' && p[2] == u'>')
                    break;
                ++p;
            }
            *p = 0;
            // "<!-->" and "<!--->" end where they begin: their text is empty.
            if (p < cur->m_pszValue)
                cur->m_pszValue = p;
            cur = cur->m_pParent;
            p += 3;
            returnToContent();
            break;
        }
        case RAW: {
            // Script and style content is passed over; any end tag ends it.
            for (;;) {
                while (!(*p < 128 && (ASCII.k[*p] & A_RAW_STOP)))
                    ++p;
                if (*p == u'/' && StartsWith(p, u"//<![CDATA[")) {
                    const char16_t *end = FindMarker(p + 11, u"//]]>");
                    if (!end)
                        ThrowXMLException(pos(p), u"CDATA not terminated");
                    p = const_cast<char16_t *>(end) + 5;
                    continue;
                }
                if (*p == u'/') {
                    ++p;
                    continue;
                }
                break;
            }
            if (*p == 0)
                return;
            ++p; // the '<'
            state = RAW_LT;
            break;
        }
        case RAW_LT: {
            const char16_t c = *p;
            if (c == 0)
                return;
            ++p; // a code unit other than '/' is not looked at again
            state = c == u'/' ? RAW_SLASH : RAW;
            break;
        }
        case RAW_SLASH: {
            const char16_t c = *p;
            if (c == 0)
                return;
            ++p;
            state = IsNameStart(c) ? RAW_END_TAG : RAW;
            break;
        }
        case RAW_END_TAG: {
            while (*p != u'>' && *p != 0)
                ++p;
            if (*p == 0)
                return;
            *p++ = 0;
            if (cur)
                pop();
            returnToContent();
            break;
        }
        }
    }
}

} // namespace NKXML
