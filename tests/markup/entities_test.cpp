// Character references in text.
#include <gtest/gtest.h>

#include <string>

#include "parse_helpers.h"

using namespace NKXML;

namespace {

std::u16string Decode(std::u16string text) {
    text.push_back(0);
    CXMLParser::DecodeEntities(text.data());
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
}

TEST(MarkupEntities, NamedTable) {
    EXPECT_EQ(Decode(u"&quot;&lt;&gt;&amp;&apos;"), u"\"<>&'");
    EXPECT_EQ(Decode(u"&ndash;&mdash;&times;&minus;"), u"\u2013\u2014\u00d7\u2212");
    EXPECT_EQ(Decode(u"&spades;&hearts;&diams;&clubs;"), u"\u2660\u2665\u2666\u2663");
    EXPECT_EQ(Decode(u"&nbsp;&thinsp;"), u"\u00a0\u2009");
    EXPECT_EQ(Decode(u"&AMP;&Amp;&eacute;&hellip;"), u"&AMP;&Amp;&eacute;&hellip;");
    EXPECT_EQ(Decode(u"&amp"), u"&amp");
    EXPECT_EQ(Decode(u"&;"), u"&;");
}

TEST(MarkupEntities, DecodedTextIsNotDecodedAgain) {
    EXPECT_EQ(Decode(u"&amp;lt;"), u"&lt;");
    EXPECT_EQ(Decode(u"&&amp;"), u"&&");
    EXPECT_EQ(Decode(u"&am&amp;p;"), u"&am&p;");
}

TEST(MarkupEntities, Numeric) {
    EXPECT_EQ(Decode(u"&#65;&#x41;&#X41;&#x0041;"), u"AAAA");
    EXPECT_EQ(Decode(u"&#9;&#10;&#11;&#12;"), u"\t\n\v\f");
    EXPECT_EQ(Decode(u"&#13;&#0;&#31;&#xD800;&#xdfff;&#65536;&#x10;"), u"&#13;&#0;&#31;&#xD800;&#xdfff;&#65536;&#x10;");
    EXPECT_EQ(Decode(u"&#32;&#xFFFF;&#xd7ff;&#57344;"), u" \uffff\ud7ff\ue000");
    EXPECT_EQ(Decode(u"&#65 ;"), u"&#65 ;");     // white space after the number
    EXPECT_EQ(Decode(u"&# 65;&#\t66;"), u"AB");  // the number reader passes over leading white space
    EXPECT_EQ(Decode(u"&#+65;&#x0x42;"), u"AB"); // a sign, and a second "0x" in hexadecimal
    EXPECT_EQ(Decode(u"&#-1;&#4294967361;"), u"&#-1;&#4294967361;"); // wraps or saturates beyond 0xFFFF
    EXPECT_EQ(Decode(u"&#;&#x;&#a;&#x4g;"), u"&#;&#x;&#a;&#x4g;");
    EXPECT_EQ(Decode(u"&#\u0661\u0662\u0663;"), u"{"); // the number reader takes other scripts' digits
}

TEST(MarkupEntities, UnfinishedReferencesStayAsWritten) {
    EXPECT_EQ(Decode(u"a & b; c &amp; d"), u"a & b; c & d");
    EXPECT_EQ(Decode(u"AT&T"), u"AT&T");
    EXPECT_EQ(Decode(u"x &amp; y & z"), u"x & y & z");
    EXPECT_EQ(Decode(u"&lt;td&gt; cells &amp;&amp; rows &#59; then a long tail of text"),
              u"<td> cells && rows ; then a long tail of text");
    EXPECT_EQ(Decode(u""), u"");
    EXPECT_EQ(Decode(u"no references"), u"no references");
}

TEST(MarkupEntities, LengthVersionReturnsTheNewLength) {
    std::u16string text = u"a&lt;b&#65;";
    text.push_back(0);
    size_t n = CXMLParser::DecodeEntities(text.data(), text.size() - 1);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::u16string(text.c_str()), u"a<bA");
}

TEST(MarkupEntities, LongRunsOfAmpersands) {
    // Megabytes of '&' in a page are in robustness_test.cpp; the benchmark shows the time grows linearly.
    std::u16string numeric;
    for (int i = 0; i < 100000; ++i)
        numeric += u"&#";
    numeric += u"65;";
    std::u16string expected = numeric.substr(0, numeric.size() - 5) + u"A";
    EXPECT_EQ(Decode(numeric), expected);
    std::u16string many;
    for (int i = 0; i < 200000; ++i)
        many += u"&amp;";
    EXPECT_EQ(Decode(many), std::u16string(200000, u'&'));
}

} // namespace
