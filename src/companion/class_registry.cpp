#include "companion/class_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/process.h"
#include "platform/wide_text.h"

namespace companion {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return platform::StrICmp(a, b) == 0;
}

struct IniLine {
    std::string text;
    std::string section; // the section the line belongs to ("" before the first header)
    bool header = false;
};

std::vector<IniLine> ReadLines(const std::string &path, bool &found) {
    std::vector<IniLine> lines;
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    std::string text;
    std::string section;
    while (std::getline(in, text)) {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        std::string_view trimmed = Trim(text);
        IniLine line;
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            section = std::string(trimmed.substr(1, trimmed.size() - 2));
            line.header = true;
        }
        line.section = section;
        line.text = std::move(text);
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

std::string SettingsFolder() {
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/Dealscope/";
    const char *home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/Dealscope/";
}

std::string ClassesFilePath() {
    return SettingsFolder() + "classes.ini";
}

bool ReadClassesValue(std::string_view section, std::string_view name, std::string &value) {
    bool found = false;
    for (const IniLine &line : ReadLines(ClassesFilePath(), found)) {
        if (line.header || !SameName(line.section, section))
            continue;
        std::string_view text = Trim(line.text);
        if (text.empty() || text.front() == ';' || text.front() == '#')
            continue;
        size_t equals = text.find('=');
        if (equals == std::string_view::npos || !SameName(Trim(text.substr(0, equals)), name))
            continue;
        std::string_view rest = text.substr(equals + 1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        value.assign(rest);
        return true;
    }
    return false;
}

std::string StripServerPathQuotes(std::string_view path) {
    while (!path.empty() && path.back() == '"')
        path.remove_suffix(1);
    while (!path.empty() && path.front() == '"')
        path.remove_prefix(1);
    return std::string(path);
}

bool FindLocalServer(std::string_view classId, std::string &path) {
    std::string value;
    if (!ReadClassesValue("CLSID\\" + std::string(classId), "LocalServer32", value))
        return false;
    path = StripServerPathQuotes(value);
    return true;
}

bool FindClassId(std::string_view progId, std::string &classId) {
    std::string value;
    if (!ReadClassesValue(progId, "CLSID", value) || value.empty())
        return false;
    classId = value;
    return true;
}

std::string RegisterLocalServer(std::string_view classId, std::string_view progId, std::string_view serverPath) {
    std::string folder = SettingsFolder();
    // Create the settings folder and its parents (mode 0700 as other per-user settings).
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return part + ": " + platform::ErrnoText(errno);
    }
    std::string path = ClassesFilePath();
    std::string classSection = "CLSID\\" + std::string(classId);
    bool found = false;
    std::ostringstream out;
    bool skipping = false;
    for (const IniLine &line : ReadLines(path, found)) {
        if (line.header)
            skipping = SameName(line.section, classSection) || SameName(line.section, progId);
        if (!skipping)
            out << line.text << '\n';
    }
    if (!found)
        out << "; Automation servers that Dealscope can start, by ProgID and class id.\n";
    out << '[' << progId << "]\nCLSID=" << classId << "\n\n";
    out << '[' << classSection << "]\nProgID=" << progId << "\nLocalServer32=" << serverPath << "\n\n";

    // Written beside the file and renamed over it: a reader never sees half a file.
    std::string temporary = path + ".new";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    std::string text = out.str();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        std::remove(temporary.c_str());
        return temporary + ": cannot write the file";
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::string error = platform::ErrnoText(errno);
        std::remove(temporary.c_str());
        return path + ": " + error;
    }
    return {};
}

} // namespace companion

bool GetTricksmithExePath(std::string &path) {
    return companion::FindLocalServer(companion::TRICKSMITH_CLASS_ID, path);
}
