#include "platform/settings.h"

#include <cstdlib>
#include <utility>

namespace platform {

int MemorySettings::GetInt(const std::string &section, const std::string &name, int defaultValue) const {
    auto it = m_values.find({section, name});
    if (it == m_values.end())
        return defaultValue;
    char *end = nullptr;
    long value = std::strtol(it->second.c_str(), &end, 10);
    return end == it->second.c_str() ? defaultValue : static_cast<int>(value);
}

bool MemorySettings::SetInt(const std::string &section, const std::string &name, int value) {
    m_values[{section, name}] = std::to_string(value);
    return true;
}

std::string MemorySettings::GetString(const std::string &section, const std::string &name,
                                      const std::string &defaultValue) const {
    auto it = m_values.find({section, name});
    return it == m_values.end() ? defaultValue : it->second;
}

bool MemorySettings::SetString(const std::string &section, const std::string &name, const std::string &value) {
    m_values[{section, name}] = value;
    return true;
}

namespace {
ISettings *g_installed = nullptr;
}

ISettings &AppSettings() {
    static MemorySettings fallback;
    return g_installed ? *g_installed : fallback;
}

ISettings *SetAppSettings(ISettings *settings) {
    return std::exchange(g_installed, settings);
}

} // namespace platform
