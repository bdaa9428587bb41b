// The charset table and the page decoders, checked against the WHATWG label list and single-byte index tables
// of text-encoding@0.7.0 (tests/oracle).
#include <gtest/gtest.h>

#include <unicode/ucnv.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "oracle.h"
#include "platform/charset_table.h"
#include "platform/code_page.h"

namespace {

struct WhatwgTables {
    std::map<std::string, std::string> labelToEncoding;
    std::map<std::string, std::vector<long>> singleByteIndex; // 128 code points for 0x80..0xFF, -1 undefined
};

const WhatwgTables &Tables() {
    static const WhatwgTables tables = [] {
        WhatwgTables t;
        int exitCode = 0;
        std::string output = oracle::RunNode("encoding_tables.js", {}, &exitCode);
        EXPECT_EQ(exitCode, 0) << "node encoding_tables.js failed; run `npm ci` in " << oracle::OracleDir();
        for (const std::string &line : oracle::SplitLines(output)) {
            std::istringstream in(line);
            std::string kind, first;
            in >> kind >> first;
            if (kind == "label") {
                std::string encoding;
                in >> encoding;
                t.labelToEncoding[first] = encoding;
            } else if (kind == "index") {
                std::vector<long> index;
                long cp;
                while (in >> cp)
                    index.push_back(cp);
                t.singleByteIndex[first] = index;
            }
        }
        return t;
    }();
    return tables;
}

// The Windows code page that decodes each WHATWG encoding; 0 where the program leaves the page to the default.
unsigned ExpectedCodePage(const std::string &encoding) {
    static const std::map<std::string, unsigned> pages = {
        {"UTF-8", 65001},          {"IBM866", 866},
        {"ISO-8859-2", 28592},     {"ISO-8859-3", 28593},
        {"ISO-8859-4", 28594},     {"ISO-8859-5", 28595},
        {"ISO-8859-6", 28596},     {"ISO-8859-7", 28597},
        {"ISO-8859-8", 28598},     {"ISO-8859-8-I", 38598},
        {"ISO-8859-10", 0},        {"ISO-8859-13", 28603},
        {"ISO-8859-14", 0},        {"ISO-8859-15", 28605},
        {"ISO-8859-16", 0},        {"KOI8-R", 20866},
        {"KOI8-U", 21866},         {"macintosh", 10000},
        {"windows-874", 874},      {"windows-1250", 1250},
        {"windows-1251", 1251},    {"windows-1252", 1252},
        {"windows-1253", 1253},    {"windows-1254", 1254},
        {"windows-1255", 1255},    {"windows-1256", 1256},
        {"windows-1257", 1257},    {"windows-1258", 1258},
        {"x-mac-cyrillic", 10007}, {"GBK", 936},
        {"gb18030", 54936},        {"Big5", 950},
        {"EUC-JP", 20932},         {"ISO-2022-JP", 50220},
        {"Shift_JIS", 932},        {"EUC-KR", 51949},
        {"replacement", 0},        {"UTF-16BE", 0},
        {"UTF-16LE", 0},           {"x-user-defined", 0},
    };
    auto it = pages.find(encoding);
    return it == pages.end() ? 0xFFFFFFFEu : it->second;
}

TEST(CharsetTable, HoldsTheWhatwgLabelsAndReplacementSortedBytewise) {
    ASSERT_FALSE(Tables().labelToEncoding.empty());
    EXPECT_EQ(platform::CharsetCodePageTableSize, 219u);
    EXPECT_EQ(Tables().labelToEncoding.size() + 1, platform::CharsetCodePageTableSize);
    for (unsigned i = 0; i < platform::CharsetCodePageTableSize; ++i) {
        const char *name = platform::CharsetCodePageTable[i].name;
        if (i > 0) {
            EXPECT_LT(std::strcmp(platform::CharsetCodePageTable[i - 1].name, name), 0) << name;
        }
        for (const char *c = name; *c; ++c) {
            EXPECT_FALSE(*c >= 'A' && *c <= 'Z') << name;
        }
        if (std::strcmp(name, "replacement") != 0) {
            EXPECT_TRUE(Tables().labelToEncoding.count(name)) << name << " is no WHATWG label";
        }
    }
}

TEST(CharsetTable, EveryWhatwgLabelFindsTheCodePageOfItsEncoding) {
    ASSERT_FALSE(Tables().labelToEncoding.empty());
    for (const auto &[label, encoding] : Tables().labelToEncoding) {
        unsigned expected = ExpectedCodePage(encoding);
        ASSERT_NE(expected, 0xFFFFFFFEu) << "encoding " << encoding << " unknown to the test";
        std::optional<unsigned> found = platform::LookupCharsetCodePage(label);
        if (expected == 0) {
            EXPECT_FALSE(found.has_value()) << label;
            EXPECT_EQ(platform::GetCharsetCodePage(label), 1252u) << label;
        } else {
            ASSERT_TRUE(found.has_value()) << label;
            EXPECT_EQ(*found, expected) << label;
        }
    }
}

TEST(CharsetTable, LookupFoldsAsciiCaseAndDropsHighBytes) {
    EXPECT_EQ(platform::GetCharsetCodePage("UTF-8"), 65001u);
    EXPECT_EQ(platform::GetCharsetCodePage("Utf-8"), 65001u);
    EXPECT_EQ(platform::GetCharsetCodePage("ISO-8859-1"), 1252u);
    EXPECT_EQ(platform::GetCharsetCodePage("utf-16"), 1252u);
    EXPECT_EQ(platform::GetCharsetCodePage("no-such-charset"), 1252u);
    EXPECT_EQ(platform::GetCharsetCodePage(""), 1252u);
    EXPECT_EQ(platform::GetCharsetCodePage("windows-\xC3\xA9"
                                           "1251"),
              1251u);
    EXPECT_EQ(platform::GetCharsetCodePage("ISO-8859-8-I"), 38598u);
    EXPECT_EQ(platform::GetCharsetCodePage("visual"), 28598u);
    EXPECT_EQ(platform::GetCharsetCodePage("latin5"), 1254u);
    EXPECT_FALSE(platform::LookupCharsetCodePage("utf-8 ").has_value());
}

// Every byte of every single-byte page decodes as the WHATWG index says; a byte the index leaves undefined
// becomes U+FFFD.
TEST(CodePageDecoding, SingleBytePagesMatchTheWhatwgIndexForAllBytes) {
    ASSERT_FALSE(Tables().singleByteIndex.empty());
    int pagesChecked = 0;
    for (const auto &[encoding, index] : Tables().singleByteIndex) {
        ASSERT_EQ(index.size(), 128u) << encoding;
        unsigned codePage = ExpectedCodePage(encoding);
        if (codePage == 0)
            continue; // a label the program does not decode
        ++pagesChecked;
        for (int byte = 0; byte < 256; ++byte) {
            std::string bytes(1, static_cast<char>(byte));
            std::u16string text = platform::ConvertFromCodePage(bytes, codePage);
            long expected = byte < 0x80 ? byte : index[byte - 0x80];
            if (expected < 0)
                expected = 0xFFFD;
            ASSERT_EQ(text.size(), 1u) << encoding << " byte " << byte;
            EXPECT_EQ(static_cast<long>(text[0]), expected) << encoding << " byte 0x" << std::hex << byte;
        }
    }
    EXPECT_EQ(pagesChecked, 25);
}

TEST(CodePageDecoding, UnknownPageOrEmptyInputGivesEmptyText) {
    EXPECT_TRUE(platform::ConvertFromCodePage("abc", 12345).empty());
    EXPECT_TRUE(platform::ConvertFromCodePage("", 1252).empty());
    EXPECT_EQ(platform::ConvertFromCodePage("caf\xC3\xA9", 65001), u"caf\u00E9");
    EXPECT_EQ(platform::ConvertFromCodePage("caf\xE9", 1252), u"caf\u00E9");
    // Invalid UTF-8 is substituted, not dropped.
    EXPECT_EQ(platform::ConvertFromCodePage("a\xFFz", 65001), u"a\uFFFDz");
}

TEST(CodePageDecoding, SingleBytePagesDecodeLongTextsAsByteByByte) {
    std::string bytes;
    for (int i = 0; i < 3; ++i)
        for (int byte = 255; byte >= 0; --byte)
            bytes.push_back(static_cast<char>(byte));
    for (unsigned codePage : {866u, 874u, 1250u, 1252u, 1255u, 10000u, 21866u, 28591u, 28598u}) {
        std::u16string text = platform::ConvertFromCodePage(bytes, codePage);
        ASSERT_EQ(text.size(), bytes.size()) << codePage;
        for (size_t i = 0; i < bytes.size(); ++i)
            ASSERT_EQ(text[i], platform::ConvertFromCodePage(bytes.substr(i, 1), codePage)[0]) << codePage;
    }
}

// ICU's own UTF-8 decoding, substitutions included: what the page decoder must give for every input.
std::u16string IcuUtf8(const std::string &bytes) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter *converter = ucnv_open("UTF-8", &status);
    std::u16string text(bytes.size() + 1, u'\0');
    int32_t length = ucnv_toUChars(converter, text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                                   static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    text.resize(static_cast<size_t>(length));
    return text;
}

TEST(CodePageDecoding, Utf8PagesDecodeAsIcuDoes) {
    // Boundaries of every sequence length, ill-formed sequences (overlong, surrogates, beyond U+10FFFF, cut
    // short, stray continuation bytes) and a byte-order mark, alone and inside ASCII runs longer than eight bytes.
    const std::vector<std::string> pieces = {
        "plain ASCII text longer than eight bytes",
        "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
        "\xED\x9F\xBF\xEE\x80\x80 caf\xC3\xA9 \xE2\x99\xA0 \xF0\x9F\x82\xA1",
        "\xC0\xAF",
        "\xC1\xBF",
        "\xE0\x9F\xBF",
        "\xED\xA0\x80",
        "\xF0\x8F\xBF\xBF",
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xFF",
        "\x80",
        "\xC3",
        "\xE2\x99",
        "\xF0\x9F\x82",
        "\xEF\xBB\xBF"
        "BOM",
        "\xC3(",
        "\xE2\x28\xA1",
    };
    for (const std::string &piece : pieces) {
        for (const std::string &text : {piece, "0123456789" + piece + "abcdefghijk", piece + piece}) {
            EXPECT_EQ(platform::ConvertFromCodePage(text, 65001), IcuUtf8(text)) << text;
        }
    }
}

TEST(CodePageEncoding, Latin1ReportsWhatItCannotHold) {
    bool lossy = true;
    EXPECT_EQ(platform::ConvertToCodePage(u"Ren\u00E9e", 28591, &lossy), "Ren\xE9"
                                                                         "e");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(platform::ConvertToCodePage(u"\u0141\u00F3d\u017A", 28591, &lossy), "?\xF3"
                                                                                  "d?");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(platform::ConvertToCodePage(u"\U0001F0A1", 28591, &lossy), "?");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(platform::ConvertToCodePage(u"", 28591, &lossy), "");
    EXPECT_FALSE(lossy);
}

TEST(CodePageEncoding, Latin1LongTextsNarrowWhereverTheOddCharacterStands) {
    const std::u16string base = u"R\u00E9sum\u00E9 of the Caf\u00E9 Cr\u00E8me pairs, session two";
    std::string narrowed;
    for (char16_t c : base)
        narrowed.push_back(static_cast<char>(c));
    bool lossy = true;
    EXPECT_EQ(platform::ConvertToCodePage(base, 28591, &lossy), narrowed);
    EXPECT_FALSE(lossy);
    for (size_t at = 0; at <= base.size(); ++at) {
        for (std::u16string odd : {std::u16string(u"\u0141"), std::u16string(u"\U0001F0A1")}) {
            std::u16string text = base;
            text.insert(at, odd);
            std::string expected = narrowed;
            expected.insert(at, "?");
            EXPECT_EQ(platform::ConvertToCodePage(text, 28591, &lossy), expected) << at;
            EXPECT_TRUE(lossy) << at;
            std::string appended = "x";
            platform::AppendToCodePage(appended, text, 28591);
            EXPECT_EQ(appended, "x" + expected) << at;
        }
    }
}

TEST(CodePageEncoding, Utf8EncodesEveryCharacter) {
    bool lossy = true;
    EXPECT_EQ(platform::ConvertToCodePage(u"\u0141\u00F3d\u017A \u2660 \U0001F0A1", 65001, &lossy),
              "\xC5\x81\xC3\xB3"
              "d\xC5\xBA \xE2\x99\xA0 \xF0\x9F\x82\xA1");
    EXPECT_FALSE(lossy);
    // A lone surrogate has no UTF-8 form; it becomes U+FFFD.
    std::u16string lone = u"a";
    lone.push_back(static_cast<char16_t>(0xD800));
    EXPECT_EQ(platform::ConvertToCodePage(lone, 65001), "a\xEF\xBF\xBD");
    // Round trip through the decoder.
    std::u16string text = u"Z\u00FCrich \u0141\u00F3d\u017A \U0001F0A1";
    EXPECT_EQ(platform::ConvertFromCodePage(platform::ConvertToCodePage(text, 65001), 65001), text);
}

} // namespace
