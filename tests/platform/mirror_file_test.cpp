#include "platform/mirror_file.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>

#include <future>

#include "../scratch_test.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"

namespace {

using MirrorFileTest = ScratchTest;

// "" when written, else the message.
std::string Write(const fs::path &target, const std::string &bytes) {
    try {
        platform::WriteFileThroughMirror(target.string(), bytes);
        return "";
    } catch (const platform::ProgramException &error) {
        return platform::Utf16ToUtf8(error.Message());
    }
}

TEST_F(MirrorFileTest, WholeFilesKeepingModeOwnerAndLinks) {
    fs::path target = m_dir / (std::string(248, 'n') + " #1.pbn"); // 255 bytes, the most a name may have
    EXPECT_EQ(Write(target, std::string("a\r\nb\0c", 6)), "");
    EXPECT_EQ(ReadFile(target), std::string("a\r\nb\0c", 6));
    {
        platform::MirrorFile file(target.string());
        file.Write("half of the next");
    } // abandoned: the old file stays, no temporary file beside it
    EXPECT_EQ(ReadFile(target), std::string("a\r\nb\0c", 6));

    // Replacing through a link keeps the link, the file's mode and (root converting a user's file) its owner.
    chmod(target.c_str(), 0640);
    const bool root = geteuid() == 0;
    ASSERT_TRUE(!root || chown(target.c_str(), 4321, 8765) == 0);
    fs::create_symlink(target.filename(), m_dir / "link.txt");
    EXPECT_EQ(Write(m_dir / "link.txt", "through the link"), "");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(ReadFile(target), "through the link");
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_TRUE(!root || (info.st_uid == 4321 && info.st_gid == 8765));

    // A chain of links to a file not yet written creates that file and stays a chain.
    fs::create_directories(m_dir / "results");
    fs::create_symlink("results/latest.pbn", m_dir / "out.pbn");
    fs::create_symlink("out.pbn", m_dir / "chain.pbn");
    EXPECT_EQ(Write(m_dir / "chain.pbn", "first"), "");
    EXPECT_EQ(ReadFile(m_dir / "results" / "latest.pbn"), "first");
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt") && fs::is_symlink(m_dir / "chain.pbn"));
    EXPECT_EQ(Names().size(), 5u);
}

TEST_F(MirrorFileTest, UnwritableTargetsFailWithTheSystemsReason) {
    WriteFile(m_dir / "plain", "x");
    fs::create_symlink("loop", m_dir / "loop");
    for (const auto &[path, reason] :
         std::initializer_list<std::pair<fs::path, std::string>>{{m_dir / "plain" / "out.pbn", "Not a directory"},
                                                                 {m_dir / "loop", "Too many levels of symbolic links"},
                                                                 {m_dir, ""},
                                                                 {"", ""}}) {
        std::string message = Write(path, "data");
        EXPECT_TRUE(!message.empty() && message.find(reason) != std::string::npos) << message;
    }
    EXPECT_EQ(ReadFile(m_dir / "plain"), "x");
    EXPECT_TRUE(fs::is_symlink(m_dir / "loop"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"loop", "plain"}));
}

// Only what an ordinary user (uid 65534) may open for writing is written: a file the user may write but whose
// folder is closed is written in place, keeping its owner; a file the user may not write is refused, whoever
// could replace it.
TEST_F(MirrorFileTest, OrdinaryUserWritesExactlyWhatTheSystemLets) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can hand files to another user";
    const uid_t user = 65534;
    chmod(m_dir.c_str(), 0755);
    const struct {
        mode_t folderMode, fileMode;
        uid_t owner;
        bool written;
    } cases[] = {{0777, 0444, user, false}, {0555, 0644, user, true}, {0777, 0444, 0, false}, {0777, 0666, 0, true}};
    for (const auto &c : cases) {
        fs::path folder = m_dir / std::to_string(&c - cases), target = folder / "out.pbn";
        SCOPED_TRACE(folder);
        fs::create_directory(folder);
        WriteFile(target, "old");
        ASSERT_EQ(chown(target.c_str(), c.owner, c.owner) | chmod(target.c_str(), c.fileMode), 0);
        ASSERT_EQ(chown(folder.c_str(), user, user) | chmod(folder.c_str(), c.folderMode), 0);
        pid_t child = fork();
        if (child == 0) {
            if (setgroups(0, nullptr) | setresgid(user, user, user) | setresuid(user, user, user))
                _exit(2);
            std::string message = Write(target, "new");
            _exit(message.empty() ? 0 : message == "Cannot write the file: Permission denied." ? 1 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.written ? 0 : 1); // 1: refused as it should be
        EXPECT_EQ(ReadFile(target), c.written ? "new" : "old");
        struct stat info;
        ASSERT_EQ(stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        EXPECT_EQ(info.st_mode & 07777, c.fileMode);
        EXPECT_EQ(Names(folder).size(), 1u);
        chmod(folder.c_str(), 0755);
    }
}

TEST_F(MirrorFileTest, PipeTargetIsWrittenInPlace) {
    // Renaming a file over a named pipe (or /dev/null, /dev/stdout) would replace it with a plain file.
    fs::path fifo = m_dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_hard_link(fifo, m_dir / "same pipe");
    std::future<std::string> reader = std::async(std::launch::async, [&] { return ReadFile(fifo); });
    EXPECT_EQ(Write(fifo, "through the pipe"), "");
    // Had the pipe been replaced, the reader would wait for a writer forever: be one, through the other name.
    if (int fd = open((m_dir / "same pipe").c_str(), O_WRONLY | O_NONBLOCK); fd >= 0)
        close(fd);
    EXPECT_EQ(reader.get(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

} // namespace
