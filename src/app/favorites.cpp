#include "app/favorites.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error_report.h"
#include "platform/kept_file.h"
#include "platform/mirror_file.h"
#include "platform/wide_text.h"

namespace {

constexpr char FAVORITES_FILE_NAME[] = "DealscopeFavorites.txt";

std::string HomeFolder() {
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir)
        return pw->pw_dir;
    return {};
}

bool IsDirectory(const std::string &path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted path, absolute or starting with "$HOME".
std::string ConfiguredDocumentsFolder(const std::string &home) {
    std::string configHome;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        configHome = xdg;
    else if (!home.empty())
        configHome = home + "/.config";
    // The desktop's own file; one that cannot be read (or is no regular file) names no folder.
    std::string bytes, reason;
    if (platform::ReadKeptFile(configHome + "/user-dirs.dirs", bytes, reason) != platform::KeptFileRead::Read)
        bytes.clear();
    std::istringstream in(bytes);
    std::string line, value;
    while (std::getline(in, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 18, "XDG_DOCUMENTS_DIR=") != 0)
            continue;
        std::string text = line.substr(start + 18);
        if (text.size() >= 2 && text.front() == '"') {
            size_t close = text.find('"', 1);
            text = close == std::string::npos ? std::string() : text.substr(1, close - 1);
        }
        if (text.rfind("$HOME", 0) == 0)
            value = home + text.substr(5);
        else if (!text.empty() && text.front() == '/')
            value = text;
    }
    if (value.empty())
        if (const char *env = std::getenv("XDG_DOCUMENTS_DIR"); env && *env == '/')
            value = env;
    return value;
}

[[noreturn]] void ReportFileError(std::u16string message, const std::string &path) {
    platform::ReportException(platform::ProgramException(std::move(message)), platform::Utf8ToUtf16(path));
}

} // namespace

void FavoritesLines::Append(std::u16string favorite, std::string line) {
    favorites.push_back(std::move(favorite));
    lines.push_back(std::move(line));
}

FavoritesLines ParseFavorites(std::string_view bytes) {
    FavoritesLines entries;
    size_t start = 0;
    for (size_t lf = bytes.find('\n'); lf != std::string_view::npos; lf = bytes.find('\n', start)) {
        size_t end = lf > start && bytes[lf - 1] == '\r' ? lf - 1 : lf;
        const std::string_view line = bytes.substr(start, end - start);
        entries.Append(platform::Utf8ToUtf16(line), std::string(line));
        start = lf + 1;
    }
    return entries;
}

std::string FormatFavorites(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string GetDocumentsFolder() {
    const std::string home = HomeFolder();
    std::string folder = ConfiguredDocumentsFolder(home);
    if (!IsDirectory(folder))
        folder = home;
    if (folder.empty())
        throw platform::ProgramException(u"The Documents folder cannot be found: no home folder is set.");
    return folder;
}

std::string GetFavoritesPath() {
    return (std::filesystem::path(GetDocumentsFolder()) / FAVORITES_FILE_NAME).string();
}

FavoritesList::FavoritesList(std::string path) : m_path(std::move(path)) {}

std::string FavoritesList::Path() const {
    return m_path.empty() ? GetFavoritesPath() : m_path;
}

bool FavoritesList::LoadFavorites() {
    m_entries = {};
    m_bFileUnreadable = false;
    std::string path;
    try {
        path = Path();
        std::string bytes, reason;
        switch (platform::ReadKeptFile(path, bytes, reason)) {
        case platform::KeptFileRead::Missing:
            return true;
        case platform::KeptFileRead::Unreadable:
            m_bFileUnreadable = true;
            ReportFileError(platform::Utf8ToUtf16("The favorites file cannot be read: " + reason + "."), path);
        case platform::KeptFileRead::Read:
            break;
        }
        m_entries = ParseFavorites(bytes);
        return true;
    } catch (const platform::UserException &) {
        return false; // already reported
    } catch (const platform::ProgramException &e) {
        m_bFileUnreadable = true; // no Documents folder: there is nothing safe to write to either
        try {
            platform::ReportException(e, platform::Utf8ToUtf16(path));
        } catch (const platform::UserException &) {
        }
        return false;
    }
}

void FavoritesList::SaveFavorites(const std::vector<int> &order) {
    FavoritesLines entries;
    for (int favorite : order) {
        const auto index = static_cast<size_t>(favorite);
        entries.Append(m_entries.favorites.at(index), m_entries.lines.at(index));
    }
    Save(std::move(entries));
}

void FavoritesList::AddFavorite(std::u16string_view url) {
    FavoritesLines entries = m_entries;
    entries.Append(std::u16string(url), platform::Utf16ToUtf8(url));
    Save(std::move(entries));
}

void FavoritesList::Save(FavoritesLines entries) {
    std::string path;
    try {
        path = Path();
    } catch (const platform::ProgramException &e) {
        platform::ReportException(e);
    }
    if (m_bFileUnreadable)
        platform::FatalError(u"The favorites file could not be read when the program started, so it is not "
                             u"overwritten. Correct or remove the file and start the program again.",
                             platform::Utf8ToUtf16(path));
    try {
        platform::WriteFileThroughMirror(path, FormatFavorites(entries.lines));
    } catch (const platform::ProgramException &e) {
        platform::ReportException(e, platform::Utf8ToUtf16(path));
    }
    m_entries = std::move(entries);
}

bool FavoritesList::CanAdd(std::u16string_view url) const {
    if (url.empty())
        return false;
    for (const std::u16string &entry : m_entries.favorites)
        if (platform::WcsICmp(entry, url) == 0)
            return false;
    return true;
}

FavoritesList &AppFavorites() {
    static FavoritesList list;
    return list;
}
