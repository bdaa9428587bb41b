#include "platform/mirror_file.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <future>

#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scratch_dir.h"

namespace {

using platform::WriteFileThroughMirror;
using MirrorFileTest = ScratchDirTest;

TEST_F(MirrorFileTest, WritesWholeFilesOrLeavesTheOldOne) {
    fs::path target = m_dir / (std::string(248, 'n') + " #1.pbn"); // 255 bytes, the most a name may have
    WriteFileThroughMirror(target.string(), std::string("a\r\nb\0c", 6));
    EXPECT_EQ(ReadFile(target), std::string("a\r\nb\0c", 6));
    WriteFileThroughMirror(target.string(), "new");
    EXPECT_EQ(ReadFile(target), "new");
    {
        platform::MirrorFile file(target.string());
        file.Write("half of the next");
        EXPECT_EQ(EntryCount(), 2u);
    } // abandoned
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(EntryCount(), 1u); // no temporary file left beside it

    platform::MirrorFile once(target.string());
    once.Write("one");
    once.Commit();
    EXPECT_THROW(once.Commit(), platform::ProgramException);
    EXPECT_THROW(once.Write("two"), platform::ProgramException);
    EXPECT_EQ(ReadFile(target), "one");
}

TEST_F(MirrorFileTest, UnwritableTargetsFailWithTheSystemsReason) {
    fs::path blocker = m_dir / "plain";
    WriteFile(blocker, "x");
    fs::create_symlink("loop", m_dir / "loop");
    const struct {
        std::string path;
        const char16_t *reason;
    } cases[] = {{(blocker / "out.pbn").string(), u"Not a directory"},
                 {(m_dir / "loop").string(), u"Too many levels of symbolic links"},
                 {m_dir.string(), u""},
                 {"", u""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        try {
            WriteFileThroughMirror(c.path, "data");
            ADD_FAILURE() << "the write succeeded";
        } catch (const platform::ProgramException &error) {
            EXPECT_NE(error.Message().find(c.reason), std::u16string::npos) << platform::Utf16ToUtf8(error.Message());
        }
    }
    EXPECT_EQ(ReadFile(blocker), "x");
    EXPECT_TRUE(fs::is_symlink(m_dir / "loop"));
    EXPECT_EQ(EntryCount(), 2u);
}

// Writes as an ordinary user would (uid 65534 when the tests run as root): "" when written, else the message.
std::string WriteAsOrdinaryUser(const fs::path &target, const std::string &bytes) {
    int result[2];
    if (pipe(result) != 0)
        return "no pipe";
    pid_t pid = fork();
    if (pid == 0) {
        close(result[0]);
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0))
            _exit(2);
        std::string message;
        try {
            WriteFileThroughMirror(target.string(), bytes);
        } catch (const platform::ProgramException &error) {
            message = platform::Utf16ToUtf8(error.Message());
        }
        _exit(write(result[1], message.data(), message.size()) == static_cast<ssize_t>(message.size()) ? 0 : 1);
    }
    close(result[1]);
    std::string message;
    char buffer[512];
    for (ssize_t got; (got = read(result[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<size_t>(got));
    close(result[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? message : "the writer failed";
}

// Only what the user may open for writing is written: a file the user may write but whose folder is closed is
// written in place, keeping its owner; a file the user may not write is refused, whoever could replace it.
TEST_F(MirrorFileTest, OrdinaryUserWritesExactlyWhatTheSystemLets) {
    const bool root = geteuid() == 0;
    const uid_t user = root ? 65534 : geteuid(), other = root ? 0 : geteuid();
    chmod(m_dir.c_str(), 0755);
    const struct {
        const char *name;
        mode_t folderMode, fileMode;
        uid_t owner;
        bool written;
    } cases[] = {
        {"own read-only file", 0777, 0444, user, false},
        {"own file in a closed folder", 0555, 0644, user, true},
        {"another's read-only file in an open folder", 0777, 0444, other, false},
        {"another's writable file in an open folder", 0777, 0666, other, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path folder = m_dir / c.name, target = folder / "out.pbn";
        fs::create_directory(folder);
        WriteFile(target, "old");
        ASSERT_EQ(chown(target.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(chmod(target.c_str(), c.fileMode), 0);
        ASSERT_EQ(chown(folder.c_str(), user, user), 0);
        ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
        std::string message = WriteAsOrdinaryUser(target, "new");
        EXPECT_EQ(message, c.written ? "" : "Cannot write the file: Permission denied.");
        EXPECT_EQ(ReadFile(target), c.written ? "new" : "old");
        struct stat info;
        ASSERT_EQ(stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        EXPECT_EQ(info.st_mode & 07777, c.fileMode);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
        chmod(folder.c_str(), 0755);
    }
}

TEST_F(MirrorFileTest, ReplacedFileKeepsPermissionsAndOwnerAndLinksStayLinks) {
    fs::path target = m_dir / "kept.txt";
    WriteFile(target, "old");
    chmod(target.c_str(), 0640);
    // Root converting into a user's file must leave it the user's.
    bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(target.c_str(), 4321, 8765), 0);
    }
    fs::create_symlink(target, m_dir / "link.txt");
    WriteFileThroughMirror((m_dir / "link.txt").string(), "through the link");
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt"));
    EXPECT_EQ(ReadFile(target), "through the link");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 8765u);
    }

    // A chain of links to a file not yet written creates that file and stays a chain.
    fs::create_directories(m_dir / "results");
    fs::create_symlink("results/latest.pbn", m_dir / "out.pbn");
    fs::create_symlink("out.pbn", m_dir / "chain.pbn");
    WriteFileThroughMirror((m_dir / "chain.pbn").string(), "first");
    EXPECT_TRUE(fs::is_symlink(m_dir / "chain.pbn"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "out.pbn"));
    EXPECT_EQ(ReadFile(m_dir / "results" / "latest.pbn"), "first");
    EXPECT_EQ(EntryCount(), 5u);
}

TEST_F(MirrorFileTest, PipeTargetIsWrittenInPlace) {
    // Renaming a file over a named pipe (or /dev/null, /dev/stdout) would replace it with a plain file.
    fs::path fifo = m_dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_hard_link(fifo, m_dir / "same pipe");
    std::future<std::string> reader = std::async(std::launch::async, [&] { return ReadFile(fifo); });
    WriteFileThroughMirror(fifo.string(), "through the pipe");
    // Had the pipe been replaced, the reader would wait for a writer forever: be one, through the other name.
    int fd = open((m_dir / "same pipe").c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        close(fd);
    EXPECT_EQ(reader.get(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(EntryCount(), 2u);
}

} // namespace
