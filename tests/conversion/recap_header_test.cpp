// The recap header reader: tagged lines, session and section lines, and the date.
#include <gtest/gtest.h>

#include "conversion/recap_header.h"

namespace {

CRecapHeader Read(std::u16string_view text) {
    CRecapHeader header;
    ReadRecapHeader(text, header);
    return header;
}

TEST(RecapHeader, SixTaggedItemsOnOneLineEndTheHeader) {
    CRecapHeader header = Read(u"EVENT>Club Pairs |SESSION>Mon Eve |SECTION>A |DATE>May 2, 2022 |MP LIMITS>x "
                               u"|CLUB>Green Baize  \n|TOURN>Late Tournament\n");
    EXPECT_EQ(header.m_fields[RECAP_EVENT], u"Club Pairs");
    EXPECT_EQ(header.m_fields[RECAP_CLUB], u"Green Baize");
    EXPECT_EQ(header.m_fields[RECAP_TOURN], u"");
    EXPECT_EQ(header.m_nState, 2);
    EXPECT_EQ(header.GetDateText(), u"2022.05.02");
}

TEST(RecapHeader, EmptyValuesCountAndCanBeFilledLater) {
    CRecapHeader header = Read(u"EVENT>  |CLUB>\r\nEVENT> Late Event|TOURN>Open\r\n");
    // 2 on the first line, then EVENT again, CLUB is not on line 2, TOURN: 4 in all, the header goes on.
    EXPECT_EQ(header.m_nTagCount, 4);
    EXPECT_EQ(header.m_fields[RECAP_EVENT], u" Late Event"); // leading blanks kept
    EXPECT_EQ(header.m_fields[RECAP_CLUB], u"");
    EXPECT_EQ(header.m_fields[RECAP_TOURN], u"Open");
}

TEST(RecapHeader, SessionLineThenSectionLine) {
    CRecapHeader header = Read(u"Spring Teams Wednesday Aft Session July 10, 2013\nSection  BB North\nEVENT>x\n");
    EXPECT_EQ(header.m_fields[RECAP_EVENT], u"Spring Teams");
    EXPECT_EQ(header.m_fields[RECAP_SESSION], u"Wednesday Aft");
    EXPECT_EQ(header.m_fields[RECAP_DATE], u"July 10, 2013");
    EXPECT_EQ(header.m_fields[RECAP_SECTION], u"BB");
    EXPECT_EQ(header.GetDateText(), u"2013.07.10");
    EXPECT_EQ(header.m_nState, 2);
}

TEST(RecapHeader, FourteenLetterSessionNamesAreMatchedWithoutTheirLastLetter) {
    CRecapHeader full;
    EXPECT_FALSE(ParseSessionLine(u"Cup Wednesday Morn Session July 10, 2013", full));
    CRecapHeader cut;
    EXPECT_TRUE(ParseSessionLine(u"Cup Wednesday Mor Session July 10, 2013", cut));
    EXPECT_EQ(cut.m_fields[RECAP_SESSION], u"Wednesday Morn");
    EXPECT_EQ(cut.m_fields[RECAP_EVENT], u"Cup");
}

TEST(RecapHeader, SessionLineOnlyBeforeAnyTag) {
    CRecapHeader header = Read(u"EVENT>Pairs\nCup Monday Eve Session May 1, 2020\n");
    EXPECT_EQ(header.m_fields[RECAP_EVENT], u"Pairs");
    EXPECT_EQ(header.m_fields[RECAP_SESSION], u"");
}

TEST(RecapHeader, SectionLineRules) {
    CRecapHeader a, b, c, d;
    EXPECT_TRUE(ParseSectionLine(u"Section  CC", a));
    EXPECT_EQ(a.m_fields[RECAP_SECTION], u"CC");
    EXPECT_TRUE(ParseSectionLine(u"Section AB", b));
    EXPECT_EQ(b.m_fields[RECAP_SECTION], u"A");
    EXPECT_FALSE(ParseSectionLine(u"Section   C", c));
    EXPECT_FALSE(ParseSectionLine(u"Section c", d));
}

TEST(RecapHeader, Dates) {
    auto date = [](std::u16string_view text) {
        CRecapHeader header;
        header.m_fields[RECAP_DATE] = text;
        return header.GetDateText();
    };
    EXPECT_EQ(date(u"JUL 4,1999"), u"1999.07.04");
    EXPECT_EQ(date(u"jul 4 1999"), u"1999.07.04");
    EXPECT_EQ(date(u" July 4, 1999"), u""); // white space before the month
    EXPECT_EQ(date(u"Jly 4, 1999"), u"");
    EXPECT_EQ(date(u"July 4, 1969"), u"");
    EXPECT_EQ(date(u"July 4, 3001"), u"");
    EXPECT_EQ(date(u"July 4, 3000"), u"3000.07.04");
    EXPECT_EQ(date(u"July 4"), u"");
    EXPECT_EQ(date(u"July 32, 2000"), u"");
    EXPECT_EQ(date(u"Feb 30, 2021"), u"2021.03.02"); // runs on into March
    EXPECT_EQ(date(u"Jan 1, 1970"), u"1970.01.01");
}

TEST(RecapHeader, LastLineWithoutLineFeedIsRead) {
    CRecapHeader header = Read(u"EVENT>Pairs\n|CLUB>Club");
    EXPECT_EQ(header.m_fields[RECAP_CLUB], u"Club");
}

} // namespace
