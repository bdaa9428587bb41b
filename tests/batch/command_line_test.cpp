#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/path_text.h"
#include "platform/wide_text.h"

namespace {

CTSCommandLineInfo Parse(std::vector<const char *> arguments) {
    arguments.insert(arguments.begin(), "dealscope");
    CTSCommandLineInfo info;
    info.ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
    return info;
}

TEST(CommandLine, SwitchesAreCaseInsensitiveAndMarkedByDashOnly) {
    for (const char *spelling : {"-pbn", "-PBN", "-Pbn"}) {
        CTSCommandLineInfo info = Parse({spelling});
        EXPECT_TRUE(info.m_bPbn) << spelling;
        EXPECT_FALSE(info.m_bText);
        EXPECT_FALSE(info.m_bDda);
    }
    CTSCommandLineInfo info = Parse({"-TEXT", "-dDa"});
    EXPECT_TRUE(info.m_bText);
    EXPECT_TRUE(info.m_bDda);
    EXPECT_FALSE(info.m_bPbn);

    // A leading slash begins an absolute path, never a switch.
    info = Parse({"/pbn"});
    EXPECT_FALSE(info.m_bPbn);
    EXPECT_EQ(info.m_strFileName, u"/pbn");
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileOpen);
}

TEST(CommandLine, PageFileWithBothOutputs) {
    CTSCommandLineInfo info = Parse({"/data/club results.html", "-pbn", "out.pbn", "-text", "out.txt"});
    EXPECT_EQ(info.m_strFileName, u"/data/club results.html");
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileOpen);
    EXPECT_TRUE(info.m_bPbn);
    EXPECT_TRUE(info.m_bText);
    EXPECT_EQ(info.m_strPbnFile, u"out.pbn");
    EXPECT_EQ(info.m_strTextFile, u"out.txt");
    EXPECT_TRUE(info.m_strStartURL.empty());
}

TEST(CommandLine, OutputNamesFollowTheirSwitchesPbnFirst) {
    // Both switches seen: the next free argument is the PBN file whatever the order of the switches.
    CTSCommandLineInfo info = Parse({"-text", "-pbn", "first", "second", "page.htm"});
    EXPECT_EQ(info.m_strPbnFile, u"first");
    EXPECT_EQ(info.m_strTextFile, u"second");
    EXPECT_EQ(info.m_strFileName, u"page.htm");

    // An argument before the switch is the page file; after the switch the page file's place is taken by the
    // output name.
    info = Parse({"-pbn", "page.html", "out.pbn"});
    EXPECT_EQ(info.m_strPbnFile, u"page.html");
    EXPECT_EQ(info.m_strFileName, u"out.pbn");
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileOpen);
}

TEST(CommandLine, SwitchWithoutOutputNameLeavesItEmpty) {
    CTSCommandLineInfo info = Parse({"page.html", "-pbn"});
    EXPECT_TRUE(info.m_bPbn);
    EXPECT_TRUE(info.m_strPbnFile.empty());
    EXPECT_EQ(info.m_strFileName, u"page.html");
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileOpen);
}

TEST(CommandLine, UrlsAreNeverOutputNamesOrPageFiles) {
    CTSCommandLineInfo info = Parse({"-pbn", "http://a.example/one.htm", "out.pbn", "https://b.example/two.htm"});
    EXPECT_EQ(info.m_strStartURL, u"https://b.example/two.htm"); // the later URL wins
    EXPECT_EQ(info.m_strPbnFile, u"out.pbn");
    EXPECT_TRUE(info.m_strFileName.empty());
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileNew);

    // A page file and a URL together: the page file is opened.
    info = Parse({"file:///tmp/x.htm", "page.htm"});
    EXPECT_EQ(info.m_strStartURL, u"file:///tmp/x.htm");
    EXPECT_EQ(info.m_strFileName, u"page.htm");
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileOpen);
}

TEST(CommandLine, UrlTest) {
    EXPECT_TRUE(IsUrlArgument(u"http://x"));
    EXPECT_TRUE(IsUrlArgument(u"a://"));
    EXPECT_TRUE(IsUrlArgument(u"svn+ssh://host/p"));
    EXPECT_TRUE(IsUrlArgument(u"x-y.z1://q"));
    EXPECT_TRUE(IsUrlArgument(u"file:///C:/dir/page.htm"));
    EXPECT_TRUE(IsUrlArgument(u"\u00e9t\u00e9://q")); // letters of the wide classification count
    EXPECT_FALSE(IsUrlArgument(u"1a://x"));
    EXPECT_FALSE(IsUrlArgument(u"C:\\dir\\page.htm"));
    EXPECT_FALSE(IsUrlArgument(u"http:/x"));
    EXPECT_FALSE(IsUrlArgument(u"ht tp://x"));
    EXPECT_FALSE(IsUrlArgument(u"://x"));
    EXPECT_FALSE(IsUrlArgument(u""));
    EXPECT_FALSE(IsUrlArgument(u"/data/page#1.html"));

    CTSCommandLineInfo info = Parse({"C:\\dir\\page.htm"});
    EXPECT_EQ(info.m_strFileName, u"C:\\dir\\page.htm");
    EXPECT_TRUE(info.m_strStartURL.empty());
}

TEST(CommandLine, OtherSwitchesAndLaterFreeArgumentsAreIgnored) {
    CTSCommandLineInfo info = Parse({"-unknown", "one.htm", "two.htm", "-"});
    EXPECT_FALSE(info.BatchRequested());
    EXPECT_EQ(info.m_strFileName, u"one.htm");
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileOpen);

    info = Parse({});
    EXPECT_FALSE(info.BatchRequested());
    EXPECT_TRUE(info.m_strFileName.empty());
    EXPECT_EQ(info.m_nShellCommand, CTSCommandLineInfo::FileNew);
}

TEST(CommandLine, NonAsciiNamesArriveAsUtf16) {
    CTSCommandLineInfo info = Parse({"-text", "r\xC3\xA9sultat.txt", "club #3.html"});
    EXPECT_EQ(info.m_strTextFile, u"r\u00e9sultat.txt");
    EXPECT_EQ(info.m_strFileName, u"club #3.html");
}

TEST(CommandLine, FileNamesThatAreNotUtf8KeepTheirBytes) {
    // "résultat.htm" written in ISO-8859-1, and an output name with a cut-off UTF-8 sequence.
    CTSCommandLineInfo info = Parse({"r\xe9sultat.htm", "-pbn", "out\xc3.pbn"});
    EXPECT_EQ(platform::PathTextToBytes(info.m_strFileName), "r\xe9sultat.htm");
    EXPECT_EQ(platform::PathTextToBytes(info.m_strPbnFile), "out\xc3.pbn");
    // Shown to the user, the stray bytes read as replacement characters.
    EXPECT_EQ(platform::Utf16ToUtf8(info.m_strFileName), "r\xef\xbf\xbdsultat.htm");

    // Valid UTF-8 reads as it always does, characters outside the BMP included.
    for (const char *name : {"\xc5\xbb"
                             "ab\xc5\x82ocki.htm",
                             "\xf0\x9f\x82\xa1.pbn", "plain"}) {
        EXPECT_EQ(platform::PathBytesToText(name), platform::Utf8ToUtf16(name)) << name;
        EXPECT_EQ(platform::PathTextToBytes(platform::PathBytesToText(name)), name) << name;
    }
    // Overlong forms and encoded surrogates are no UTF-8: their bytes are kept one by one.
    for (const char *bytes : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff"})
        EXPECT_EQ(platform::PathTextToBytes(platform::PathBytesToText(bytes)), bytes);
}

} // namespace
