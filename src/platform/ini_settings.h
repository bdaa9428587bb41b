#pragma once
// The settings store of the running program: one INI-style text file, "[Section]" lines followed by
// "Name=value" lines, UTF-8. Every change rewrites the file through a MirrorFile, after re-reading it so that
// what another running copy of the program stored in the meantime is kept.
#include <string>
#include <utility>
#include <vector>

#include "platform/settings.h"

namespace platform {

class IniSettings : public ISettings {
public:
    // Reads the file when it exists; a missing or unreadable file gives an empty store, and an unreadable one
    // (a pipe or a device among them) a message, once per run.
    explicit IniSettings(std::string path);

    int GetInt(const std::string &section, const std::string &name, int defaultValue) const override;
    bool SetInt(const std::string &section, const std::string &name, int value) override;
    std::string GetString(const std::string &section, const std::string &name,
                          const std::string &defaultValue) const override;
    // False when the file could not be read again or written (or the name cannot be stored); the file is then
    // unchanged.
    bool SetString(const std::string &section, const std::string &name, const std::string &value) override;

    const std::string &Path() const { return m_path; }

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };

    // False when the file exists but could not be read (the store is then empty; `reason` says why).
    bool Load(std::string *reason = nullptr);
    const std::string *Find(const std::string &section, const std::string &name) const;
    void Store(const std::string &section, const std::string &name, const std::string &value);
    std::string Serialize() const;

    std::string m_path;
    std::vector<Section> m_sections;
};

// "$XDG_CONFIG_HOME/Dealscope/Dealscope.ini", or "~/.config/Dealscope/Dealscope.ini" without that variable.
std::string DefaultSettingsPath();

} // namespace platform
