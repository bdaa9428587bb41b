// The recap header, the text report of one board, and the version text of the creator line.
#include <gtest/gtest.h>

#include <array>

#include "conversion/recap_header.h"
#include "conversion/text_report.h"
#include "conversion/version_info.h"

namespace {

CRecapHeader Read(std::u16string_view text) {
    CRecapHeader header;
    ReadRecapHeader(text, header);
    return header;
}

TEST(RecapHeader, TaggedLines) {
    // Six items on one line end the header.
    CRecapHeader header = Read(u"EVENT>Club Pairs |SESSION>Mon Eve |SECTION>A |DATE>May 2, 2022 |MP LIMITS>x "
                               u"|CLUB>Green Baize  \n|TOURN>Late Tournament\n");
    EXPECT_EQ(header.m_fields[RECAP_CLUB], u"Green Baize");
    EXPECT_EQ(header.m_fields[RECAP_TOURN], u"");
    EXPECT_EQ(header.m_nState, 2);
    // Empty values count and can be filled later; leading blanks stay; the last line needs no line feed.
    header = Read(u"EVENT>  |CLUB>\r\nEVENT> Late Event|TOURN>Open\r\n|SECTION>B\n|DATE>Jan 5, 2020");
    EXPECT_EQ(header.m_nTagCount, 6);
    EXPECT_EQ(header.GetDateText(), u"2020.01.05");
    EXPECT_EQ(header.m_fields[RECAP_EVENT], u" Late Event");
    EXPECT_EQ(header.m_fields[RECAP_TOURN], u"Open");
    EXPECT_EQ(header.m_fields[RECAP_SECTION], u"B");
}

TEST(RecapHeader, SessionAndSectionLines) {
    CRecapHeader header = Read(u"Spring Teams Wednesday Aft Session July 10, 2013\nSection  BB North\nEVENT>x\n");
    EXPECT_EQ(header.m_fields[RECAP_EVENT], u"Spring Teams");
    EXPECT_EQ(header.m_fields[RECAP_SESSION], u"Wednesday Aft");
    EXPECT_EQ(header.m_fields[RECAP_SECTION], u"BB");
    EXPECT_EQ(header.GetDateText(), u"2013.07.10");
    EXPECT_EQ(Read(u"EVENT>Pairs\nCup Monday Eve Session May 1, 2020\n").m_fields[RECAP_SESSION], u""); // after a tag
    // Fourteen-letter session names are matched without their last letter.
    CRecapHeader full, cut;
    EXPECT_FALSE(ParseSessionLine(u"Cup Wednesday Morn Session July 10, 2013", full));
    EXPECT_TRUE(ParseSessionLine(u"Cup Wednesday Mor Session July 10, 2013", cut));
    EXPECT_EQ(cut.m_fields[RECAP_SESSION], u"Wednesday Morn");
    const std::pair<std::u16string_view, std::u16string_view> sections[] = {
        {u"Section  CC", u"CC"}, {u"Section AB", u"A"}, {u"Section   C", u""}, {u"Section c", u""}};
    for (const auto &[line, letters] : sections) {
        CRecapHeader section;
        EXPECT_EQ(ParseSectionLine(line, section), !letters.empty());
        EXPECT_EQ(section.m_fields[RECAP_SECTION], letters);
    }
}

TEST(RecapHeader, Dates) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"JUL 4,1999", u"1999.07.04"},   {u"jul 4 1999", u"1999.07.04"},
        {u" July 4, 1999", u""},          {u"Jly 4, 1999", u""},
        {u"July 4, 1969", u""},           {u"July 4, 3001", u""},
        {u"July 4, 3000", u"3000.07.04"}, {u"July 4", u""},
        {u"July 32, 2000", u""},          {u"Jan 31, 1970", u"1970.01.31"},
        {u"Feb 30, 2021", u"2021.03.02"}, {u"Dec 1, 2020", u"2020.12.01"},
    };
    for (const auto &[text, date] : cases) {
        CRecapHeader header;
        header.m_fields[RECAP_DATE] = text;
        EXPECT_EQ(header.GetDateText(), date);
    }
}

const std::u16string DEAL = u"N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3";

std::string Report(std::u16string vulnerable, std::u16string deal, std::u16string_view tricks = u"",
                   int codePage = 28591, std::u16string board = u"1") {
    CBoardRecord record;
    record[BRF_BOARD] = std::move(board);
    record[BRF_DEALER] = u"N";
    record[BRF_VULNERABLE] = std::move(vulnerable);
    record[BRF_DEAL] = std::move(deal);
    std::string report;
    AppendTextReport(report, record, tricks, codePage);
    return report;
}

