// The tokenizer's states, one behaviour per test, pictured with the tree dump. These pin the behaviours down by
// hand; tokenizer_model_test.cpp checks the same states on random texts against a plain model.
#include <gtest/gtest.h>

#include <string>

#include "parse_helpers.h"

using namespace NKXML;
using markup_test::ParsedPage;

namespace {

std::string Tree(const char *text, bool html = true) {
    ParsedPage page(html);
    page.Parse(text);
    EXPECT_FALSE(page.error) << text << ": " << page.Message();
    return page.Tree();
}

std::string Error(const char *text, bool html = true) {
    ParsedPage page(html);
    page.Parse(text);
    if (!page.error)
        return "no error";
    return page.Message() + " @" + std::to_string(page.error->m_nPosition);
}

TEST(MarkupTokenizer, EmptyTextAndByteOrderMark) {
    EXPECT_EQ(Tree(""), "");
    ParsedPage page;
    page.Parse(std::u16string(u"\ufeff"));
    EXPECT_EQ(page.Tree(), "");
    page.Parse(std::u16string(u"\ufeff<b>x</b>"));
    EXPECT_EQ(page.Tree(), "b[\"x\"]");
    EXPECT_EQ(page.parser.m_roots[0]->m_pszName - page.parser.m_pszCopy, 2); // positions count the mark
}

TEST(MarkupTokenizer, NegativeLengthMeansNulTerminated) {
    CXMLParser parser(true);
    const char16_t *text = u"<i>a</i>";
    parser.Parse(text, -1);
    EXPECT_EQ(parser.m_nLength, 8);
    EXPECT_EQ(markup_test::Dump(parser), "i[\"a\"]");
}

TEST(MarkupTokenizer, NulInsideTheLengthEndsTheText) {
    ParsedPage page;
    page.Parse(std::u16string(u"<b>a&amp;\0<i>x</i>", 18));
    EXPECT_FALSE(page.error);
    EXPECT_EQ(page.Tree(), "b[\"a&amp;\"]"); // the unfinished text is kept as written
}

TEST(MarkupTokenizer, WhiteSpaceBetweenTopLevelNodesMakesNoNode) {
    EXPECT_EQ(Tree("  \r\n<a></a> \u00a0 <b></b>\t"), "a | b");
    EXPECT_EQ(Tree("<a> </a>"), "a[\" \"]");
}

TEST(MarkupTokenizer, NoEndTagIsInferred) {
    EXPECT_EQ(Tree("<ul><li>1<li>2</ul>x"), "ul[li[\"1\" li[\"2\"]]] | \"x\"");
}

TEST(MarkupTokenizer, EmptyElementsAndSelfClosingTags) {
    EXPECT_EQ(Tree("<br/>x"), "br | \"x\"");
    EXPECT_EQ(Tree("<br clear=all>x"), "br(clear=all) | \"x\"");
    EXPECT_EQ(Tree("<span/>x"), "span | \"x\"");
    EXPECT_EQ(Tree("<a href=x/>y"), "a(href=x) | \"y\"");
    EXPECT_EQ(Tree("<a href=x/y>z</a>"), "a(href=x/y)[\"z\"]");
    EXPECT_EQ(Tree("<a b/>c"), "a(b/)[\"c\"]"); // '/' belongs to an attribute name
}

TEST(MarkupTokenizer, Attributes) {
    EXPECT_EQ(Tree("<td class=\"a b\" id='x\"y' nowrap width=5>t</td>"), "td(class=a b,id=x\"y,nowrap,width=5)[\"t\"]");
    EXPECT_EQ(Tree("<a title=\"1>2\nok\">t</a>"), "a(title=1>2\nok)[\"t\"]");
    EXPECT_EQ(Tree("<a x=&amp;>t</a>"), "a(x=&amp;)[\"t\"]"); // values are never decoded
    EXPECT_EQ(Tree("<a x=>t</a>"), "a(x=>t</a)");             // '=' then '>' starts an unquoted value
    EXPECT_EQ(Tree("<a x=\"\">t</a>"), "a(x=)[\"t\"]");
    EXPECT_EQ(Tree("<a x = \"1\" y =2>t</a>"), "a(x=1,y=2)[\"t\"]");
    EXPECT_EQ(Tree("<a x=1 = 2 =\"3\">t</a>"), "a(x=1)[\"t\"]"); // a value for nobody is dropped
    EXPECT_EQ(Tree("<a = 2>t</a>"), "a[\"t\"]");
    EXPECT_EQ(Tree("<a x=1 - y=2>t</a>"), "a(x=1,y=2)[\"t\"]");
    EXPECT_EQ(Error("<a x=1 - y=2>t</a>", false), "Unexpected char: -\n @7");
}

TEST(MarkupTokenizer, EndTags) {
    EXPECT_EQ(Tree("<B>x</b>y"), "B[\"x\"] | \"y\"");
    EXPECT_EQ(Error("<B>x</b>y", false), "No start tag corresponding to end tag @7");
    EXPECT_EQ(Tree("<table><tr><td>x</table>y"), "table[tr[td[\"x\"]]] | \"y\"");
    EXPECT_EQ(Tree("<div><b>x</i>y</b></div>z"), "div[b[\"x\" \"y\"]] | \"z\"");
    EXPECT_EQ(Tree("</x>y"), "\"y\"");
    EXPECT_EQ(Tree("<a></nosuch>b</a>"), "a[\"b\"]");
    EXPECT_EQ(Tree("<a>x</a >y"), "a[\"x\" \"y\"]"); // white space belongs to the name: no such element
    EXPECT_EQ(Error("<a>x</a >y", false), "No start tag corresponding to end tag @8");
    EXPECT_EQ(Tree("<a>x</ a>y"), "a[\"x\" \"y\"]");
    EXPECT_EQ(Tree("<a><b><a><b>x</a>y"), "a[b[a[b[\"x\"]] \"y\"]]"); // the innermost of that name closes
    EXPECT_EQ(Error("</x>", false), "No start tag corresponding to end tag @3");
}

TEST(MarkupTokenizer, EndTagOfAnElementThatWasClosedAlreadyIsIgnored) {
    EXPECT_EQ(Tree("<div><p>a</p></p>b</div>"), "div[p[\"a\"] \"b\"]");
    EXPECT_EQ(Tree("<div><i/></i>b</div>"), "div[i \"b\"]");
}

TEST(MarkupTokenizer, ScriptAndStyleContentIsPassedOver) {
    EXPECT_EQ(Tree("<script>if (a<b) x();</script>c"), "script | \"c\"");
    EXPECT_EQ(Tree("<style>p<<q {}</style>c"), "style | \"c\"");
    // Any end tag ends it; the rest becomes text and its own end tag is then ignored.
    EXPECT_EQ(Tree("<div><script>s=\"</b>\" + t</script>c</div>"), "div[script \"\" + t\" \"c\"]");
    EXPECT_EQ(Tree("<script>a</ b>c"), "script"); // "</ " is no end tag: all of it stays raw
    EXPECT_EQ(Tree("<script>//<![CDATA[\nx = '</p>';\n//]]></script>c"), "script | \"c\"");
    EXPECT_EQ(Error("<script>//<![CDATA[ x </script>"), "CDATA not terminated @8");
    EXPECT_EQ(Tree("<script/>c"), "script | \"c\"");
}

TEST(MarkupTokenizer, UnquotedAttributesAndRawText) {
    EXPECT_EQ(Tree("<p style=x>a<b>c</b></p>"), "p(style=x)[\"a\" b[\"c\"]]");
    EXPECT_EQ(Tree("<script defer>a<b>c</script>d"), "script(defer) | \"d\"");
}

TEST(MarkupTokenizer, ReferencesAreDecodedInTextThatALessThanEnds) {
    EXPECT_EQ(Tree("<p>a &amp; b</p>"), "p[\"a & b\"]");
    EXPECT_EQ(Tree("<p>x</p>a &amp; b"), "p[\"x\"] | \"a &amp; b\"");
    EXPECT_EQ(Tree("<p a=\"&lt;\"><!-- &lt; --></p>"), "p(a=&lt;)[<! &lt; >]");
}

TEST(MarkupTokenizer, CdataStaysInTheText) {
    EXPECT_EQ(Tree("<x><![CDATA[a<b &amp;]]>c</x>"), "x[\"<![CDATA[a<b &]]>c\"]");
    EXPECT_EQ(Error("<x>t<![CDATA[ no end"), "CDATA not terminated @4");
    EXPECT_EQ(Error("<![CDATA[ no end"), "CDATA not terminated @0");
    EXPECT_EQ(Tree("<![CDATA[a]]><b></b>"), "\"<![CDATA[a]]>\" | b");
}

TEST(MarkupTokenizer, DoctypeHoldsTheRestOfThePage) {
    EXPECT_EQ(Tree("<!DOCTYPE html>\n<html><body>x</body></html>"), "!DOCTYPE{html}[\"\n\" html[body[\"x\"]]]");
    EXPECT_EQ(Tree("<!DOCTYPE html PUBLIC \"-//W3C//DTD>\" 'x>y'><p>"),
              "!DOCTYPE{html PUBLIC \"-//W3C//DTD>\" 'x>y'}[p]");
    EXPECT_EQ(Tree("<!doctype html><p>"), "!doctype(html)[p]"); // only "!DOCTYPE" has a body
    EXPECT_EQ(Tree("<!x>y"), "!x[\"y\"]");
}

TEST(MarkupTokenizer, Comments) {
    EXPECT_EQ(Tree("<a><!-- c - -- d --></a>"), "a[<! c - -- d >]");
    EXPECT_EQ(Tree("<!---->x"), "<!> | \"x\"");
    EXPECT_EQ(Tree("<!-->x"), "<!> | \"x\"");
    EXPECT_EQ(Tree("<!--->x"), "<!> | \"x\"");
    EXPECT_EQ(Tree("<a><!-- open"), "a[<! open>]");
}

TEST(MarkupTokenizer, LessThanInText) {
    EXPECT_EQ(Error("<p>a < 1</p>"), "Unexpected char: 1\n @7");
    EXPECT_EQ(Tree("<p>a < b>c</p>"), "p[\"a \" b[\"c\"]]");
    EXPECT_EQ(Error("<p>a < b</p>"), "Unexpected char: <\n @8");
}

TEST(MarkupTokenizer, UnexpectedCharacters) {
    EXPECT_EQ(Error("<a#>"), "Unexpected char: #\n @2");
    EXPECT_EQ(Error("<a/x>"), "Unexpected char: x\n @3");
    EXPECT_EQ(Error("<a b=1 / >"), "Unexpected char:  \n @8");
    EXPECT_EQ(Error("<=>"), "Unexpected char: =\n @1");
}

TEST(MarkupTokenizer, TextEndingInLessThanAndBang) {
    EXPECT_EQ(Tree("a<!"), "\"a\" | !");
    EXPECT_EQ(Tree("a<"), "\"a\"");
    EXPECT_EQ(Tree("<a"), "a");
    EXPECT_EQ(Tree("<a b=\"x"), "a(b=x)");
    EXPECT_EQ(Tree("<script>x<"), "script");
    EXPECT_EQ(Tree("<script>x</y"), "script");
}

TEST(MarkupTokenizer, NonAsciiNamesAndSpaces) {
    EXPECT_EQ(Tree("<\u00e9l\u00e8ve\u00a0a=1>x</\u00e9l\u00e8ve>"), "\u00e9l\u00e8ve(a=1)[\"x\"]");
    // Beyond ASCII only ASCII capitals fold, so this end tag names no open element.
    EXPECT_EQ(Tree("<\u0416x2 a=1>t</\u0436x2>u"), "\u0416x2(a=1)[\"t\" \"u\"]");
    EXPECT_EQ(Error("<\u0416\u2014>"), "Unexpected char: \u2014\n @2");
    EXPECT_EQ(Error("<a\u0662>"), "Unexpected char: \u0662\n @2"); // only ASCII digits continue a name
}

} // namespace
