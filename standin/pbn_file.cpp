#include "pbn_file.h"

#include <cerrno>
#include <cstring>

#include "platform/kept_file.h"

namespace standin {

bool ReadPbnFile(const std::string &path, std::string &bytes, std::string &why) {
    int error = 0;
    switch (platform::ReadRegularFile(path, MAX_PBN_FILE_BYTES, bytes, error)) {
    case platform::RegularFileRead::Read:
        return true;
    case platform::RegularFileRead::Missing:
        why = std::strerror(ENOENT);
        break;
    case platform::RegularFileRead::Folder:
        why = std::strerror(EISDIR);
        break;
    case platform::RegularFileRead::NotRegular:
        why = "not a regular file";
        break;
    case platform::RegularFileRead::TooLarge:
        why = "larger than " + std::to_string(MAX_PBN_FILE_BYTES) + " bytes";
        break;
    case platform::RegularFileRead::Failed:
        why = std::strerror(error);
        break;
    }
    return false;
}

} // namespace standin
