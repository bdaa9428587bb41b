// The tokenizer's states, pictured with the tree dump (parsed_page.h), or the error and where it stands.
#include <gtest/gtest.h>

#include <string>

#include "parsed_page.h"

using namespace NKXML;
using markup_test::ParsedPage;

namespace {

// The tree, or "error: message @position".
std::string Outcome(const char *text, bool html) {
    ParsedPage page(html);
    page.Parse(text);
    if (!page.error)
        return page.Tree();
    return "error: " + page.Message() + " @" + std::to_string(page.error->m_nPosition);
}

TEST(MarkupTokenizer, TreesAndErrors) {
    const struct {
        const char *text, *tree;
        bool html = true;
    } rows[] = {
        {"", ""},
        {"  \r\n<a></a> \u00a0 <b></b>\t", "a | b"}, // white space between top-level nodes makes no node
        {"<a> </a>", "a[\" \"]"},
        {"<ul><li>1<li>2</ul>x", "ul[li[\"1\" li[\"2\"]]] | \"x\""}, // no end tag is inferred
        // Empty elements and self-closing tags.
        {"<br clear=all>x", "br(clear=all) | \"x\""},
        {"<span/>x", "span | \"x\""},
        {"<a href=x/>y", "a(href=x) | \"y\""},
        {"<a href=x/y>z</a>", "a(href=x/y)[\"z\"]"},
        {"<a b/>c", "a(b/)[\"c\"]"}, // '/' belongs to an attribute name
        {"<_a:b-c.1>x</_a:b-c.1>", "_a:b-c.1[\"x\"]"},
        // Attributes: quoted, unquoted, without value; values are never decoded.
        {"<td class=\"a b\" id='x\"y' nowrap width=5>t</td>", "td(class=a b,id=x\"y,nowrap,width=5)[\"t\"]"},
        {"<a title=\"1>2\nok\">t</a>", "a(title=1>2\nok)[\"t\"]"},
        {"<a x=&amp;>t</a>", "a(x=&amp;)[\"t\"]"},
        {"<a x=>t</a>", "a(x=>t</a)"}, // '=' then '>' starts an unquoted value
        {"<a x=\"\">t</a>", "a(x=)[\"t\"]"},
        {"<a x = \"1\" y =2>t</a>", "a(x=1,y=2)[\"t\"]"},
        {"<a x=1 = 2 =\"3\">t</a>", "a(x=1)[\"t\"]"}, // a value for nobody is dropped
        {"<a x=1 - y=2>t</a>", "a(x=1,y=2)[\"t\"]"},
        {"<a x=1 - y=2>t</a>", "error: Unexpected char: -\n @7", false},
        // End tags: the innermost open element of that name closes; others are passed over.
        {"<B>x</b>y", "B[\"x\"] | \"y\""},
        {"<B>x</b>y", "error: No start tag corresponding to end tag @7", false},
        {"<table><tr><td>x</table>y", "table[tr[td[\"x\"]]] | \"y\""},
        {"<div><b>x</i>y</b></div>z", "div[b[\"x\" \"y\"]] | \"z\""},
        {"</x>y", "\"y\""},
        {"<a>x</a >y", "a[\"x\" \"y\"]"}, // white space belongs to the name: no such element
        {"<a>x</a >y", "error: No start tag corresponding to end tag @8", false},
        {"<a><b><a><b>x</a>y", "a[b[a[b[\"x\"]] \"y\"]]"},
        {"<div><p>a</p></p>b</div>", "div[p[\"a\"] \"b\"]"}, // closed already: ignored
        // Script and style content is passed over; any end tag ends it.
        {"<script>if (a<b) x();</script>c", "script | \"c\""},
        {"<style>p<<q {}</style>c", "style | \"c\""},
        {"<div><script>s=\"</b>\" + t</script>c</div>", "div[script \"\" + t\" \"c\"]"},
        {"<script>a</ b>c", "script"}, // "</ " is no end tag
        {"<script>//<![CDATA[\nx = '</p>';\n//]]></script>c", "script | \"c\""},
        {"<script>//<![CDATA[ x </script>", "error: CDATA not terminated @8"},
        {"<script/>c", "script | \"c\""},
        // References are decoded in text that a '<' ends, nowhere else.
        {"<p>a &amp; b</p>", "p[\"a & b\"]"},
        {"<p>x</p>a &amp; b", "p[\"x\"] | \"a &amp; b\""},
        {"<p a=\"&lt;\"><!-- &lt; --></p>", "p(a=&lt;)[<! &lt; >]"},
        {"<x><![CDATA[a<b &amp;]]>c</x>", "x[\"<![CDATA[a<b &]]>c\"]"},
        {"<x>t<![CDATA[ no end", "error: CDATA not terminated @4"},
        {"<![CDATA[a]]><b></b>", "\"<![CDATA[a]]>\" | b"},
        // DOCTYPE holds the rest of the page; a quoted string ends only at its own quote mark.
        {"<!DOCTYPE html>\n<html><body>x</body></html>", "!DOCTYPE{html}[\"\n\" html[body[\"x\"]]]"},
        {"<!DOCTYPE x \"a'>\" 'b\">'><p>", "!DOCTYPE{x \"a'>\" 'b\">'}[p]"},
        {"<!doctype html><p>", "!doctype(html)[p]"}, // only "!DOCTYPE" has a body
        {"<!x>y", "!x[\"y\"]"},
        // Comments.
        {"<a><!-- c - -- d --></a>", "a[<! c - -- d >]"},
        {"<!---->x", "<!> | \"x\""},
        {"<!-->x", "<!> | \"x\""},
        {"<!-x>y", "!-x[\"y\"]"}, // "<!-" alone starts no comment
        {"<a><!-- open", "a[<! open>]"},
        // '<' in text, unexpected characters, and texts that end inside a tag.
        {"<p>a < 1</p>", "error: Unexpected char: 1\n @7"},
        {"<p>a < b>c</p>", "p[\"a \" b[\"c\"]]"},
        {"<p>a < b</p>", "error: Unexpected char: <\n @8"},
        {"<a#>", "error: Unexpected char: #\n @2"},
        {"<a/x>", "error: Unexpected char: x\n @3"},
        {"<a b=1 / >", "error: Unexpected char:  \n @8"},
        {"<=>", "error: Unexpected char: =\n @1"},
        {"a<!", "\"a\" | !"},
        {"a<", "\"a\""},
        {"<a", "a"},
        {"\ufeff<b>x</b><a#>", "error: Unexpected char: #\n @11"}, // positions count the byte order mark
        {"<a b=\"x", "a(b=x)"},
        // Names beyond ASCII: letters and decimal digits continue a name, only ASCII capitals fold.
        {"<\u00e9l\u00e8ve\u00a0a=1>x</\u00e9l\u00e8ve>", "\u00e9l\u00e8ve(a=1)[\"x\"]"},
        {"<\u0416x2 a=1>t</\u0436x2>u", "\u0416x2(a=1)[\"t\" \"u\"]"},
        {"<\u212Aq><kq>x</kq>y</\u212AQ>z", "\u212Aq[kq[\"x\"] \"y\"] | \"z\""},
        {"<\u0416\u2014>", "error: Unexpected char: \u2014\n @2"},
        {"<a\u0662 b=\uff11>", "a\u0662(b=\uff11)"},
        {"<a\u00b2>", "error: Unexpected char: \u00b2\n @2"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Outcome(row.text, row.html), row.tree) << (row.html ? "html: " : "strict: ") << row.text;
}

TEST(MarkupTokenizer, ByteOrderMarkLengthAndNul) {
    ParsedPage page;
    page.Parse(std::u16string(u"<b>a&amp;\0<i>x</i>", 18));
    EXPECT_EQ(page.Tree(), "b[\"a&amp;\"]"); // a NUL ends the text; the unfinished text is kept as written
    page.parser.Reset();
    page.parser.Parse(u"<i>a</i>", -1); // a negative length means NUL-terminated
    EXPECT_EQ(page.parser.m_nLength, 8);
    EXPECT_EQ(page.Tree(), "i[\"a\"]");
}

TEST(MarkupEntities, DecodedInPlace) {
    const struct {
        const char16_t *text, *decoded;
    } rows[] = {
        {u"&quot;&lt;&gt;&amp;&apos;&ndash;&mdash;&times;&minus;", u"\"<>&'\u2013\u2014\u00d7\u2212"},
        {u"&spades;&hearts;&diams;&clubs;&nbsp;&thinsp;", u"\u2660\u2665\u2666\u2663\u00a0\u2009"},
        {u"&AMP;&Amp;&eacute;&hellip;&amp&;", u"&AMP;&Amp;&eacute;&hellip;&amp&;"},
        {u"&amp;lt;&&amp;&am&amp;p;", u"&lt;&&&am&p;"}, // decoded text is not decoded again
        {u"&#65;&#x41;&#X41;&#x0041;&#9;&#10;&#11;&#12;", u"AAAA\t\n\v\f"},
        {u"&#13;&#0;&#31;&#xD800;&#xdfff;&#65536;&#x10;", u"&#13;&#0;&#31;&#xD800;&#xdfff;&#65536;&#x10;"},
        {u"&#32;&#xFFFF;&#xd7ff;&#57344;", u" \uffff\ud7ff\ue000"},
        {u"&#65 ;&# 65;&#\t66;&#+65;&#x0x42;", u"&#65 ;ABAB"}, // the number reader's white space, sign and "0x"
        {u"&#-1;&#4294967361;&#;&#x;&#a;&#x4g;", u"&#-1;&#4294967361;&#;&#x;&#a;&#x4g;"},
        {u"&#\u0661\u0662\u0663;&#\u0669;", u"{\t"}, // other scripts' digits
        {u"a & b; AT&T &lt;td&gt; &amp;&amp; &#59; tail", u"a & b; AT&T <td> && ; tail"},
    };
    for (const auto &row : rows) {
        std::u16string text = row.text;
        EXPECT_EQ(CXMLParser::DecodeEntities(text.data(), text.size()), std::u16string(row.decoded).size());
        EXPECT_EQ(std::u16string(text.c_str()), row.decoded) << markup_test::Utf8(row.text);
    }
}

} // namespace
