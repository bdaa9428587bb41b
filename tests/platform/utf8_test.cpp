#include "platform/utf8.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace platform;

namespace {

// ICU decoding one code point at a time, every byte of an ill-formed subpart as U+DC00 + byte; wellFormed: where
// the first ill-formed subpart starts.
std::u16string IcuDecode(const std::string &bytes, size_t &wellFormed) {
    std::u16string out;
    const auto *s = reinterpret_cast<const uint8_t *>(bytes.data());
    wellFormed = bytes.size();
    for (int32_t i = 0, start = 0, length = int32_t(bytes.size()); i < length; start = i) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0)
            wellFormed = std::min(wellFormed, size_t(start));
        for (int32_t k = start; c < 0 && k < i; ++k)
            out += char16_t(0xDC00 + s[k]);
        if (c >= 0)
            out += U_IS_BMP(c) ? std::u16string(1, char16_t(c)) : std::u16string{U16_LEAD(c), U16_TRAIL(c)};
    }
    return out;
}

// ICU's UTF-8 of a text, lone surrogates as U+FFFD.
std::string IcuUtf8(const std::u16string &text) {
    std::string out;
    return icu::UnicodeString(text.data(), int32_t(text.size())).toUTF8String(out);
}

TEST(Utf8, DecodesAndEncodesAsIcuDoes) {
    // Boundaries of every sequence length; ill-formed: overlong, surrogates, beyond U+10FFFF, bytes that never
    // lead, cut short, stray continuation bytes.
    // clang-format off
    const std::vector<std::string> pieces = {
        "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
        "\xED\x9F\xBF\xEE\x80\x80 caf\xC3\xA9 \xE2\x99\xA0 \xF0\x9F\x82\xA1",
        "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF", "\xFE", "\x80", "\xBF", "\xC3", "\xE2\x99", "\xF0\x9F\x82",
        "\xC3(", "\xE2\x28\xA1"};
    // clang-format on
    std::vector<std::string> inputs = {""};
    std::string huge; // the pieces at every alignment of the ASCII runs, many times over the decoder's buffer
    for (size_t i = 0; i < 50000; ++i)
        huge += pieces[i % pieces.size()] + std::string(i % 37, char('a' + i % 26));
    for (const std::string &piece : pieces)
        inputs.insert(inputs.end(), {piece, "0123456789abcdef" + piece + "ghijklmnopqrstuvwxyz", piece + piece});
    inputs.insert(inputs.end(), {huge, huge.substr(0, huge.find('\xC0'))});
    for (const std::string &bytes : inputs) {
        size_t wellFormed, prefix;
        const std::u16string icu = IcuDecode(bytes, wellFormed);
        std::u16string escaped, stopped = u"kept";
        EXPECT_EQ(AppendUtf8AsUtf16(escaped, bytes, Utf8Invalid::Escape), bytes.size());
        EXPECT_EQ(escaped, icu) << bytes;
        EXPECT_EQ(AppendUtf8AsUtf16(stopped, bytes, Utf8Invalid::Stop), wellFormed) << bytes;
        EXPECT_EQ(stopped, u"kept" + IcuDecode(bytes.substr(0, wellFormed), prefix)) << bytes;
        EXPECT_EQ(IsWellFormedUtf8(bytes), wellFormed == bytes.size()) << bytes;
        // Encoded again: the escapes turn back into their bytes, or else become U+FFFD as in ICU.
        std::string back, replaced = "kept";
        AppendUtf16AsUtf8(back, escaped, true);
        EXPECT_EQ(back, bytes);
        AppendUtf16AsUtf8(replaced, escaped);
        EXPECT_EQ(replaced, "kept" + IcuUtf8(escaped)) << bytes;
    }
    // Lone and paired surrogates: as ICU without escapes; with them only a lone U+DC80-U+DCFF is a byte.
    const std::u16string surrogates = u"\xD800-a\xDBFF-\xDFFF\xD800z-\xD83D\xDC80\xDC00-\xDC7F\xDC80\xDCFF\xDD00";
    std::string plain, escaped;
    AppendUtf16AsUtf8(plain, surrogates);
    AppendUtf16AsUtf8(escaped, surrogates, true);
    EXPECT_EQ(plain, IcuUtf8(surrogates));
    EXPECT_EQ(escaped, "\xEF\xBF\xBD-a\xEF\xBF\xBD-\xEF\xBF\xBD\xEF\xBF\xBDz-\xF0\x9F\x92\x80\xEF\xBF\xBD-\xEF\xBF\xBD"
                       "\x80\xFF\xEF\xBF\xBD");
}

} // namespace
