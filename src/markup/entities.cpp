// Character references in page text: the fifteen names the companion's pages use, and numeric references.
#include <cstring>
#include <string>

#include "markup/xml_parser.h"
#include "platform/wide_text.h"

namespace NKXML {

namespace {

struct CEntity {
    const char16_t *m_pszName;
    uint32_t m_nCode;
};

const CEntity g_entities[] = {
    {u"quot", 34},    {u"lt", 60},     {u"gt", 62},       {u"amp", 38},      {u"apos", 39},     {u"ndash", 8211},
    {u"mdash", 8212}, {u"times", 215}, {u"minus", 8722},  {u"spades", 9824}, {u"hearts", 9829}, {u"diams", 9830},
    {u"clubs", 9827}, {u"nbsp", 160},  {u"thinsp", 8201}, {nullptr, 0},
};

constexpr size_t LONGEST_NAME = 6;

// The code of the reference text[0..length) (between '&' and ';'), or 0 when it is not one we decode.
uint32_t ReferenceCode(const char16_t *text, size_t length) {
    if (length > 0 && text[0] == u'#') {
        const char16_t *digits = text + 1;
        int base = 10;
        if (length > 1 && (digits[0] == u'x' || digits[0] == u'X')) {
            ++digits;
            base = 16;
        }
        // The reader stops at the ';' at the latest, since ';' is neither white space, sign nor digit.
        const char16_t *end = nullptr;
        uint32_t value = platform::WcsToUL(digits, &end, base);
        if (end != text + length)
            return 0;
        if (value == 0 || value == 13 || value > 0xFFFF || (value >= 0xD800 && value <= 0xDFFF))
            return 0;
        if (value < 32 && !platform::IsSpaceW(char16_t(value)))
            return 0;
        return value;
    }
    if (length > LONGEST_NAME)
        return 0;
    for (const CEntity *entity = g_entities; entity->m_pszName; ++entity) {
        if (std::char_traits<char16_t>::length(entity->m_pszName) == length &&
            std::char_traits<char16_t>::compare(entity->m_pszName, text, length) == 0)
            return entity->m_nCode;
    }
    return 0;
}

} // namespace

void CXMLParser::DecodeEntities(char16_t *text) {
    if (text)
        DecodeEntities(text, std::char_traits<char16_t>::length(text));
}

size_t CXMLParser::DecodeEntities(char16_t *text, size_t length) {
    // One pass: r reads, w writes (w <= r). The position of the next ';' is remembered, so a text full of '&'
    // without ';' is not rescanned for every '&'.
    const char16_t *amp = std::char_traits<char16_t>::find(text, length, u'&');
    if (!amp)
        return length;
    size_t r = size_t(amp - text), w = r;
    size_t semicolon = 0; // valid when > r
    while (r < length) {
        if (text[r] != u'&') {
            // Move the run up to the next '&' in one go.
            const char16_t *next = std::char_traits<char16_t>::find(text + r, length - r, u'&');
            size_t end = next ? size_t(next - text) : length;
            if (w != r)
                std::memmove(text + w, text + r, (end - r) * sizeof(char16_t));
            w += end - r;
            r = end;
            continue;
        }
        if (semicolon <= r) {
            const char16_t *found = std::char_traits<char16_t>::find(text + r + 1, length - r - 1, u';');
            if (!found) {
                // No ';' in the rest: nothing more can be decoded.
                if (w != r)
                    std::memmove(text + w, text + r, (length - r) * sizeof(char16_t));
                w += length - r;
                r = length;
                break;
            }
            semicolon = size_t(found - text);
        }
        // Names are at most six code units long; only a numeric reference can be longer.
        const size_t referenceLength = semicolon - r - 1;
        uint32_t code = 0;
        if (referenceLength <= LONGEST_NAME || text[r + 1] == u'#')
            code = ReferenceCode(text + r + 1, referenceLength);
        if (code) {
            text[w++] = char16_t(code);
            r = semicolon + 1;
        } else {
            text[w++] = u'&';
            ++r;
        }
    }
    text[w] = 0;
    return w;
}

} // namespace NKXML
