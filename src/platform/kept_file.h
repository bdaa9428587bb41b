#pragma once
// Reading a file that the program keeps for the user (settings, the classes file, favorites), or one handed over
// to it. Only a regular file is read: a pipe would make the program wait for a writer that never comes, and a
// device (a link to /dev/zero) would be read without end. Such a file counts as unreadable, and so is never
// overwritten either.
#include <cstddef>
#include <string>

namespace platform {

// Larger than any settings or favorites file the program writes; a larger one is not read.
constexpr size_t MAX_KEPT_FILE_BYTES = 16 * 1024 * 1024;

enum class RegularFileRead { Read, Missing, Folder, NotRegular, TooLarge, Failed };

// Reads the whole of a regular file of at most `maxBytes` into `bytes` (emptied unless Read). Missing: there is
// no such file (nor a dangling link's target); Failed: `error` holds the errno.
RegularFileRead ReadRegularFile(const std::string &path, size_t maxBytes, std::string &bytes, int &error);

enum class KeptFileRead { Read, Missing, Unreadable };

// Reads the whole file into `bytes`. Missing: there is no such file (nor a dangling link's target); Unreadable:
// `reason` holds why, as a sentence without its full stop ("Permission denied", "it is not a regular file").
KeptFileRead ReadKeptFile(const std::string &path, std::string &bytes, std::string &reason);

} // namespace platform
