// Pages converted end to end. The PBN export and the text report must equal the checked-in files (the
// "%Created" line aside); the export must read back in the npm `pbn` reader with the event and the pair names
// that the WHATWG decoder (npm text-encoding) finds in the page bytes, and its Deal values must pass libdds.
// DEALSCOPE_WRITE_GOLDEN=1 writes the checked-in files instead (read them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../scratch_test.h"
#include "conversion/clock.h"
#include "conversion/version_info.h"
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
};

const std::vector<GoldenCase> CASES = {
    {"layout_a-omit", "windows-1252", RECAP_OMIT, "3 boards converted."},
    {"layout_a-insert", "windows-1252", RECAP_INSERT_BOARD, "3 boards converted."},
    {"layout_a-add", "windows-1252", RECAP_ADD_TO_BOARD1, "3 boards converted."},
    {"layout_a-dd", "windows-1252", RECAP_OMIT, "3 boards converted."},
    {"layout_b", "utf-8", RECAP_OMIT, "2 boards converted."},
    {"windows1252_accents", "windows-1252", RECAP_ADD_TO_BOARD1, "2 boards converted."},
    {"utf8_outside_latin1", "utf-8", RECAP_INSERT_BOARD, "1 boards converted."},
    {"markup_error", "windows-1252", RECAP_OMIT, "2 boards converted."},
    {"edge_boards", "utf-8", RECAP_OMIT, "50 boards converted."},
    {"no_boards", "windows-1252", RECAP_INSERT_BOARD,
     "No boards were found.\r\nThe HTML file may not be in a supported format."},
    {"shift_jis_names", "shift_jis", RECAP_OMIT, "1 boards converted."},
    {"euc_kr_names", "euc-kr", RECAP_OMIT, "1 boards converted."},
    {"gb18030_names", "gb18030", RECAP_OMIT, "1 boards converted."},
    {"big5_names", "big5", RECAP_OMIT, "1 boards converted."},
    {"iso2022jp_names", "iso-2022-jp", RECAP_OMIT, "1 boards converted."},
};

std::string PagePath(const GoldenCase &c, const char *extension) {
    const std::string name = c.name;
    return DATA + name.substr(0, name.find('-')) + extension;
}

class FixedClock : public IClock {
public:
    std::time_t Now() const override { return 1552564800; } // 2019-03-14 12:00 UTC
};

// Results as the companion delivers them, a board a line: "<board> TAB <DoubleDummyTricks> TAB
// <OptimumResultTable> TAB <the table's rows, each ended by '|'>".
void ReadDoubleDummyFile(const std::string &path, CDSCDoc &document) {
    std::istringstream in(ReadFile(path));
    for (std::string board, tricks, table, rows; std::getline(in, board, '\t') && std::getline(in, tricks, '\t') &&
                                                 std::getline(in, table, '\t') && std::getline(in, rows);) {
        for (size_t at; (at = rows.find('|')) != std::string::npos;)
            rows.replace(at, 1, "\r\n");
        document.m_ddResults[platform::Utf8ToUtf16(board)] = {
            platform::Utf8ToUtf16(tricks), platform::Utf8ToUtf16(table), platform::Utf8ToUtf16(rows)};
    }
}

// The standard output of a shell command; *status receives its wait status (-1 when it could not be run).
std::string Shell(const std::string &command, int *status) {
    std::string out(1 << 20, '\0');
    FILE *pipe = popen(command.c_str(), "r");
    out.resize(pipe ? fread(out.data(), 1, out.size(), pipe) : 0);
    *status = pipe ? pclose(pipe) : -1;
    return out;
}

class GoldenPage : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenPage, ExportAndReportEqualTheCheckedInFilesAndTheIndependentReadersAgree) {
    const GoldenCase &c = GetParam();
    FixedClock clock;
    CDSCDoc document;
    document.SetClock(&clock);
    document.m_nRecapOption = c.recapOption;
    support::BytesPageSource source(u"file://" + platform::Utf8ToUtf16(PagePath(c, ".htm")),
                                    ReadFile(PagePath(c, ".htm")), platform::GetCharsetCodePage(c.charset));
    document.LoadFromView(source);
    if (std::string(c.name).ends_with("-dd")) {
        ReadDoubleDummyFile(PagePath(c, ".dd"), document);
        document.Convert();
    }
    EXPECT_EQ(platform::Utf16ToUtf8(document.m_strStatus), c.status);
    // The "%Created" line follows the creator line and holds the clock's time; the version is the build's.
    std::string pbn = document.m_strPbn;
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
        WriteFile(expected + ".pbn", pbn);
        WriteFile(expected + ".txt", document.m_strTextReport);
    }
    EXPECT_EQ(pbn, ReadFile(expected + ".pbn"));
    EXPECT_EQ(document.m_strTextReport, ReadFile(expected + ".txt"));

    int status = -1;
    const std::string node = "cd '" DEALSCOPE_ORACLE_DIR "' && node ";
    const std::string text = Shell(node + "decode_page.js " + c.charset + " '" + PagePath(c, ".htm") + "'", &status);
    ASSERT_EQ(status, 0) << "run `npm ci` in tests/oracle";
    EXPECT_EQ(platform::Utf16ToUtf8(document.m_strHtml), text) << "the page text differs from the WHATWG decoder's";
    if (document.m_strPbn.empty())
        return;

    // What the `pbn` package reads in the export: one item a line, fields separated by tabs (see read_pbn.js).
    char folder[] = "/tmp/dealscope-golden-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string dir = folder;
    WriteFile(dir + "/export.pbn", document.m_strPbn);
    std::istringstream items(Shell(node + "read_pbn.js '" + dir + "/export.pbn'", &status));
    ASSERT_EQ(status, 0) << "the pbn package rejected the export";
    std::string deals, event, sections;
    for (std::string kind, name, value;
         std::getline(items, kind, '\t') && std::getline(items, name, '\t') && std::getline(items, value);) {
        if (kind == "tag" && name == "Event")
            event = value;
        else if (kind == "tag" && name == "Deal" && !value.empty())
            deals += value + "\n";
        else if (kind == "cards")
            EXPECT_EQ(name + " " + value, "52 52") << "cards, distinct cards";
        else if (kind == "section")
            sections += value + "\n";
    }

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

    // libdds checks the deals in a folder of its own (it writes dump files there on a bad deal); the last deal,
    // with a card twice, shows that it does check.
    std::ofstream(dir + "/deals.txt") << deals
                                      << "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ8\n";
    std::istringstream codes(Shell("cd '" + dir + "' && '" DEALSCOPE_DDS_CHECK_DEALS "' < deals.txt", &status));
    std::filesystem::remove_all(dir);
    EXPECT_EQ(status, 0);
    std::string accepted;
    for (int code; codes >> code;)
        accepted += code == 1 ? '1' : 'x';
    EXPECT_EQ(accepted, std::string(std::count(deals.begin(), deals.end(), '\n'), '1') + 'x')
        << "libdds refused a deal, or took the bad one";
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenPage, testing::ValuesIn(CASES), [](const auto &info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

} // namespace
