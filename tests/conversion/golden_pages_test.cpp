// Companion-style pages converted end to end: the PBN export and the text report must equal the checked-in
// files (the "%Created" line excepted), and every PBN export must read back in an independent PBN reader, with
// its Deal values accepted by libdds.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>

#include "conversion/version_info.h"
#include "conversion_harness.h"
#include "dds_check.h"
#include "oracle.h"
#include "platform/charset_table.h"
#include "platform/settings.h"
#include "platform/wide_text.h"

namespace {

const std::string DATA = std::string(DEALSCOPE_TEST_DATA) + "/conversion/";

struct GoldenCase {
    const char *name; // expected/<name>.pbn and .txt
    const char *page;
    const char *charset;
    int recapOption;
    const char *ddFile; // double-dummy results put into the document, or null
    const char *status;
    std::vector<std::string> boards; // Board tag of every game, in order
};

const std::vector<GoldenCase> &Cases() {
    static const std::vector<GoldenCase> cases = {
        {"layout_a-omit", "layout_a.htm", "windows-1252", 0, nullptr, "3 boards converted.", {"1", "2", "3"}},
        {"layout_a-insert",
         "layout_a.htm",
         "windows-1252",
         1,
         nullptr,
         "3 boards converted.",
         {"Recap", "1", "2", "3"}},
        {"layout_a-add", "layout_a.htm", "windows-1252", 2, nullptr, "3 boards converted.", {"1", "2", "3"}},
        {"layout_a-dd", "layout_a.htm", "windows-1252", 0, "layout_a.dd", "3 boards converted.", {"1", "2", "3"}},
        {"layout_b", "layout_b.htm", "utf-8", 0, nullptr, "2 boards converted.", {"3", "4"}},
        {"windows1252_accents",
         "windows1252_accents.htm",
         "windows-1252",
         2,
         nullptr,
         "2 boards converted.",
         {"5", "6"}},
        {"utf8_outside_latin1", "utf8_outside_latin1.htm", "utf-8", 1, nullptr, "1 boards converted.", {"Recap", "7"}},
        {"markup_error", "markup_error.htm", "windows-1252", 0, nullptr, "2 boards converted.", {"1", "2"}},
        {"no_boards",
         "no_boards.htm",
         "windows-1252",
         1,
         nullptr,
         "No boards were found.\r\nThe HTML file may not be in a supported format.",
         {}},
    };
    return cases;
}

struct Converted {
    std::string status;
    std::string pbn;
    std::string report;
    int codePage = 0;
};

Converted ConvertCase(const GoldenCase &c, std::time_t now) {
    platform::MemorySettings settings;
    settings.SetInt("Settings", "RecapOption", c.recapOption);
    platform::SetAppSettings(&settings);
    harness::FixedClock clock(now);
    Converted out;
    {
        CDSCDoc document;
        document.SetClock(&clock);
        harness::BytesPageSource source(u"file:///pages/" + platform::WidenAscii(c.page),
                                        harness::ReadFile(DATA + c.page), platform::GetCharsetCodePage(c.charset));
        document.LoadFromView(source);
        if (c.ddFile) {
            document.m_ddResults = harness::ReadDoubleDummyFile(DATA + c.ddFile);
            document.Convert();
        }
        out.status = platform::Utf16ToUtf8(document.m_strStatus);
        out.pbn = document.m_strPbn;
        out.report = document.m_strTextReport;
        out.codePage = document.m_nOutputCodePage;
    }
    platform::SetAppSettings(nullptr);
    return out;
}

std::string ExpectedPbn(const std::string &name) {
    std::string expected = harness::ReadFile(DATA + "expected/" + name + ".pbn");
    CVersionInfo version;
    version.Read();
    const std::string marker = "@VERSION@";
    size_t at = expected.find(marker);
    if (at != std::string::npos)
        expected.replace(at, marker.size(), platform::Utf16ToUtf8(version.m_strVersion));
    return expected;
}

// Test names and failure messages show the case by name.
void PrintTo(const GoldenCase &c, std::ostream *out) {
    *out << c.name;
}

class GoldenPage : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenPage, PbnAndReportEqualTheCheckedInFiles) {
    const GoldenCase &c = GetParam();
    Converted out = ConvertCase(c, 1552564800); // 2019-03-14 12:00 UTC
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(harness::WithoutCreatedLine(out.pbn), ExpectedPbn(c.name));
    EXPECT_EQ(out.report, harness::ReadFile(DATA + "expected/" + c.name + ".txt"));
    if (!out.pbn.empty()) {
        // The creation line follows the creator line, with the clock's year in it.
        size_t created = out.pbn.find(")\r\n%Created: ");
        ASSERT_NE(created, std::string::npos);
        EXPECT_NE(out.pbn.find("2019", created), std::string::npos);
    }
}

struct ReadBack {
    int exitCode = -1;
    std::string encoding;
    std::vector<std::string> directives;
    std::vector<std::vector<std::pair<std::string, std::string>>> games;
    std::vector<std::pair<int, int>> dealCards; // cards and distinct cards of each non-empty Deal
    std::map<std::string, int> sectionLines;    // lines of each tag's section, over all games
};

