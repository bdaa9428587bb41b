#pragma once
// A file that is never left half-written: the bytes go to a temporary file beside the target, which replaces the
// target only when everything was written and flushed to disk. On any failure the target keeps its old content
// (or stays absent) and the temporary file is removed; so does an interrupted run (interrupt_cleanup.h).
// Only a target the user may open for writing is written; one that may be written but not replaced (its folder
// is closed to the user, or the new file could not keep the old one's owner) is overwritten in place, once all
// of its new content is at hand, the file size limit allows its length and room for all of it is reserved on the
// disk; the interrupts that end a run are held off until it is whole.
// A target that is a device or a pipe is written directly, as the bytes come; so is a descriptor the program
// already holds (/dev/stdout, /dev/stderr, /dev/fd/N): what it leads to is never truncated nor replaced, and a
// write that fails part way there cannot be taken back.
#include <functional>
#include <string>
#include <string_view>

namespace platform {

class MirrorFile {
public:
    // Creates the temporary file beside the target (a UTF-8 path). Throws ProgramException with the system's
    // reason when the folder does not allow it.
    explicit MirrorFile(std::string targetPath);
    ~MirrorFile(); // abandons the temporary file unless Commit succeeded
    MirrorFile(const MirrorFile &) = delete;
    MirrorFile &operator=(const MirrorFile &) = delete;

    // Throws ProgramException on a write error (a full disk, a quota).
    void Write(std::string_view bytes);
    // Flushes the temporary file to disk and puts it in the target's place. Throws ProgramException on failure,
    // after removing the temporary file.
    void Commit();
    // Removes the temporary file; the target is untouched.
    void Abort() noexcept;

    const std::string &TargetPath() const { return m_targetPath; }

private:
    void ForgetTempFile() noexcept; // removes the temporary file and its entry among the pending ones

    std::string m_targetPath;
    std::string m_tempPath;
    int m_fd = -1;
    int m_pendingSlot = -1; // the temporary file's entry among those an interrupt removes
    bool m_direct = false;  // the target is a device, a pipe or a held descriptor, written as the bytes come
    bool m_inPlace = false; // the target is overwritten at Commit with m_pending
    std::string m_pending;
};

// Called while a file is overwritten in place, once its new bytes are written and before it is cut to their length,
// where an interrupt would do most harm: a test sends one there. Returns the hook it replaces.
using InPlaceWriteHook = std::function<void()>;
InPlaceWriteHook SetInPlaceWriteHook(InPlaceWriteHook hook);

// Writes all bytes through a MirrorFile. Throws ProgramException on failure; the target is then untouched.
void WriteFileThroughMirror(const std::string &targetPath, std::string_view bytes);

} // namespace platform
