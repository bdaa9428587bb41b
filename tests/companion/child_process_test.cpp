// The child-process layer under the transport: a child that goes away while we write does not take us with it,
// replies are bounded in time and length, and every child is reaped.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include "platform/process.h"

namespace {

using platform::ChildProcess;

bool Gone(pid_t pid) {
    return kill(pid, 0) != 0 && errno == ESRCH;
}

TEST(ChildProcessTest, WritingToAChildThatEndedFailsWithoutSigpipe) {
    ChildProcess child;
    ASSERT_EQ(child.Start("/bin/sh", {"-c", "exit 4"}), 0);
    ASSERT_TRUE(child.WaitExit(5000));
    EXPECT_EQ(child.DescribeExit(), "exit status 4");
    EXPECT_FALSE(child.WriteLine("anyone there?"));

    // With the child still running but its input closed, the write fails the same way.
    ChildProcess deaf;
    ASSERT_EQ(deaf.Start("/bin/sh", {"-c", "exec 0<&-; sleep 5"}), 0);
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i)
        failed = !deaf.WriteLine(std::string(4096, 'x'));
    EXPECT_TRUE(failed);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE));
}

TEST(ChildProcessTest, LinesTimeLimitsAndLengthLimits) {
    ChildProcess child;
    ASSERT_EQ(child.Start("/bin/sh", {"-c", "read x; printf 'got %s\\r\\nno end' \"$x\"; sleep 5"}), 0);
    ASSERT_TRUE(child.WriteLine("ping"));
    std::string line;
    EXPECT_EQ(child.ReadLine(line, 5000, 100), ChildProcess::ReadResult::LINE);
    EXPECT_EQ(line, "got ping");
    EXPECT_EQ(child.ReadLine(line, 200, 100), ChildProcess::ReadResult::TIMEOUT);
    child.Kill();
    EXPECT_FALSE(child.Running());
    EXPECT_NE(child.DescribeExit().find("signal 9"), std::string::npos) << child.DescribeExit();

    ChildProcess chatty;
    ASSERT_EQ(chatty.Start("/bin/sh", {"-c", "head -c 5000 /dev/zero | tr '\\0' a; echo"}), 0);
    EXPECT_EQ(chatty.ReadLine(line, 5000, 1000), ChildProcess::ReadResult::TOO_LONG);
}

TEST(ChildProcessTest, MissingProgramAndReaping) {
    ChildProcess child;
    EXPECT_EQ(child.Start("/no/such/program", {}), ENOENT);
    EXPECT_FALSE(child.Running());
    EXPECT_EQ(platform::SpawnDetached("/no/such/program", {}), ENOENT);
    EXPECT_EQ(platform::ErrnoText(ENOENT), "No such file or directory");

    pid_t pid = -1;
    {
        ChildProcess sleeper;
        ASSERT_EQ(sleeper.Start("/bin/sh", {"-c", "echo $$; exec sleep 30"}), 0);
        std::string line;
        ASSERT_EQ(sleeper.ReadLine(line, 5000, 100), ChildProcess::ReadResult::LINE);
        pid = std::stoi(line);
        EXPECT_FALSE(Gone(pid));
    } // the destructor kills and reaps it
    EXPECT_TRUE(Gone(pid));
}

} // namespace