ReadBack ReadWithPbnPackage(const std::string &pbn) {
    char path[] = "/tmp/dealscope-golden-XXXXXX";
    int fd = mkstemp(path);
    ReadBack result;
    if (fd < 0)
        return result;
    close(fd);
    harness::WriteFile(path, pbn);
    std::string output = oracle::RunNode("read_pbn.js", {path}, &result.exitCode);
    std::filesystem::remove(path);
    for (const std::string &line : oracle::SplitLines(output)) {
        std::vector<std::string> fields;
        std::string field;
        std::istringstream in(line);
        while (std::getline(in, field, '\t'))
            fields.push_back(field);
        if (line.back() == '\t')
            fields.push_back("");
        if (fields.empty())
            continue;
        if (fields[0] == "encoding" && fields.size() > 1)
            result.encoding = fields[1];
        else if (fields[0] == "directive" && fields.size() > 1)
            result.directives.push_back(fields[1]);
        else if (fields[0] == "game")
            result.games.emplace_back();
        else if (fields[0] == "tag" && fields.size() > 2 && !result.games.empty())
            result.games.back().emplace_back(fields[1], fields[2]);
        else if (fields[0] == "cards" && fields.size() > 2)
            result.dealCards.emplace_back(std::stoi(fields[1]), std::stoi(fields[2]));
        else if (fields[0] == "section" && fields.size() > 1)
            ++result.sectionLines[fields[1]];
    }
    return result;
}

TEST_P(GoldenPage, IndependentPbnReaderFindsEveryGameWithItsTags) {
    const GoldenCase &c = GetParam();
    Converted out = ConvertCase(c, 1552564800);
    if (out.pbn.empty()) {
        EXPECT_TRUE(c.boards.empty());
        return;
    }
    ReadBack back = ReadWithPbnPackage(out.pbn);
    ASSERT_EQ(back.exitCode, 0) << "the pbn package rejected the export (run `npm ci` in tests/oracle?)";
    EXPECT_EQ(back.encoding, out.codePage == 65001 ? "utf8" : "latin1");
    ASSERT_GE(back.directives.size(), 4u);
    EXPECT_EQ(back.directives[0], "PBN 2.1");
    EXPECT_EQ(back.directives[1], "EXPORT");
    EXPECT_EQ(back.directives[2],
              std::string("Content-type: text/x-pbn; charset=") + (out.codePage == 65001 ? "UTF-8" : "ISO-8859-1"));

    ASSERT_EQ(back.games.size(), c.boards.size());
    int scoreTableRows = 0;
    for (size_t g = 0; g < back.games.size(); ++g) {
        const auto &tags = back.games[g];
        std::vector<std::string> names;
        for (const auto &[name, value] : tags)
            names.push_back(name);
        // The fifteen tags of the export format, in the standard's order, begin every game.
        ASSERT_GE(names.size(), 15u) << "game " << g;
        std::vector<std::string> expectedNames = {"Event", "Site",    "Date",     "Board",    "West",
                                                  "North", "East",    "South",    "Dealer",   "Vulnerable",
                                                  "Deal",  "Scoring", "Declarer", "Contract", "Result"};
        EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 15), expectedNames) << "game " << g;
        EXPECT_EQ(tags[3].second, c.boards[g]) << "game " << g;
        for (const auto &[name, value] : tags) {
            if (name == "ScoreTable")
                ++scoreTableRows;
        }
    }
    for (const auto &[cards, distinct] : back.dealCards) {
        EXPECT_EQ(cards, 52);
        EXPECT_EQ(distinct, 52);
    }
    // Every ScoreTable tag is followed by its rows.
    if (scoreTableRows > 0) {
        EXPECT_GT(back.sectionLines["ScoreTable"], scoreTableRows - 1);
    }
}

TEST_P(GoldenPage, DealValuesAreAcceptedByLibdds) {
    const GoldenCase &c = GetParam();
    Converted out = ConvertCase(c, 1552564800);
    ReadBack back = ReadWithPbnPackage(out.pbn);
    std::vector<std::string> deals;
    for (const auto &game : back.games) {
        for (const auto &[name, value] : game) {
            if (name == "Deal" && !value.empty())
                deals.push_back(value);
        }
    }
    if (deals.empty())
        return;
    std::vector<int> codes = ddscheck::CheckDeals(deals);
    ASSERT_EQ(codes.size(), deals.size()) << "libdds child failed";
    for (size_t i = 0; i < deals.size(); ++i)
        EXPECT_EQ(codes[i], 1) << deals[i];
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenPage, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<GoldenCase> &info) {
                             std::string name = info.param.name;
                             for (char &ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });

TEST(Libdds, RejectsADealWithADuplicateCard) {
    // The check can fail: a duplicate card is refused.
    std::vector<int> codes =
        ddscheck::CheckDeals({"N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ8",
                              "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3"});
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_NE(codes[0], 1);
    EXPECT_EQ(codes[1], 1);
}

} // namespace
