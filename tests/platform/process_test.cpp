// The child processes under the companion transport: a child that goes away while we write does not take us with
// it, replies are bounded in time and length, and every child is reaped.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

namespace {

using platform::ChildProcess;
using Read = ChildProcess::ReadResult;

TEST(ChildProcess, LinesLimitsEndsAndReaping) {
    pid_t pid = -1;
    std::string line;
    {
        ChildProcess child;
        ASSERT_EQ(child.Start("/bin/sh", {"-c", "echo $$; read x; printf 'got %s\\r\\nno end' \"$x\"; exec sleep 30"}),
                  0);
        ASSERT_EQ(child.ReadLine(line, 5000, 100), Read::LINE);
        pid = std::stoi(line);
        ASSERT_TRUE(child.WriteLine("ping"));
        EXPECT_EQ(child.ReadLine(line, 5000, 8), Read::LINE); // exactly as long as allowed
        EXPECT_EQ(line, "got ping");
        EXPECT_EQ(child.ReadLine(line, 200, 100), Read::TIMEOUT);
    } // the destructor kills and reaps it
    EXPECT_TRUE(kill(pid, 0) != 0 && errno == ESRCH);

    ChildProcess killed;
    ASSERT_EQ(killed.Start("/bin/sh", {"-c", "head -c 5000 /dev/zero | tr '\\0' a; echo; exec sleep 30"}), 0);
    EXPECT_EQ(killed.ReadLine(line, 5000, 1000), Read::TOO_LONG);
    killed.Kill();
    EXPECT_FALSE(killed.Running());
    EXPECT_NE(killed.DescribeExit().find("signal 9"), std::string::npos) << killed.DescribeExit();

    ChildProcess ended, deaf;
    ASSERT_EQ(ended.Start("/bin/sh", {"-c", "exit 4"}), 0);
    ASSERT_TRUE(ended.WaitExit(5000));
    EXPECT_EQ(ended.DescribeExit(), "exit status 4");
    EXPECT_FALSE(ended.WriteLine("anyone there?"));
    ASSERT_EQ(deaf.Start("/bin/sh", {"-c", "exec 0<&-; sleep 5"}), 0);
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i)
        failed = !deaf.WriteLine(std::string(4096, 'x'));
    EXPECT_TRUE(failed);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)); // nor is a SIGPIPE left waiting for us
}

} // namespace