TEST(TextReport, HeaderBoardLineAndDiagram) {
    EXPECT_EQ(Report(u"All", DEAL, u"", 28591, u""), "");
    const std::pair<std::u16string, std::string> vulnerabilities[] = {
        {u"Love", "None"}, {u"-", "None"}, {u"NONE", "None"}, {u"all", "Both"},
        {u"ns", "N-S"},    {u"EW", "E-W"}, {u"?", "?"}};
    for (const auto &[value, name] : vulnerabilities)
        EXPECT_NE(Report(value, u"").find("Vul: " + name + "\r\n"), std::string::npos) << name;
    // A thirteen-card West suit still leaves East's suit letter in column 31; a void is "-----".
    std::string report = Report(u"None", u"N:.AKQJT98765432.. 2.2.2.2 3.3.3.3 AKQJT98765432...");
    EXPECT_NE(report.find("\r\nS  A K Q J T 9 8 7 6 5 4 3 2   S  2\r\nH  -----" + std::string(23, ' ') + "H  2\r\n"),
              std::string::npos);
    // Odd characters of a hand cell stay whole, in the code page of the export.
    EXPECT_NE(Report(u"None", u"N:AK\u00E9.Q\u0141.J.T 2.3.4.5 6.7.8.9 A.K.Q.J", u"", 65001).find("H  Q \xC5\x81\r\n"),
              std::string::npos);
    EXPECT_NE(Report(u"None", u"N:AK\u00E9.Q.J.T 2.3.4.5 6.7.8.9 A.K.Q.J").find("S  A K \xE9\r\n"), std::string::npos);
    EXPECT_EQ(GetDealHolding(3, 3, "E:1.2.3.4 5.6.7.8 9.T.J.Q K.A.2.3"), "Q");
    EXPECT_EQ(GetDealHolding(1, 1, "n:1.2.3.4 5.6.7.8"), "");
    EXPECT_EQ(GetDealHolding(0, 3, "N:1.2.3"), "");
}

TEST(TextReport, DoubleDummyLines) {
    // Twenty digits or no lines at all; 'D' and 'd' count thirteen.
    const std::string plain = Report(u"None", DEAL);
    for (std::u16string_view bad : {u"6565765657686756867", u"656576565768675686750", u"e5657656576867568675"})
        EXPECT_EQ(Report(u"None", DEAL, bad), plain);
    EXPECT_NE(Report(u"None", DEAL, u"DdDdDdDdDd0000000000").find("NS: 7C 7D 7H 7S 7NT\r\n"), std::string::npos);
    // A deal that does not parse leaves out only the LoTT line.
    std::string report = Report(u"None", DEAL.substr(0, 52), u"65657656576867568675");
    EXPECT_EQ(report.find("LoTT"), std::string::npos);
    EXPECT_NE(report.find("Par: -110"), std::string::npos);
    // Seven tricks in no trump for everybody: either side makes 1NT declaring first; ± in the export's code page.
    EXPECT_NE(Report(u"None", DEAL, u"76666766667666676666").find("Par: \xB1" + std::string("90 1NT-NSEW\r\n")),
              std::string::npos);
    report = Report(u"None", DEAL, u"76666766667666676666", 65001);
    EXPECT_NE(report.find("Par\xC2\xA0\xC2\xB1" + std::string("90\r\n")), std::string::npos) << report;
    // Of two equally long fits the one with more tricks counts: NS 9 in hearts, EW 9 in clubs.
    EXPECT_NE(Report(u"None", u"N:AKxx.AKxx.xx.xxx xx.x.AKQxx.Kxxxx QJxx.QJxx.xx.xxx x.xx.Jxxxx.AQJxx",
                     u"78942789424558945589")
                  .find("LoTT: 18 - 18 = 0\r\n"),
              std::string::npos);
}

TEST(TextReport, MakeableLineAndMarkup) {
    CDDA dda;
    const int north[5] = {6, 9, 8, 5, 7}, south[5] = {8, 7, 8, 5, 7}; // C, D, H, S, NT
    for (int strain = 0; strain < 5; ++strain) {
        dda.SetTricks(0, strain, static_cast<uint8_t>(north[strain]));
        dda.SetTricks(2, strain, static_cast<uint8_t>(south[strain]));
    }
    std::string line;
    AppendMakeableLine(line, dda, 0);
    EXPECT_EQ(line, "NS: 2D 3/1H -/2S 1NT C5 S6/8\r\n");
    EXPECT_EQ(StripMarkup(u"NS\u00A04\\S; <b>N</b> 3N\\n\\x\\"), u"NS\u00A04S; N 3N\r\nX");
    EXPECT_EQ(StripMarkup(u"a<b"), u"a");
}

TEST(VersionInfo, TwoComponentsWhateverIsNotZeroAndTheDebugMark) {
    // major, minor, build, revision, components shown at least, debug mark asked for, debug build
    const std::pair<std::array<unsigned, 7>, std::u16string> cases[] = {
        {{1, 1, 0, 0, 2, 0, 0}, u"1.1"},   {{2, 3, 4, 0, 2, 0, 0}, u"2.3.4"},   {{2, 3, 0, 5, 2, 0, 0}, u"2.3.0.5"},
        {{2, 3, 0, 0, 3, 0, 0}, u"2.3.0"}, {{2, 3, 0, 0, 4, 0, 0}, u"2.3.0.0"}, {{2, 3, 0, 0, 2, 1, 1}, u"2.3D"},
        {{2, 3, 0, 0, 2, 1, 0}, u"2.3"},   {{2, 3, 0, 0, 2, 0, 1}, u"2.3"},
    };
    for (const auto &[v, text] : cases) {
        CVersionInfo info;
        info.m_nComponents = static_cast<int>(v[4]);
        info.m_bDebugMark = v[5];
        VersionResource resource;
        resource.major = v[0], resource.minor = v[1], resource.build = v[2], resource.revision = v[3];
        resource.debug = v[6] != 0;
        info.Read(resource);
        EXPECT_EQ(info.m_strVersion, text);
    }
}

} // namespace
