#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/path_text.h"
#include "platform/wide_text.h"

namespace {

// What the command line asks for: the switches seen ("P", "T", "D"), the PBN file, the text file, the URL and the
// page file, separated by '|'.
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
        {{"-PBN"}, "P||||"},
        {{"-Pbn", "-TEXT", "-dDa"}, "PTD||||"},
        {{"/pbn"}, "||||/pbn"}, // only '-' marks a switch: a leading slash begins an absolute path
        {{"/data/club results.html", "-pbn", "out.pbn", "-text", "out.txt"},
         "PT|out.pbn|out.txt||/data/club results.html"},
        // Both switches seen, the next free argument is the PBN file whatever the order of the switches.
        {{"-text", "-pbn", "first", "second", "page.htm"}, "PT|first|second||page.htm"},
        // After the switch the page file's place is taken by the output name.
        {{"-pbn", "page.html", "out.pbn"}, "P|page.html|||out.pbn"},
        {{"page.html", "-pbn"}, "P||||page.html"},
        // URLs are never output names or page files; the later URL wins.
        {{"-pbn", "http://a.example/1.htm", "out.pbn", "https://b.example/2.htm"},
         "P|out.pbn||https://b.example/2.htm|"},
        {{"file:///tmp/x.htm", "page.htm"}, "|||file:///tmp/x.htm|page.htm"},
        {{"C:\\dir\\page.htm"}, "||||C:\\dir\\page.htm"},
        {{"-unknown", "one.htm", "two.htm", "-"}, "||||one.htm"}, // other switches and later arguments are ignored
        {{}, "||||"},
        // Names that are not UTF-8 keep their bytes: ISO-8859-1, a cut-off UTF-8 sequence.
        {{"-text", "r\xC3\xA9sultat.txt", "r\xe9sultat.htm", "-pbn", "out\xc3.pbn"},
         "PT|out\xc3.pbn|r\xC3\xA9sultat.txt||r\xe9sultat.htm"},
    };
    for (const auto &[arguments, expected] : cases)
        EXPECT_EQ(Parsed(arguments), expected) << testing::PrintToString(arguments);
}

TEST(CommandLine, UrlTest) {
    for (const char16_t *url : {u"http://x", u"a://", u"svn+ssh://host/p", u"x-y.z1://q", u"file:///C:/dir/page.htm",
                                u"\u00e9t\u00e9://q"}) // letters of the wide classification count
        EXPECT_TRUE(IsUrlArgument(url)) << platform::Utf16ToUtf8(url);
    for (const char16_t *other :
         {u"1a://x", u"C:\\dir\\page.htm", u"http:/x", u"ht tp://x", u"://x", u"", u"/data/page#1.html"})
        EXPECT_FALSE(IsUrlArgument(other)) << platform::Utf16ToUtf8(other);
}

} // namespace
