#include "platform/mirror_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "platform/error_report.h"
#include "platform/wide_text.h"

namespace fs = std::filesystem;

namespace {

class MirrorFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("dealscope-mirror-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string Read(const fs::path &path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const fs::path &path, const std::string &bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    size_t EntriesInDir() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {})); }

    fs::path m_dir;
};

TEST_F(MirrorFileTest, WritesNewFileAndReplacesOldOne) {
    fs::path target = m_dir / "club results #1.pbn";
    platform::WriteFileThroughMirror(target.string(), std::string("a\r\nb\0c", 6));
    EXPECT_EQ(Read(target), std::string("a\r\nb\0c", 6));
    platform::WriteFileThroughMirror(target.string(), "new");
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(EntriesInDir(), 1u); // no temporary file left beside it
}

TEST_F(MirrorFileTest, AbandonedFileLeavesTargetUntouched) {
    fs::path target = m_dir / "out.txt";
    Write(target, "old content");
    {
        platform::MirrorFile file(target.string());
        file.Write("half of the new");
        EXPECT_EQ(EntriesInDir(), 2u);
    }
    EXPECT_EQ(Read(target), "old content");
    EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(MirrorFileTest, PathUnderRegularFileFailsWithSystemReason) {
    fs::path blocker = m_dir / "plain";
    Write(blocker, "x");
    fs::path target = blocker / "out.pbn";
    try {
        platform::WriteFileThroughMirror(target.string(), "data");
        FAIL() << "writing under a regular file succeeded";
    } catch (const platform::ProgramException &error) {
        EXPECT_NE(error.Message().find(u"Not a directory"), std::u16string::npos)
            << platform::Utf16ToUtf8(error.Message());
    }
    EXPECT_EQ(Read(blocker), "x");
    EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(MirrorFileTest, FolderAsTargetFailsAndEmptyNameFails) {
    EXPECT_THROW(platform::WriteFileThroughMirror(m_dir.string(), "data"), platform::ProgramException);
    EXPECT_THROW(platform::WriteFileThroughMirror("", "data"), platform::ProgramException);
    EXPECT_EQ(EntriesInDir(), 0u);
}

TEST_F(MirrorFileTest, ReplacedFileKeepsPermissionsAndLinksStayLinks) {
    fs::path target = m_dir / "kept.txt";
    Write(target, "old");
    chmod(target.c_str(), 0640);
    fs::path link = m_dir / "link.txt";
    fs::create_symlink(target, link);
    platform::WriteFileThroughMirror(link.string(), "through the link");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(target), "through the link");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(MirrorFileTest, ReplacedFileKeepsItsOwner) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    // Root converting into a user's file must leave it the user's.
    fs::path target = m_dir / "users.pbn";
    Write(target, "old");
    ASSERT_EQ(chown(target.c_str(), 4321, 8765), 0);
    platform::WriteFileThroughMirror(target.string(), "new");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 8765u);
    EXPECT_EQ(Read(target), "new");
}

TEST_F(MirrorFileTest, LinkToAFileNotYetWrittenCreatesThatFile) {
    fs::create_directories(m_dir / "results");
    fs::create_symlink("results/latest.pbn", m_dir / "out.pbn");
    fs::create_symlink("out.pbn", m_dir / "chain.pbn");
    platform::WriteFileThroughMirror((m_dir / "chain.pbn").string(), "first");
    EXPECT_TRUE(fs::is_symlink(m_dir / "chain.pbn"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "out.pbn"));
    EXPECT_EQ(Read(m_dir / "results" / "latest.pbn"), "first");
    EXPECT_EQ(EntriesInDir(), 3u);
}

TEST_F(MirrorFileTest, CommitTwiceIsRefused) {
    fs::path target = m_dir / "once.txt";
    platform::MirrorFile file(target.string());
    file.Write("one");
    file.Commit();
    EXPECT_THROW(file.Commit(), platform::ProgramException);
    EXPECT_THROW(file.Write("two"), platform::ProgramException);
    EXPECT_EQ(Read(target), "one");
}

TEST_F(MirrorFileTest, PipeTargetIsWrittenInPlace) {
    // Renaming a file over a named pipe (or /dev/null, /dev/stdout) would replace it with a plain file.
    fs::path fifo = m_dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_hard_link(fifo, m_dir / "same pipe");
    std::future<std::string> reader = std::async(std::launch::async, [&] { return Read(fifo); });
    platform::WriteFileThroughMirror(fifo.string(), "through the pipe");
    // Had the pipe been replaced, the reader would wait for a writer forever: be one, through the other name.
    int fd = open((m_dir / "same pipe").c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        close(fd);
    EXPECT_EQ(reader.get(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(EntriesInDir(), 2u);
}

TEST_F(MirrorFileTest, LongestAllowedNameCanBeWritten) {
    fs::path target = m_dir / (std::string(251, 'n') + ".pbn"); // 255 bytes, the most a name may have
    platform::WriteFileThroughMirror(target.string(), "long");
    EXPECT_EQ(Read(target), "long");
    EXPECT_EQ(EntriesInDir(), 1u);
}

} // namespace
