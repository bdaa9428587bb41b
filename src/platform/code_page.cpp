#include "platform/code_page.h"
#include "platform/utf8.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <memory>
#include <string>

namespace platform {

namespace {

// ICU's name for a Windows code page. Most pages are known to ICU as "windows-NNNN"; these are not, or are known
// under that alias as something else.
std::string IcuConverterName(unsigned codePage) {
    switch (codePage) {
    case 866:
        return "ibm-866";
    case 10000:
        return "macintosh";
    case 10007:
        return "x-mac-cyrillic";
    case 20866:
        return "KOI8-R";
    case 20932:
        return "EUC-JP";
    case 21866:
        return "KOI8-U";
    case 28591:
        return "ISO-8859-1";
    case 28592:
    case 28593:
    case 28594:
    case 28595:
    case 28596:
    case 28597:
    case 28598:
        return "ISO-8859-" + std::to_string(codePage - 28590);
    case 28603:
        return "ISO-8859-13";
    case 28605:
        return "ISO-8859-15";
    case 38598:
        // Logical-order Hebrew: the same bytes as ISO-8859-8; the order matters only for display.
        return "ISO-8859-8";
    case 50220:
        return "ISO-2022-JP";
    case 51949:
        return "EUC-KR";
    case 54936:
        return "GB18030";
    case 65001:
        return "UTF-8";
    default:
        return "windows-" + std::to_string(codePage);
    }
}

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter(unsigned codePage) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(IcuConverterName(codePage).c_str(), &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

// Bytes that ICU's tables for these single-byte pages decode otherwise than browsers do: IBM's control-code
// arrangement in 866, the Ukrainian letters of KOI8-U, bytes that Windows-1253 and Windows-874 leave undefined,
// and the Hebrew point that Windows-1255 gained later.
struct ByteOverride {
    unsigned codePage;
    unsigned char byte;
    char16_t value;
};
constexpr ByteOverride BYTE_OVERRIDES[] = {
    {866, 0x1A, 0x001A},  {866, 0x1C, 0x001C},  {866, 0x7F, 0x007F}, {21866, 0xAE, 0x045E}, {21866, 0xBE, 0x040E},
    {1253, 0xAA, 0xFFFD}, {1255, 0xCA, 0x05BA}, {874, 0xDB, 0xFFFD}, {874, 0xDC, 0xFFFD},   {874, 0xDD, 0xFFFD},
    {874, 0xDE, 0xFFFD},  {874, 0xFC, 0xFFFD},  {874, 0xFD, 0xFFFD}, {874, 0xFE, 0xFFFD},   {874, 0xFF, 0xFFFD},
};

void ApplyByteOverrides(std::string_view bytes, unsigned codePage, std::u16string &text) {
    if (text.size() != bytes.size())
        return; // not decoded byte for byte
    for (const ByteOverride &entry : BYTE_OVERRIDES) {
        if (entry.codePage != codePage)
            continue;
        for (size_t i = bytes.find(static_cast<char>(entry.byte)); i != std::string_view::npos;
             i = bytes.find(static_cast<char>(entry.byte), i + 1))
            text[i] = entry.value;
    }
}

bool HasByteOverrides(unsigned codePage) {
    for (const ByteOverride &entry : BYTE_OVERRIDES)
        if (entry.codePage == codePage)
            return true;
    return false;
}

void AppendLatin1(std::string &out, std::u16string_view text, bool *lossy) {
    size_t length = out.size();
    out.resize(length + text.size());
    // Text that fits (the usual case once the export's code page is chosen) is narrowed eight units at a time;
    // the loop below takes over at the first block holding a character beyond U+00FF.
    size_t start = 0;
#ifdef __SSE2__
    const __m128i highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (; start + 8 <= text.size(); start += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + start));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, highBytes), _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out.data() + length), _mm_packus_epi16(units, units));
        length += 8;
    }
#endif
    text.remove_prefix(start);
    bool replaced = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c <= 0xFF) {
            out[length++] = static_cast<char>(c);
            continue;
        }
        // A character the page cannot hold; a surrogate pair is one character.
        replaced = true;
        out[length++] = '?';
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
    }
    out.resize(length);
    if (lossy)
        *lossy = replaced;
}

// Any other page through ICU, with '?' for what the page lacks.
std::string EncodeWithIcu(std::u16string_view text, unsigned codePage, bool *lossy) {
    if (lossy)
        *lossy = true;
    ConverterPtr converter = OpenConverter(codePage);
    if (!converter)
        return {};
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    const UChar *source = text.data();
    const UChar *sourceEnd = source + text.size();
    std::string out(text.size() * static_cast<size_t>(ucnv_getMaxCharSize(converter.get())) + 16, '\0');
    char *target = out.data();
    status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter.get(), &target, out.data() + out.size(), &source, sourceEnd, nullptr, true, &status);
    if (U_FAILURE(status))
        return {};
    out.resize(static_cast<size_t>(target - out.data()));
    if (lossy) {
        // Encoding back and forth shows whether anything was substituted.
        *lossy = ConvertFromCodePage(out, codePage) != text;
    }
    return out;
}

} // namespace

std::u16string ConvertFromCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty())
        return {};
    if (codePage == 65001 && !bytes.starts_with("\xEF\xBB\xBF")) {
        // Well-formed UTF-8 without ICU; ill-formed text (and a byte-order mark) goes to ICU, whose substitutions
        // then apply to the whole text.
        std::u16string text;
        if (AppendUtf8AsUtf16(text, bytes, Utf8Invalid::Stop) == bytes.size())
            return text;
    }
    ConverterPtr converter = OpenConverter(codePage);
    if (!converter)
        return {};
    // The pages we decode never yield more UTF-16 code units than they have bytes; grow anyway if one did.
    for (size_t capacity = bytes.size() + 1;; capacity *= 2) {
        std::u16string text(capacity, u'\0');
        UErrorCode status = U_ZERO_ERROR;
        UChar *target = text.data();
        const char *source = bytes.data();
        // Bytes the page does not define become U+FFFD (ICU's default substitution), invalid sequences likewise.
        ucnv_toUnicode(converter.get(), &target, text.data() + text.size(), &source, bytes.data() + bytes.size(),
                       nullptr, true, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            ucnv_resetToUnicode(converter.get());
            continue;
        }
        if (U_FAILURE(status))
            return {};
        text.resize(static_cast<size_t>(target - text.data()));
        if (HasByteOverrides(codePage))
            ApplyByteOverrides(bytes, codePage, text);
        return text;
    }
}

void AppendToCodePage(std::string &out, std::u16string_view text, unsigned codePage, bool *lossy) {
    if (lossy)
        *lossy = false;
    if (text.empty())
        return;
    if (codePage == 28591)
        AppendLatin1(out, text, lossy);
    else if (codePage == 65001)
        AppendUtf16AsUtf8(out, text);
    else
        out += EncodeWithIcu(text, codePage, lossy);
}

std::string ConvertToCodePage(std::u16string_view text, unsigned codePage, bool *lossy) {
    std::string out;
    AppendToCodePage(out, text, codePage, lossy);
    return out;
}

} // namespace platform
