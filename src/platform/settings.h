#pragma once
// The program's settings store: sections of named integer and string values, as the profile functions of
// the original platform offered. The file-backed store keeps them in one INI-style text file under
// $XDG_CONFIG_HOME/Dealscope/; tests use MemorySettings.
#include <map>
#include <string>
#include <utility>

namespace platform {

class ISettings {
public:
    virtual ~ISettings() = default;
    virtual int GetInt(const std::string &section, const std::string &name, int defaultValue) const = 0;
    virtual bool SetInt(const std::string &section, const std::string &name, int value) = 0;
    virtual std::string GetString(const std::string &section, const std::string &name,
                                  const std::string &defaultValue) const = 0; // UTF-8
    virtual bool SetString(const std::string &section, const std::string &name, const std::string &value) = 0;
};

class MemorySettings : public ISettings {
public:
    int GetInt(const std::string &section, const std::string &name, int defaultValue) const override;
    bool SetInt(const std::string &section, const std::string &name, int value) override;
    std::string GetString(const std::string &section, const std::string &name,
                          const std::string &defaultValue) const override;
    bool SetString(const std::string &section, const std::string &name, const std::string &value) override;

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};

// The store the running program uses; MemorySettings until SetAppSettings installs another.
ISettings &AppSettings();
// Returns the store it replaces.
ISettings *SetAppSettings(ISettings *settings);

} // namespace platform
