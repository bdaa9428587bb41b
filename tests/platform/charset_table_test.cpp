// The charset table and the page decoders against the WHATWG label list and single-byte index tables of
// text-encoding@0.7.0 (tests/oracle, installed by `npm ci`).
#include "../scratch_test.h"
#include "platform/charset_table.h"
#include "platform/code_page.h"

#include <map>
#include <sstream>
#include <vector>

namespace {

struct WhatwgTables {
    std::map<std::string, std::string> labelToEncoding;
    std::map<std::string, std::vector<long>> singleByteIndex; // 128 code points for 0x80..0xFF, -1 undefined
};

const WhatwgTables &Tables() {
    static const WhatwgTables tables = [] {
        WhatwgTables t;
        const ProgramResult run = RunProgram("node", {DEALSCOPE_ORACLE_DIR "/encoding_tables.js"});
        EXPECT_EQ(run.exitCode, 0) << "node encoding_tables.js failed; run `npm ci` in tests/oracle\n" << run.output;
        std::istringstream lines(run.output);
        for (std::string kind, first, rest; lines >> kind >> first && std::getline(lines, rest);) {
            std::istringstream in(rest);
            if (kind == "label")
                in >> t.labelToEncoding[first];
            for (long cp; kind == "index" && in >> cp;)
                t.singleByteIndex[first].push_back(cp);
        }
        return t;
    }();
    return tables;
}

// The Windows code page that decodes each WHATWG encoding; 0 where the program leaves the page to the default.
// clang-format off
const std::map<std::string, unsigned> CODE_PAGES = {
    {"UTF-8", 65001}, {"IBM866", 866}, {"ISO-8859-2", 28592}, {"ISO-8859-3", 28593}, {"ISO-8859-4", 28594},
    {"ISO-8859-5", 28595}, {"ISO-8859-6", 28596}, {"ISO-8859-7", 28597}, {"ISO-8859-8", 28598}, {"ISO-8859-8-I", 38598},
    {"ISO-8859-10", 0}, {"ISO-8859-13", 28603}, {"ISO-8859-14", 0}, {"ISO-8859-15", 28605}, {"ISO-8859-16", 0},
    {"KOI8-R", 20866}, {"KOI8-U", 21866}, {"macintosh", 10000}, {"windows-874", 874}, {"windows-1250", 1250},
    {"windows-1251", 1251}, {"windows-1252", 1252}, {"windows-1253", 1253}, {"windows-1254", 1254},
    {"windows-1255", 1255}, {"windows-1256", 1256}, {"windows-1257", 1257}, {"windows-1258", 1258}, {"GBK", 936},
    {"gb18030", 54936}, {"x-mac-cyrillic", 10007}, {"Big5", 950}, {"EUC-JP", 20932}, {"ISO-2022-JP", 50220},
    {"Shift_JIS", 932}, {"EUC-KR", 51949}, {"replacement", 0}, {"UTF-16BE", 0}, {"UTF-16LE", 0}, {"x-user-defined", 0}};
// clang-format on

TEST(CharsetTable, EveryWhatwgLabelFindsTheCodePageOfItsEncoding) {
    ASSERT_FALSE(Tables().labelToEncoding.empty());
    EXPECT_EQ(Tables().labelToEncoding.size() + 1, platform::CharsetCodePageTableSize); // and "replacement"
    for (const auto &[label, encoding] : Tables().labelToEncoding) {
        const unsigned expected = CODE_PAGES.at(encoding);
        EXPECT_EQ(platform::LookupCharsetCodePage(label).value_or(0), expected) << label;
        EXPECT_EQ(platform::GetCharsetCodePage(label), expected ? expected : 1252u) << label;
    }
    // ASCII case folds; bytes beyond ASCII are dropped; anything else is no label.
    EXPECT_EQ(platform::GetCharsetCodePage("Utf-8"), 65001u);
    EXPECT_EQ(platform::GetCharsetCodePage(std::string("windows-\xC3\xA9") + "1251"), 1251u);
    EXPECT_FALSE(platform::LookupCharsetCodePage("utf-8 ").has_value());
    EXPECT_EQ(platform::GetCharsetCodePage(""), 1252u);
}

// Every byte of every single-byte page decodes as the WHATWG index says, alone and inside a long text; a byte the
// index leaves undefined becomes U+FFFD.
TEST(CodePage, SingleBytePagesDecodeAsTheWhatwgIndexForAllBytes) {
    int pagesChecked = 0;
    std::string bytes;
    for (int i = 0; i < 3 * 256; ++i)
        bytes.push_back(static_cast<char>(255 - i % 256));
    for (const auto &[encoding, index] : Tables().singleByteIndex) {
        ASSERT_EQ(index.size(), 128u) << encoding;
        const unsigned codePage = CODE_PAGES.at(encoding);
        if (codePage == 0)
            continue; // a page the program does not decode
        ++pagesChecked;
        const std::u16string text = platform::ConvertFromCodePage(bytes, codePage);
        ASSERT_EQ(text.size(), bytes.size()) << encoding;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const int byte = static_cast<unsigned char>(bytes[i]), cp = byte < 0x80 ? byte : index[byte - 0x80];
            EXPECT_EQ(static_cast<long>(text[i]), cp < 0 ? 0xFFFD : cp) << encoding << " byte " << byte;
            if (i < 256) {
                EXPECT_EQ(platform::ConvertFromCodePage(bytes.substr(i, 1), codePage), text.substr(i, 1)) << encoding;
            }
        }
    }
    EXPECT_EQ(pagesChecked, 25);
    EXPECT_TRUE(platform::ConvertFromCodePage("abc", 12345).empty());
    EXPECT_EQ(platform::ConvertFromCodePage("a\xFFz\xEF\xBB\xBF", 65001), u"a\uFFFDz\uFEFF"); // substituted
}

TEST(CodePage, Latin1AndUtf8ReportWhatTheyCannotHold) {
    const std::u16string base = u"R\u00E9sum\u00E9 of the Caf\u00E9 Cr\u00E8me pairs";
    const std::string narrowed(base.begin(), base.end());
    bool lossy = true;
    EXPECT_EQ(platform::ConvertToCodePage(base, 28591, &lossy), narrowed);
    EXPECT_FALSE(lossy);
    for (size_t at = 0; at <= base.size(); ++at)
        for (const std::u16string odd : {u"\u0141", u"\U0001F0A1"}) { // a surrogate pair is one character
            std::string expected = "x" + narrowed, appended = "x";
            platform::AppendToCodePage(appended, base.substr(0, at) + odd + base.substr(at), 28591, &lossy);
            EXPECT_EQ(appended, expected.insert(at + 1, "?"));
            EXPECT_TRUE(lossy) << at;
        }
    EXPECT_EQ(platform::ConvertToCodePage(u"\u0141\u2660\U0001F0A1\xD800", 65001, &lossy),
              "\xC5\x81\xE2\x99\xA0\xF0\x9F\x82\xA1\xEF\xBF\xBD"); // a lone surrogate becomes U+FFFD
    EXPECT_FALSE(lossy);
}

} // namespace
