#include <gtest/gtest.h>

#include "../scratch_test.h"
#include "app/command_line.h"
#include "app/page_charset.h"
#include "charset_pages.h"
#include "platform/path_text.h"
#include "platform/wide_text.h"

namespace {

// The switches seen, the PBN file, the text file, the URL and the page file, separated by '|'.
std::string Parsed(std::vector<const char *> argv) {
    argv.insert(argv.begin(), "dealscope");
    CTSCommandLineInfo info;
    info.ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(info.m_nShellCommand,
              info.m_strFileName.empty() ? CTSCommandLineInfo::FileNew : CTSCommandLineInfo::FileOpen);
    return std::string(info.m_bPbn ? "P" : "") + (info.m_bText ? "T" : "") + (info.m_bDda ? "D" : "") + "|" +
           platform::PathTextToBytes(info.m_strPbnFile) + "|" + platform::PathTextToBytes(info.m_strTextFile) + "|" +
           platform::Utf16ToUtf8(info.m_strStartURL) + "|" + platform::PathTextToBytes(info.m_strFileName);
}

TEST(CommandLine, SwitchesOutputNamesUrlsAndPageFile) {
    const std::pair<std::vector<const char *>, const char *> cases[] = {
        {{"-Pbn", "-TEXT", "-dDa"}, "PTD||||"},
        {{"/pbn"}, "||||/pbn"}, // a leading slash begins an absolute path
        {{"/data/club results.html", "-pbn", "out.pbn", "-text", "out.txt"},
         "PT|out.pbn|out.txt||/data/club results.html"},
        {{"-text", "-pbn", "first", "second", "page.htm"}, "PT|first|second||page.htm"},
        {{"-pbn", "page.html", "out.pbn"}, "P|page.html|||out.pbn"},
        {{"page.html", "-pbn"}, "P||||page.html"},
        {{"-pbn", "http://a.example/1.htm", "out.pbn", "https://b.example/2.htm"},
         "P|out.pbn||https://b.example/2.htm|"},
        {{"file:///tmp/x.htm", "page.htm"}, "|||file:///tmp/x.htm|page.htm"},
        {{"C:\\dir\\page.htm"}, "||||C:\\dir\\page.htm"},
        {{"-unknown", "one.htm", "two.htm", "-"}, "||||one.htm"},
        {{}, "||||"},
        {{"-text", "r\xC3\xA9s.txt", "r\xe9s.htm", "-pbn", "o\xc3.pbn"}, "PT|o\xc3.pbn|r\xC3\xA9s.txt||r\xe9s.htm"},
    };
    for (const auto &[arguments, expected] : cases)
        EXPECT_EQ(Parsed(arguments), expected) << testing::PrintToString(arguments);
    for (const char16_t *url :
         {u"http://x", u"a://", u"svn+ssh://host/p", u"x-y.z1://q", u"\u00e9t\u00e9://q", u"x\u0663://q"})
        EXPECT_TRUE(IsUrlArgument(url)) << platform::Utf16ToUtf8(url);
    for (const char16_t *other :
         {u"1a://x", u"\u0663a://x", u"a\u00b2://x", u"C:\\dir\\page.htm", u"http:/x", u"ht tp://x", u"://x", u""})
        EXPECT_FALSE(IsUrlArgument(other)) << platform::Utf16ToUtf8(other);
}

TEST(PageCharset, HeaderByteOrderMarkAndDeclarations) {
    for (const auto &[contentType, charset] : std::initializer_list<std::pair<std::string, std::string>>{
             {"text/html;CHARSET=\"iso-8859-2\"", "iso-8859-2"}, {"text/html; q=1; charset = koi8-r ; x=y", "koi8-r"}})
        EXPECT_EQ(CharsetFromContentType(contentType), charset) << contentType;
    EXPECT_EQ(CharsetFromByteOrderMark(std::string("\xFE\xFF\0<", 4)), "utf-16be");
    const std::pair<std::string, std::string> metas[] = {
        {"<meta content='text/html;charset=\"koi8-r\"' http-equiv=content-type>", "koi8-r"},
        {"<meta http-equiv=content-type content='charset=\"koi8-r'>", ""},
        {"<meta charset=\"\" content=\"charset=gbk\" http-equiv=Content-Type>", "gbk"},
        {"<head><meta charset=utf-8", ""},
        {"<script><!-- </scripts> --></script ><meta charset=koi8-r>", "koi8-r"},
    };
    for (const auto &[page, charset] : metas)
        EXPECT_EQ(CharsetFromMetaDeclaration(page), charset) << page;
    // The pages the window's test loads in the browser engine.
    const std::string body = CharsetPageBody(ReadFile(DEALSCOPE_TEST_DATA "/conversion/utf8_outside_latin1.htm"));
    for (const CharsetPage &page : CharsetPages())
        EXPECT_EQ(FindPageCharset(page.contentType, page.start + body), page.charset) << page.what;
    EXPECT_EQ(FindPageCharset("text/html; charset=nonsense", "<p>"), "windows-1252");
    EXPECT_EQ(FindPageCharset("", "<meta charset=UTF-16BE>"), "utf-8");
}

} // namespace
