// The parser's exception and the status text made from it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "parse_helpers.h"

using namespace NKXML;
using markup_test::ParsedPage;

namespace {

TEST(MarkupErrors, ThrownByValue) {
    CXMLParser parser(true);
    std::u16string text = u"<a#>";
    EXPECT_THROW(parser.Parse(text.c_str(), int(text.size())), CXMLException);
    try {
        ThrowUnexpectedChar(u'\u00e9', 12);
    } catch (const CXMLException &e) {
        EXPECT_EQ(e.m_strMessage, u"Unexpected char: \u00e9\n");
        EXPECT_EQ(e.m_nPosition, 12);
        EXPECT_STREQ(e.what(), "Unexpected char: \xc3\xa9\n");
    }
    try {
        ThrowXMLException(-3, u"x");
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "x");
    }
}

TEST(MarkupErrors, GetErrorMessage) {
    CXMLException e(0, u"Atom number overflow");
    char16_t buffer[8];
    unsigned help = 99;
    EXPECT_TRUE(e.GetErrorMessage(buffer, 8, &help));
    EXPECT_EQ(help, 0u);
    EXPECT_EQ(std::u16string(buffer), u"Atom nu");
    CXMLException empty(0, u"");
    char16_t big[64];
    EXPECT_TRUE(empty.GetErrorMessage(big, 64));
    EXPECT_EQ(std::u16string(big), u"Encountered syntax that is not supported");
}

TEST(MarkupErrors, FirstLineWithoutBreaks) {
    ParsedPage page;
    page.Parse("<p>a < 1</p>");
    EXPECT_EQ(page.Status(), "Unexpected char: 1\n:\r\nLine 1:<p>a < 1</p>");
}

TEST(MarkupErrors, ThirdLineWithCrLf) {
    ParsedPage page;
    page.Parse("<html>\r\n<body>\r\n<p a=1 / ></p>\r\n</body>");
    ASSERT_TRUE(page.error);
    EXPECT_EQ(page.Status(), "Unexpected char:  \n:\r\nLine 3:<p a=1 / ></p>");
}

TEST(MarkupErrors, LastLineWithoutEnd) {
    ParsedPage page;
    page.Parse("a\nb\n<c#");
    EXPECT_EQ(page.Status(), "Unexpected char: #\n:\r\nLine 3:<c#");
}

TEST(MarkupErrors, PositionOnALineBreakShowsItsOwnLine) {
    ParsedPage page;
    page.Parse("x\r\n<a/\r\n>");
    ASSERT_TRUE(page.error);
    EXPECT_EQ(page.error->m_nPosition, 6);
    EXPECT_EQ(page.Status(), "Unexpected char: \r\n:\r\nLine 2:<a/");
    page.Parse("x\n<a/\n>");
    EXPECT_EQ(page.error->m_nPosition, 5);
    EXPECT_EQ(page.Status(), "Unexpected char: \n\n:\r\nLine 2:<a/");
    // On the line feed of a CR LF pair, and on a break at the very start.
    page.Parse("ab\r\ncd");
    EXPECT_EQ(page.parser.FormatError(CXMLException(3, u"m")), u"m:\r\nLine 1:ab");
    EXPECT_EQ(page.parser.FormatError(CXMLException(2, u"m")), u"m:\r\nLine 1:ab");
    EXPECT_EQ(page.parser.FormatError(CXMLException(4, u"m")), u"m:\r\nLine 2:cd");
    page.Parse("\nx");
    EXPECT_EQ(page.parser.FormatError(CXMLException(0, u"m")), u"m:\r\nLine 1:");
}

TEST(MarkupErrors, PositionOutsideTheTextGivesTheMessageAlone) {
    ParsedPage page;
    page.Parse("abc");
    EXPECT_EQ(page.parser.FormatError(CXMLException(-1, u"m")), u"m");
    EXPECT_EQ(page.parser.FormatError(CXMLException(3, u"m")), u"m");
    EXPECT_EQ(page.parser.FormatError(CXMLException(2, u"m")), u"m:\r\nLine 1:abc");
    page.parser.Reset();
    EXPECT_EQ(page.parser.FormatError(CXMLException(0, u"m")), u"m"); // no text any more
}

TEST(MarkupErrors, LongMessagesAreCutTo511) {
    ParsedPage page;
    page.Parse("abc");
    std::u16string longMessage(600, u'm');
    EXPECT_EQ(page.parser.FormatError(CXMLException(1, longMessage)), std::u16string(511, u'm') + u":\r\nLine 1:abc");
    EXPECT_EQ(page.parser.FormatError(CXMLException(1, u"")),
              u"Encountered syntax that is not supported:\r\nLine 1:abc");
}

TEST(MarkupErrors, PartialTreeStaysAfterAnError) {
    ParsedPage page;
    page.Parse("<div class=tsboard><p>one</p><p>two < 3</p></div>");
    ASSERT_TRUE(page.error);
    EXPECT_EQ(page.Tree(), "div(class=tsboard)[p[\"one\"] p[\"two \"]]");
    std::vector<CNode *> out;
    page.parser.FindElements(out, u"p", nullptr, nullptr);
    EXPECT_EQ(out.size(), 2u);
}

TEST(MarkupErrors, ErrorLineComesFromTheTextNotTheCutCopy) {
    ParsedPage page;
    page.Parse("<a b=c>d &amp; e < 5");
    EXPECT_EQ(page.Status(), "Unexpected char: 5\n:\r\nLine 1:<a b=c>d &amp; e < 5");
}

} // namespace
