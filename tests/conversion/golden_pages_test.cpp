// Pages converted end to end. The PBN export and the text report must equal the checked-in files (the
// "%Created" line aside); the export must read back in the npm `pbn` reader with the event and the pair names
// that the WHATWG decoder (npm text-encoding) finds in the page bytes, and its Deal values must pass libdds.
// DEALSCOPE_WRITE_GOLDEN=1 writes the checked-in files instead (read them before committing).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "conversion/clock.h"
#include "conversion/version_info.h"
#include "oracle.h"
#include "platform/charset_table.h"
#include "platform/wide_text.h"
#include "support.h"

namespace {

const std::string DATA = std::string(DEALSCOPE_TEST_DATA) + "/conversion/";

struct GoldenCase {
    const char *name;    // <page>[-<variant>]: the page <page>.htm, expected/<name>.pbn and .txt; "-dd": with <page>.dd
    const char *charset; // as the page declares it
    int recapOption;
    const char *status;
    std::vector<std::string> boards; // Board tag of every game, in order
};

void PrintTo(const GoldenCase &c, std::ostream *out) {
    *out << c.name;
}

const char *const ONE = "1 boards converted.", *const TWO = "2 boards converted.", *const THREE = "3 boards converted.";
const std::vector<GoldenCase> CASES = {
    {"layout_a-omit", "windows-1252", RECAP_OMIT, THREE, {"1", "2", "3"}},
    {"layout_a-insert", "windows-1252", RECAP_INSERT_BOARD, THREE, {"Recap", "1", "2", "3"}},
    {"layout_a-add", "windows-1252", RECAP_ADD_TO_BOARD1, THREE, {"1", "2", "3"}},
    {"layout_a-dd", "windows-1252", RECAP_OMIT, THREE, {"1", "2", "3"}},
    {"layout_b", "utf-8", RECAP_OMIT, TWO, {"3", "4"}},
    {"windows1252_accents", "windows-1252", RECAP_ADD_TO_BOARD1, TWO, {"5", "6"}},
    {"utf8_outside_latin1", "utf-8", RECAP_INSERT_BOARD, ONE, {"Recap", "7"}},
    {"markup_error", "windows-1252", RECAP_OMIT, TWO, {"1", "2"}},
    {"no_boards",
     "windows-1252",
     RECAP_INSERT_BOARD,
     "No boards were found.\r\nThe HTML file may not be in a supported format.",
     {}},
    {"shift_jis_names", "shift_jis", RECAP_OMIT, ONE, {"11"}},
    {"euc_kr_names", "euc-kr", RECAP_OMIT, ONE, {"12"}},
    {"gb18030_names", "gb18030", RECAP_OMIT, ONE, {"13"}},
    {"big5_names", "big5", RECAP_OMIT, ONE, {"14"}},
    {"iso2022jp_names", "iso-2022-jp", RECAP_OMIT, ONE, {"15"}},
};

std::string PagePath(const GoldenCase &c, const char *extension) {
    const std::string name = c.name;
    return DATA + name.substr(0, name.find('-')) + extension;
}

class FixedClock : public IClock {
public:
    std::time_t Now() const override { return 1552564800; } // 2019-03-14 12:00 UTC
};

struct Converted {
    std::string status, html, pbn, report;
    int codePage = 0;
};

// Results as the companion delivers them, from lines "=<board>" (a board), "T <DoubleDummyTricks>",
// "H <OptimumResultTable>" and "R <one row of that table>".
void ReadDoubleDummyFile(const std::string &path, CDSCDoc &document) {
    std::istringstream in(support::ReadFile(path));
    CDoubleDummyResult *board = nullptr;
    for (std::string line; std::getline(in, line);) {
        std::u16string value = platform::Utf8ToUtf16(line.substr(std::min<size_t>(line.size(), 2)));
        if (line[0] == '=')
            board = &document.m_ddResults[platform::Utf8ToUtf16(line.substr(1))];
        else if (line[0] == 'T')
            board->m_strDoubleDummyTricks = value;
        else if (line[0] == 'H')
            board->m_strOptimumResultTable = value;
        else if (line[0] == 'R')
            board->m_strOptimumResultRows += value + u"\r\n";
    }
}

Converted ConvertCase(const GoldenCase &c) {
    FixedClock clock;
    CDSCDoc document;
    document.SetClock(&clock);
    document.m_nRecapOption = c.recapOption;
    support::BytesPageSource source(u"file://" + platform::Utf8ToUtf16(PagePath(c, ".htm")),
                                    support::ReadFile(PagePath(c, ".htm")), platform::GetCharsetCodePage(c.charset));
    document.LoadFromView(source);
    if (std::string(c.name).ends_with("-dd")) {
        ReadDoubleDummyFile(PagePath(c, ".dd"), document);
        document.Convert();
    }
    return {platform::Utf16ToUtf8(document.m_strStatus), platform::Utf16ToUtf8(document.m_strHtml), document.m_strPbn,
            document.m_strTextReport, document.m_nOutputCodePage};
}

class GoldenPage : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenPage, PbnAndReportEqualTheCheckedInFiles) {
    const GoldenCase &c = GetParam();
    Converted out = ConvertCase(c);
    EXPECT_EQ(out.status, c.status);
    // The "%Created" line follows the creator line and holds the clock's time; the version is the build's.
    std::string pbn = out.pbn;
    const std::string created = "%Created: ";
    if (size_t at = pbn.find(created); at != std::string::npos) {
        EXPECT_LT(pbn.find("2019", at), pbn.find("\r\n", at));
        EXPECT_EQ(pbn.compare(at - 3, 3, ")\r\n"), 0);
        pbn.erase(at, pbn.find("\r\n", at) + 2 - at);
    }
    CVersionInfo version;
    version.Read();
    const std::string versionText = "Version " + platform::Utf16ToUtf8(version.m_strVersion) + " ";
    if (size_t at = pbn.find(versionText); at != std::string::npos)
        pbn.replace(at, versionText.size(), "Version @VERSION@ ");
    const std::string expected = DATA + "expected/" + c.name;
    if (std::getenv("DEALSCOPE_WRITE_GOLDEN")) {
        std::ofstream(expected + ".pbn", std::ios::binary) << pbn;
        std::ofstream(expected + ".txt", std::ios::binary) << out.report;
    }
    EXPECT_EQ(pbn, support::ReadFile(expected + ".pbn"));
    EXPECT_EQ(out.report, support::ReadFile(expected + ".txt"));
}

