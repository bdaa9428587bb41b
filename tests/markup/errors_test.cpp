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
        ADD_FAILURE() << "no exception";
    } catch (const CXMLException &e) {
        EXPECT_EQ(e.m_strMessage, u"Unexpected char: \u00e9\n");
        EXPECT_EQ(e.m_nPosition, 12);
        EXPECT_STREQ(e.what(), "Unexpected char: \xc3\xa9\n");
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

TEST(MarkupErrors, StatusNamesTheLineOfThePosition) {
    const struct {
        const char *page, *status;
    } rows[] = {
        {"<p>a < 1</p>", "Unexpected char: 1\n:\r\nLine 1:<p>a < 1</p>"},
        {"<html>\r\n<body>\r\n<p a=1 / ></p>\r\n</body>", "Unexpected char:  \n:\r\nLine 3:<p a=1 / ></p>"},
        {"a\nb\n<c#", "Unexpected char: #\n:\r\nLine 3:<c#"}, // the last line, without a break after it
        // The line comes from the page as written, not from the copy the parser cut up and decoded.
        {"<a b=c>d &amp; e < 5", "Unexpected char: 5\n:\r\nLine 1:<a b=c>d &amp; e < 5"},
    };
    ParsedPage page;
    for (const auto &row : rows)
        EXPECT_EQ(page.Parse(row.page).Status(), row.status) << row.page;
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

TEST(MarkupErrors, MessageAloneOutsideTheTextAndCutTo511) {
    ParsedPage page;
    page.Parse("abc");
    EXPECT_EQ(page.parser.FormatError(CXMLException(-1, u"m")), u"m");
    EXPECT_EQ(page.parser.FormatError(CXMLException(3, u"m")), u"m");
    EXPECT_EQ(page.parser.FormatError(CXMLException(2, u"m")), u"m:\r\nLine 1:abc");
    EXPECT_EQ(page.parser.FormatError(CXMLException(1, std::u16string(600, u'm'))),
              std::u16string(511, u'm') + u":\r\nLine 1:abc");
    EXPECT_EQ(page.parser.FormatError(CXMLException(1, u"")),
              u"Encountered syntax that is not supported:\r\nLine 1:abc");
    page.parser.Reset();
    EXPECT_EQ(page.parser.FormatError(CXMLException(0, u"m")), u"m"); // no text any more
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

} // namespace
