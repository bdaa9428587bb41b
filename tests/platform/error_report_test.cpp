#include "platform/error_report.h"

#include <gtest/gtest.h>

#include <vector>

#include "scoped_hook.h"

namespace {

using platform::ProgramException;
using platform::UserException;

TEST(ErrorReport, ShownTextAbandonedCommandAndTheTerminal) {
    std::vector<std::u16string> shown;
    {
        ScopedHook<platform::SetErrorSink> sink([&](const std::u16string &text) { shown.push_back(text); });
        EXPECT_THROW(platform::FatalError(u"Not a directory.", u"/tmp/file/out.pbn"), UserException);
        EXPECT_THROW(platform::FatalError(u"Second", u""), UserException);
        // An empty message shows nothing and still abandons the command; a long one is cut.
        EXPECT_THROW(platform::ReportException(ProgramException(u""), u"context"), UserException);
        EXPECT_THROW(platform::ReportException(ProgramException(std::u16string(700, u'x')), u"path"), UserException);
    }
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"/tmp/file/out.pbn:\r\nNot a directory.", u"Second",
                                                  u"path:\r\n" + std::u16string(511, u'x')}));

    // Standard error gets UTF-8 lines. A page's or a companion's text cannot steer the terminal: its control
    // characters are shown, only tabs and line ends act.
    ScopedHook<platform::SetErrorSink> sink(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_THROW(platform::FatalError(u"Caf\u00e9 closed.", u"/tmp/a b.txt"), UserException);
    EXPECT_THROW(platform::FatalError(u"\x1b]0;title\x07\x1b[2J\tline\rover\u009b1m\x7f\r\nend"), UserException);
    platform::ShowMessage(u"<b>\x1b[2J</b>");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "/tmp/a b.txt:\nCaf\xC3\xA9 closed.\n?]0;title??[2J\tline?over?1m?\nend\n<b>?[2J</b>\n");
}

} // namespace