// What the `pbn` package reads in the export: one line per item, fields separated by tabs (see read_pbn.js).
std::vector<std::vector<std::string>> ReadWithPbnPackage(const std::string &pbn, int *exitCode) {
    char path[] = "/tmp/dealscope-golden-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return {};
    close(fd);
    std::ofstream(path, std::ios::binary) << pbn;
    std::vector<std::vector<std::string>> items;
    for (const std::string &line : oracle::SplitLines(oracle::RunNode("read_pbn.js", {path}, exitCode))) {
        items.emplace_back();
        std::istringstream in(line + "\t");
        for (std::string field; std::getline(in, field, '\t');)
            items.back().push_back(field);
    }
    std::filesystem::remove(path);
    return items;
}

TEST_P(GoldenPage, ReadersOfPageAndExportAgreeAndLibddsTakesTheDeals) {
    const GoldenCase &c = GetParam();
    Converted out = ConvertCase(c);
    int exitCode = -1;
    const std::string text = oracle::RunNode("decode_page.js", {c.charset, PagePath(c, ".htm")}, &exitCode);
    ASSERT_EQ(exitCode, 0) << "run `npm ci` in tests/oracle";
    EXPECT_EQ(out.html, text) << "the page text differs from the WHATWG decoder's";
    if (out.pbn.empty()) {
        EXPECT_TRUE(c.boards.empty());
        return;
    }

    std::vector<std::string> directives, boards, deals;
    std::string encoding, event, sections;
    for (const auto &item : ReadWithPbnPackage(out.pbn, &exitCode)) {
        if (item[0] == "encoding" || item[0] == "directive")
            (item[0] == "encoding" ? encoding : directives.emplace_back()) = item[1];
        else if (item[0] == "tag" && item[1] == "Board")
            boards.push_back(item[2]);
        else if (item[0] == "tag" && item[1] == "Event")
            event = item[2];
        else if (item[0] == "tag" && item[1] == "Deal" && !item[2].empty())
            deals.push_back(item[2]);
        else if (item[0] == "cards")
            EXPECT_TRUE(item[1] == "52" && item[2] == "52") << item[1] << " cards, " << item[2] << " distinct";
        else if (item[0] == "section")
            sections += item[2] + "\n";
    }
    ASSERT_EQ(exitCode, 0) << "the pbn package rejected the export";
    const bool utf8 = out.codePage == 65001;
    EXPECT_EQ(encoding, utf8 ? "utf8" : "latin1");
    directives.resize(3);
    EXPECT_EQ(directives, (std::vector<std::string>{"PBN 2.1", "EXPORT",
                                                    std::string("Content-type: text/x-pbn; charset=") +
                                                        (utf8 ? "UTF-8" : "ISO-8859-1")}));
    EXPECT_EQ(boards, c.boards);

    // The event and every pair's names, as the WHATWG decoder reads them in the page, reach the export.
    if (size_t at = text.find("EVENT>"); at != std::string::npos) {
        std::string value = text.substr(at + 6, text.find_first_of("|\n", at) - at - 6);
        EXPECT_EQ(event, value.erase(value.find_last_not_of(' ') + 1));
    }
    for (size_t at = text.find("\"tsstpair"); at != std::string::npos; at = text.find("\"tsstpair", at + 1)) {
        size_t dash = text.find('-', at), end = text.find('<', at);
        if (dash < end) {
            EXPECT_NE(sections.find(text.substr(dash + 1, end - dash - 1)), std::string::npos) << sections;
        }
    }

    std::vector<int> codes = support::CheckDeals(deals);
    EXPECT_EQ(codes, std::vector<int>(deals.size(), 1)) << "libdds refused a deal or failed";
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenPage, testing::ValuesIn(CASES), [](const auto &info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(Libdds, RefusesADealWithADuplicateCard) {
    std::vector<int> codes =
        support::CheckDeals({"N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ8",
                             "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3"});
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_NE(codes[0], 1);
    EXPECT_EQ(codes[1], 1);
}

} // namespace
