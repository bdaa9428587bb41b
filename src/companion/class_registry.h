#pragma once
// The classes file: where the companion's automation server is registered. It stands in for the class
// registration of the desktop platform the companion comes from, and lives in the settings folder
// ($XDG_CONFIG_HOME/Dealscope/classes.ini). docs/companion-protocol.md describes its format.
#include <string>
#include <string_view>

namespace companion {

// The companion's class id and ProgID, as it registers them.
inline constexpr std::string_view TRICKSMITH_CLASS_ID = "{3D9A6E21-B84C-4F17-9C05-A1E6D27F8B43}";
inline constexpr std::string_view TRICKSMITH_PROG_ID = "Tricksmith.Object";

// The classes file's full path: "classes.ini" in the settings folder, beside the settings file.
std::string ClassesFilePath();

// A value of the classes file; false when the file, the section or the value is missing.
bool ReadClassesValue(std::string_view section, std::string_view name, std::string &value);

// A registered server path with a run of double quotes removed from its end, then from its start.
std::string StripServerPathQuotes(std::string_view path);

// The local server registered for a class id; false when there is none.
bool FindLocalServer(std::string_view classId, std::string &path);
// The class id registered for a ProgID; false when there is none.
bool FindClassId(std::string_view progId, std::string &classId);

// Registers `serverPath` as the local server of the class id and ProgID, keeping every other section of the
// classes file. Returns an empty text, or why the file could not be written.
std::string RegisterLocalServer(std::string_view classId, std::string_view progId, std::string_view serverPath);

} // namespace companion

// The companion executable's path from its registration; false when it is not registered as expected.
bool GetTricksmithExePath(std::string &path);
