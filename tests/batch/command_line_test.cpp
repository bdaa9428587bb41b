#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/path_text.h"
#include "platform/wide_text.h"

namespace {

TEST(CommandLine, SwitchesOutputNamesUrlsAndPageFile) {
    const struct {
        std::vector<const char *> arguments;
        bool pbn, text, dda;
        std::u16string pbnFile, textFile, startUrl, fileName;
    } cases[] = {
        {{"-pbn"}, true, false, false, u"", u"", u"", u""},
        {{"-PBN"}, true, false, false, u"", u"", u"", u""},
        {{"-Pbn", "-TEXT", "-dDa"}, true, true, true, u"", u"", u"", u""},
        // Only '-' marks a switch: a leading slash begins an absolute path.
        {{"/pbn"}, false, false, false, u"", u"", u"", u"/pbn"},
        {{"/data/club results.html", "-pbn", "out.pbn", "-text", "out.txt"},
         true,
         true,
         false,
         u"out.pbn",
         u"out.txt",
         u"",
         u"/data/club results.html"},
        // Both switches seen, the next free argument is the PBN file whatever the order of the switches.
        {{"-text", "-pbn", "first", "second", "page.htm"}, true, true, false, u"first", u"second", u"", u"page.htm"},
        // After the switch the page file's place is taken by the output name.
        {{"-pbn", "page.html", "out.pbn"}, true, false, false, u"page.html", u"", u"", u"out.pbn"},
        {{"page.html", "-pbn"}, true, false, false, u"", u"", u"", u"page.html"},
        // URLs are never output names or page files; the later URL wins.
        {{"-pbn", "http://a.example/one.htm", "out.pbn", "https://b.example/two.htm"},
         true,
         false,
         false,
         u"out.pbn",
         u"",
         u"https://b.example/two.htm",
         u""},
        {{"file:///tmp/x.htm", "page.htm"}, false, false, false, u"", u"", u"file:///tmp/x.htm", u"page.htm"},
        {{"C:\\dir\\page.htm"}, false, false, false, u"", u"", u"", u"C:\\dir\\page.htm"},
        // Other switches and later free arguments are ignored.
        {{"-unknown", "one.htm", "two.htm", "-"}, false, false, false, u"", u"", u"", u"one.htm"},
        {{}, false, false, false, u"", u"", u"", u""},
        {{"-text", "r\xC3\xA9sultat.txt", "club #3.html"},
         false,
         true,
         false,
         u"",
         u"r\u00e9sultat.txt",
         u"",
         u"club #3.html"},
    };
    for (const auto &c : cases) {
        std::vector<const char *> argv = c.arguments;
        argv.insert(argv.begin(), "dealscope");
        CTSCommandLineInfo info;
        info.ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(testing::PrintToString(argv));
        EXPECT_EQ(info.m_bPbn, c.pbn);
        EXPECT_EQ(info.m_bText, c.text);
        EXPECT_EQ(info.m_bDda, c.dda);
        EXPECT_EQ(info.m_strPbnFile, c.pbnFile);
        EXPECT_EQ(info.m_strTextFile, c.textFile);
        EXPECT_EQ(info.m_strStartURL, c.startUrl);
        EXPECT_EQ(info.m_strFileName, c.fileName);
        EXPECT_EQ(info.m_nShellCommand,
                  c.fileName.empty() ? CTSCommandLineInfo::FileNew : CTSCommandLineInfo::FileOpen);
    }
}

TEST(CommandLine, UrlTest) {
    for (const char16_t *url : {u"http://x", u"a://", u"svn+ssh://host/p", u"x-y.z1://q", u"file:///C:/dir/page.htm",
                                u"\u00e9t\u00e9://q"}) // letters of the wide classification count
        EXPECT_TRUE(IsUrlArgument(url)) << platform::Utf16ToUtf8(url);
    for (const char16_t *other :
         {u"1a://x", u"C:\\dir\\page.htm", u"http:/x", u"ht tp://x", u"://x", u"", u"/data/page#1.html"})
        EXPECT_FALSE(IsUrlArgument(other)) << platform::Utf16ToUtf8(other);
}

TEST(CommandLine, FileNamesThatAreNotUtf8KeepTheirBytes) {
    // "résultat.htm" written in ISO-8859-1, and an output name with a cut-off UTF-8 sequence.
    const char *argv[] = {"dealscope", "r\xe9sultat.htm", "-pbn", "out\xc3.pbn"};
    CTSCommandLineInfo info;
    info.ParseCommandLine(4, argv);
    EXPECT_EQ(platform::PathTextToBytes(info.m_strFileName), "r\xe9sultat.htm");
    EXPECT_EQ(platform::PathTextToBytes(info.m_strPbnFile), "out\xc3.pbn");
    // Shown to the user, the stray bytes read as replacement characters.
    EXPECT_EQ(platform::Utf16ToUtf8(info.m_strFileName), "r\xef\xbf\xbdsultat.htm");
}

} // namespace
