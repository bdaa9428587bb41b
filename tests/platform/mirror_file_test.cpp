#include "platform/mirror_file.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <future>
#include <thread>

#include "../scoped_hook.h"
#include "../scratch_test.h"
#include "platform/error_report.h"
#include "platform/interrupt_cleanup.h"
#include "platform/wide_text.h"

namespace {

using MirrorFileTest = ScratchTest;

constexpr uid_t USER = 65534; // an ordinary user

// Runs `body` in a child, as the ordinary user when the test runs as root (root may replace any file), under a
// file size limit when one is given; SIGXFSZ is ignored, so a write past the limit fails with "File too large".
int AsOrdinaryUser(const std::function<int()> &body, rlim_t fileSizeLimit = RLIM_INFINITY) {
    return RunInChild([&] {
        rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit != RLIM_INFINITY && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit)))
            return 2;
        if (geteuid() == 0 && (setgroups(0, nullptr) | setresgid(USER, USER, USER) | setresuid(USER, USER, USER)))
            return 2;
        return body();
    });
}

// A folder closed to the writer (root hands it to the ordinary user) holding a file the writer may write: that file
// can only be written in place.
fs::path ClosedFolderWith(const fs::path &folder, const std::string &bytes) {
    fs::create_directories(folder);
    WriteFile(folder / "out.pbn", bytes);
    EXPECT_EQ(geteuid() == 0 ? chown(folder.c_str(), USER, USER) | chown((folder / "out.pbn").c_str(), USER, USER) : 0,
              0);
    chmod(folder.c_str(), 0555);
    return folder / "out.pbn";
}

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
    for (const auto &[path, reason] : std::initializer_list<std::pair<fs::path, std::string>>{
             {m_dir / "plain" / "out.pbn", "Not a directory"},
             {m_dir / "loop", "Too many levels of symbolic links"},
             {m_dir, ""},
             {m_dir / std::string("plain\0.pbn", 10), "Invalid argument"},
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
    chmod(m_dir.c_str(), 0755);
    const struct {
        mode_t folderMode, fileMode;
        uid_t owner;
        bool written;
    } cases[] = {{0777, 0444, USER, false}, {0555, 0644, USER, true}, {0777, 0444, 0, false}, {0777, 0666, 0, true}};
    for (const auto &c : cases) {
        fs::path folder = m_dir / std::to_string(&c - cases), target = folder / "out.pbn";
        SCOPED_TRACE(folder);
        fs::create_directory(folder);
        WriteFile(target, "old");
        ASSERT_EQ(chown(target.c_str(), c.owner, c.owner) | chmod(target.c_str(), c.fileMode), 0);
        ASSERT_EQ(chown(folder.c_str(), USER, USER) | chmod(folder.c_str(), c.folderMode), 0);
        int result = AsOrdinaryUser([&] {
            std::string message = Write(target, "new");
            return message.empty() ? 0 : message == "Cannot write the file: Permission denied." ? 1 : 3;
        });
        EXPECT_EQ(result, c.written ? 0 : 1); // 1: refused as it should be
        EXPECT_EQ(ReadFile(target), c.written ? "new" : "old");
        struct stat info;
        ASSERT_EQ(stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        EXPECT_EQ(info.st_mode & 07777, c.fileMode);
        EXPECT_EQ(Names(folder).size(), 1u);
        chmod(folder.c_str(), 0755);
    }
}

// A file written in place has room for all of its new content reserved before its first byte changes: where a
// file size limit (or a full disk) allows less, the file keeps its old content whole.
TEST_F(MirrorFileTest, FileWrittenInPlaceIsRefusedWholeWhenTheRoomRunsOut) {
    chmod(m_dir.c_str(), 0755);
    // Each write either gives the file all of its new bytes or leaves it as it was, never a mixture.
    auto expectWholeOrUntouched = [this](const fs::path &target, const std::string &old, const std::string &bytes,
                                         const std::string &message, rlim_t limit) {
        EXPECT_EQ(AsOrdinaryUser([&] { return Write(target, bytes) == message ? 0 : 1; }, limit), 0) << bytes.size();
        EXPECT_TRUE(ReadFile(target) == (message.empty() ? bytes : old));
        EXPECT_EQ(Names(target.parent_path()).size(), 1u);
    };
    const std::string old(3000, 'o');
    const fs::path target = ClosedFolderWith(m_dir / "closed", old);
    expectWholeOrUntouched(target, old, std::string(10000, 'n'), "Cannot write the file: File too large.", 4096);
    expectWholeOrUntouched(target, old, std::string(2000, 's'), "", 4096);
    expectWholeOrUntouched(target, std::string(2000, 's'), "", "", 4096);
    // A file longer than the new content has nothing left to reserve: the limit itself must refuse a new content
    // past it, which would otherwise stop at the limit before the old rest. Up to the limit all of it is written.
    const std::string longer(10000, 'o');
    const fs::path held = ClosedFolderWith(m_dir / "longer", longer);
    expectWholeOrUntouched(held, longer, std::string(4097, 'n'), "Cannot write the file: File too large.", 4096);
    expectWholeOrUntouched(held, longer, std::string(4096, 'a'), "", 4096);
    chmod(target.parent_path().c_str(), 0755);
    chmod(held.parent_path().c_str(), 0755);

    // A full disk: a small one that only root can mount.
    const fs::path disk = m_dir / "disk";
    fs::create_directory(disk);
    if (geteuid() != 0 || mount("tmpfs", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0)
        GTEST_SKIP() << "no small disk can be mounted here";
    const std::string onDisk(20000, 'o');
    const fs::path full = ClosedFolderWith(disk / "closed", onDisk);
    expectWholeOrUntouched(full, onDisk, std::string(100000, 'n'), "Cannot write the file: No space left on device.",
                           RLIM_INFINITY);
    expectWholeOrUntouched(full, onDisk, std::string(30000, 'f'), "", RLIM_INFINITY);
    chmod(full.parent_path().c_str(), 0755);
    umount2(disk.c_str(), MNT_DETACH);
}

// /dev/fd/N and links to it name a descriptor the program holds: the bytes go to it (a pipe, a file opened for
// appending) as they come; the file it leads to is never truncated nor replaced.
TEST_F(MirrorFileTest, HeldDescriptorsAreWrittenAsTheBytesComeAndNeverReplaced) {
    const fs::path log = m_dir / "log";
    WriteFile(log, "start\n");
    auto fd = [](int number) { return "/dev/fd/" + std::to_string(number); };
    int appending = open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC),
        readOnly = open(log.c_str(), O_RDONLY | O_CLOEXEC);
    int ends[2];
    ASSERT_TRUE(appending >= 0 && readOnly >= 0 && pipe2(ends, O_CLOEXEC) == 0);
    fs::create_symlink(fd(appending), m_dir / "link");
    EXPECT_EQ(Write(fd(appending), "one\n"), "");
    EXPECT_EQ(Write(m_dir / "link", "two\n"), "");
    EXPECT_EQ(Write(fd(ends[1]), "piped"), "");
    EXPECT_EQ(Write(fd(readOnly), "x"), "Cannot write the file: Bad file descriptor.");
    close(readOnly);
    EXPECT_EQ(Write(fd(readOnly), "x"), "Cannot write the file: Bad file descriptor.");
    close(appending);
    close(ends[1]);
    EXPECT_EQ(ReadFile(fd(ends[0])), "piped");
    close(ends[0]);
    EXPECT_EQ(ReadFile(log), "start\none\ntwo\n"); // a file put in its place would hold "two" alone
    EXPECT_EQ(Names(), (std::vector<std::string>{"link", "log"}));
}

// A temporary file that an interrupt finds is removed before the run ends, with the signal's own status; a
// signal the run was told to ignore stays ignored.
TEST_F(MirrorFileTest, InterruptedWriteLeavesNoTemporaryFile) {
    const fs::path target = m_dir / "out.pbn";
    WriteFile(target, "old");
    for (int interrupt : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        const int ended = RunInChild([&] {
            const rlimit noCore{0, 0}; // SIGQUIT's default action
            setrlimit(RLIMIT_CORE, &noCore);
            signal(SIGHUP, interrupt == SIGHUP ? SIG_DFL : SIG_IGN); // as nohup would
            platform::RemoveTemporaryFilesOnInterrupt();
            platform::MirrorFile file(target.string());
            file.Write("part of the new");
            if (Names().size() != 2) // the temporary file beside the target
                return 1;
            kill(getpid(), SIGHUP); // ignored, but for the run that takes it as its interrupt
            kill(getpid(), interrupt);
            return 2; // went on
        });
        EXPECT_EQ(ended, 128 + interrupt) << strsignal(interrupt);
        EXPECT_EQ(Names(), std::vector<std::string>{"out.pbn"});
        EXPECT_EQ(ReadFile(target), "old");
    }
}

// An interrupt that comes while a file is overwritten in place, after its new beginning and before its old rest is
// cut off, waits for the file to be whole and then ends the run as usual; whether the writing thread or another
// one takes it.
TEST_F(MirrorFileTest, InterruptDuringAnInPlaceWriteWaitsForTheWholeFile) {
    chmod(m_dir.c_str(), 0755);
    const std::string old(10000, 'o'), bytes(3000, 'n');
    const fs::path target = ClosedFolderWith(m_dir / "closed", old);
    for (int interrupt : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        for (bool otherThread : {false, true}) {
            SCOPED_TRACE(std::string(strsignal(interrupt)) + (otherThread ? " in another thread" : ""));
            WriteFile(target, old);
            const int ended = AsOrdinaryUser([&] {
                const rlimit noCore{0, 0};
                setrlimit(RLIMIT_CORE, &noCore);
                platform::RemoveTemporaryFilesOnInterrupt();
                // Sent to the process: taken by the writing thread, or by another that has it unblocked (a thread
                // started during the write inherits the writer's mask), as a window's threads would.
                auto send = [&] {
                    sigset_t unblocked;
                    sigemptyset(&unblocked);
                    sigaddset(&unblocked, interrupt);
                    if (otherThread)
                        pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
                    kill(getpid(), interrupt);
                };
                ScopedHook<platform::SetInPlaceWriteHook> hook(
                    [&] { otherThread ? std::thread(send).join() : send(); });
                Write(target, bytes);
                return 2; // went on
            });
            EXPECT_EQ(ended, 128 + interrupt);
            EXPECT_TRUE(ReadFile(target) == bytes); // not its new beginning before the old rest
            EXPECT_EQ(Names(target.parent_path()).size(), 1u);
        }
    chmod(target.parent_path().c_str(), 0755);
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
    // A pipe that no program reads is refused at once: the open must not wait for a reader that never comes.
    const std::string noReader = "Cannot write the file: it is a named pipe that no program is reading.";
    EXPECT_EQ(RunInChild([&] { return Write(fifo, "nobody reads") == noReader ? 0 : 1; }), 0);
}

} // namespace
