#include "companion/class_registry.h"

#include "platform/ini_settings.h"

namespace companion {

std::string ClassesFilePath() {
    std::string path = platform::DefaultSettingsPath();
    return path.substr(0, path.rfind('/') + 1) + "classes.ini";
}

bool ReadClassesValue(std::string_view section, std::string_view name, std::string &value) {
    // The classes file is read afresh each time: the companion may have been registered since the last look.
    platform::IniSettings classes(ClassesFilePath());
    // A value cannot hold a NUL, so it tells a missing value from an empty one.
    const std::string missing(1, '\0');
    std::string found = classes.GetString(std::string(section), std::string(name), missing);
    if (found == missing)
        return false;
    value = std::move(found);
    return true;
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
    platform::IniSettings classes(ClassesFilePath());
    std::string classSection = "CLSID\\" + std::string(classId);
    if (!classes.SetString(std::string(progId), "CLSID", std::string(classId)) ||
        !classes.SetString(classSection, "ProgID", std::string(progId)) ||
        !classes.SetString(classSection, "LocalServer32", std::string(serverPath)))
        return ClassesFilePath() + ": the file could not be written";
    return {};
}

} // namespace companion

bool GetTricksmithExePath(std::string &path) {
    return companion::FindLocalServer(companion::TRICKSMITH_CLASS_ID, path);
}
