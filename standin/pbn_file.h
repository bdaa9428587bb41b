#pragma once
// Reading the PBN file that Dealscope hands over. Only a regular file is read, and only up to a size that the
// largest page could give: a folder, a device, a pipe or a runaway file is no PBN file, and /dev/zero would
// never end.
#include <cstddef>
#include <string>

namespace standin {

inline constexpr size_t MAX_PBN_FILE_BYTES = size_t(1) << 30;

// The file's bytes. False, with the reason in `why`, when it cannot be opened or is no regular file of at most
// MAX_PBN_FILE_BYTES.
bool ReadPbnFile(const std::string &path, std::string &bytes, std::string &why);

} // namespace standin
