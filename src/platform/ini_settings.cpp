#include "platform/ini_settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/error_report.h"
#include "platform/kept_file.h"
#include "platform/mirror_file.h"
#include "platform/path_text.h"
#include "platform/wide_text.h"

namespace platform {

namespace {

// The name under which a line that is no value is kept (no name read from a line can hold a line feed); as a
// section's name, the lines before the first section.
const std::string RAW_LINE = "\n";

// Values may hold line breaks (window placements, lists); they are kept on one line with backslash escapes.
std::string Escape(const std::string &value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            char next = value[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Creates each missing folder of the path's parent, as mkdir -p would.
void MakeParentFolders(const std::string &path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return;
    }
}

} // namespace

IniSettings::IniSettings(std::string path) : m_path(std::move(path)) {
    std::string reason;
    if (Load(&reason))
        return;
    // Told once per file and run: the classes file is read afresh for every lookup.
    static std::mutex reportedLock;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> hold(reportedLock);
    if (reported.insert(m_path).second)
        ShowError(Utf8ToUtf16("The file cannot be read: " + reason +
                              ". The settings it holds are not used, and it is not changed."),
                  PathBytesToText(m_path));
}

bool IniSettings::Load(std::string *reason) {
    m_sections.clear();
    std::string text, why;
    switch (ReadKeptFile(m_path, text, why)) {
    case KeptFileRead::Missing:
        return true; // no file yet: nothing stored
    case KeptFileRead::Unreadable:
        if (reason)
            *reason = std::move(why);
        return false;
    case KeptFileRead::Read:
        break;
    }
    // An editor may have put a byte-order mark before the first section.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    std::istringstream in(text);
    std::string line;
    Section *current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t equals = line.find('=');
        size_t close = line.starts_with('[') ? line.find(']') : std::string::npos;
        bool sectionLine = close != std::string::npos;
        if (line.empty() || line[0] == ';' || line[0] == '#' ||
            (!sectionLine && (equals == std::string::npos || !current))) {
            // Comments and lines we do not read stay where they are, for whoever wrote them.
            if (!current)
                current = &m_sections.emplace_back(Section{RAW_LINE, {}});
            current->values.emplace_back(RAW_LINE, line);
            continue;
        }
        if (sectionLine) {
            std::string name = line.substr(1, close - 1);
            current = nullptr;
            for (Section &section : m_sections)
                if (section.name == name)
                    current = &section;
            if (!current)
                current = &m_sections.emplace_back(Section{std::move(name), {}});
            continue;
        }
        std::string name = line.substr(0, equals);
        std::string value = Unescape(std::string_view(line).substr(equals + 1));
        bool replaced = false;
        for (auto &entry : current->values)
            if (entry.first == name) {
                entry.second = value;
                replaced = true;
            }
        if (!replaced)
            current->values.emplace_back(std::move(name), std::move(value));
    }
    return true;
}

const std::string *IniSettings::Find(const std::string &section, const std::string &name) const {
    if (section == RAW_LINE || name == RAW_LINE)
        return nullptr;
    for (const Section &s : m_sections)
        if (s.name == section)
            for (const auto &entry : s.values)
                if (entry.first == name)
                    return &entry.second;
    return nullptr;
}

void IniSettings::Store(const std::string &section, const std::string &name, const std::string &value) {
    Section *target = nullptr;
    for (Section &s : m_sections)
        if (s.name == section)
            target = &s;
    if (!target)
        target = &m_sections.emplace_back(Section{section, {}});
    for (auto &entry : target->values)
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    target->values.emplace_back(name, value);
}

std::string IniSettings::Serialize() const {
    std::string text;
    for (const Section &s : m_sections) {
        if (s.name != RAW_LINE) {
            text += '[';
            text += s.name;
            text += "]\n";
        }
        for (const auto &entry : s.values) {
            if (entry.first == RAW_LINE) {
                text += entry.second;
                text += '\n';
                continue;
            }
            text += entry.first;
            text += '=';
            text += Escape(entry.second);
            text += '\n';
        }
    }
    return text;
}

int IniSettings::GetInt(const std::string &section, const std::string &name, int defaultValue) const {
    const std::string *value = Find(section, name);
    if (!value)
        return defaultValue;
    char *end = nullptr;
    long number = std::strtol(value->c_str(), &end, 10);
    return end == value->c_str() ? defaultValue : static_cast<int>(number);
}

bool IniSettings::SetInt(const std::string &section, const std::string &name, int value) {
    return SetString(section, name, std::to_string(value));
}

std::string IniSettings::GetString(const std::string &section, const std::string &name,
                                   const std::string &defaultValue) const {
    const std::string *value = Find(section, name);
    return value ? *value : defaultValue;
}

bool IniSettings::SetString(const std::string &section, const std::string &name, const std::string &value) {
    if (name.find_first_of("=\r\n") != std::string::npos || section.find_first_of("]\r\n") != std::string::npos)
        return false;
    // A file that exists but cannot be read is never overwritten: what it holds would be lost.
    if (!Load())
        return false;
    Store(section, name, value);
    try {
        MakeParentFolders(m_path);
        WriteFileThroughMirror(m_path, Serialize());
        return true;
    } catch (const ProgramException &) {
        return false;
    }
}

std::string DefaultSettingsPath() {
    std::string folder;
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char *home = std::getenv("HOME");
        folder = std::string(home && *home ? home : ".") + "/.config";
    }
    return folder + "/Dealscope/Dealscope.ini";
}

} // namespace platform
