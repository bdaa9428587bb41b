#pragma once
// Reading a file that the program keeps for the user (settings, the classes file, favorites). Only a regular
// file is read: a pipe would make the program wait for a writer that never comes, and a device (a link to
// /dev/zero) would be read without end. Such a file counts as unreadable, and so is never overwritten either.
#include <cstddef>
#include <string>

namespace platform {

// Larger than any settings or favorites file the program writes; a larger one is not read.
constexpr size_t MAX_KEPT_FILE_BYTES = 16 * 1024 * 1024;

enum class KeptFileRead { Read, Missing, Unreadable };

// Reads the whole file into `bytes`. Missing: there is no such file (nor a dangling link's target); Unreadable:
// `reason` holds why, as a sentence without its full stop ("Permission denied", "it is not a regular file").
KeptFileRead ReadKeptFile(const std::string &path, std::string &bytes, std::string &reason);

} // namespace platform
