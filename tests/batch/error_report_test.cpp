#include "platform/error_report.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::FatalError;
using platform::ProgramException;
using platform::ReportException;
using platform::SetErrorSink;
using platform::UserException;

class ErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = SetErrorSink([this](const std::u16string &text) { m_shown.push_back(text); });
    }
    void TearDown() override { SetErrorSink(m_previous); }

    std::vector<std::u16string> m_shown;
    platform::ErrorSink m_previous;
};

TEST_F(ErrorReportTest, ContextStandsAboveTheMessage) {
    EXPECT_THROW(FatalError(u"Not a directory.", u"/tmp/file/out.pbn"), UserException);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0], u"/tmp/file/out.pbn:\r\nNot a directory.");
}

TEST_F(ErrorReportTest, MessageAloneWithoutContext) {
    EXPECT_THROW(FatalError(u"Unable to locate Tricksmith.exe"), UserException);
    EXPECT_THROW(FatalError(u"Second", u""), UserException);
    ASSERT_EQ(m_shown.size(), 2u);
    EXPECT_EQ(m_shown[0], u"Unable to locate Tricksmith.exe");
    EXPECT_EQ(m_shown[1], u"Second");
}

TEST_F(ErrorReportTest, EmptyMessageShowsNothingAndStillAbandons) {
    EXPECT_THROW(FatalError(u"", u"context"), UserException);
    EXPECT_THROW(ReportException(ProgramException(u""), u"context"), UserException);
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(ErrorReportTest, ReportExceptionCutsLongMessages) {
    std::u16string longMessage(700, u'x');
    EXPECT_THROW(ReportException(ProgramException(longMessage), u"path"), UserException);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0], u"path:\r\n" + std::u16string(511, u'x'));
}

TEST(ErrorReportDefaultSink, WritesLinesToStandardError) {
    platform::ErrorSink previous = SetErrorSink(nullptr); // the default sink
    testing::internal::CaptureStderr();
    EXPECT_THROW(FatalError(u"Caf\u00e9 closed.", u"/tmp/a b.txt"), UserException);
    std::string written = testing::internal::GetCapturedStderr();
    SetErrorSink(previous);
    EXPECT_EQ(written, "/tmp/a b.txt:\nCaf\xC3\xA9 closed.\n");
}

TEST(ProgramExceptionText, WhatIsUtf8) {
    ProgramException exception(u"\u00c5rhus");
    EXPECT_STREQ(exception.what(), "\xC3\x85rhus");
}

} // namespace
