#pragma once
// A private world for each companion test: its own HOME, XDG_CONFIG_HOME (where the classes file lives) and
// TMPDIR, an error sink that records what the user would see, and short transport time limits.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "companion/automation_client.h"
#include "companion/class_registry.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scoped_hook.h"

class CompanionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "companion-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        std::filesystem::create_directories(m_root / "tmp");
        SaveAndSet("HOME", (m_root / "home").string());
        SaveAndSet("XDG_CONFIG_HOME", (m_root / "home" / ".config").string());
        SaveAndSet("TMPDIR", (m_root / "tmp").string());
        SaveAndSet("FAKE_COMPANION_LOG", (m_root / "fake.log").string());
        SaveAndSet("FAKE_COMPANION_MODE", "normal");
    }

    void TearDown() override {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    // Real analyses under load (sanitizers, parallel tests) need the program's own time limits.
    static void UseProgramTimeLimits() { companion::SetTransportLimits(companion::TransportLimits{}); }

    void SaveAndSet(const std::string &name, const std::string &value) {
        const char *old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    static void Register(const std::string &serverPath) {
        ASSERT_EQ(
            companion::RegisterLocalServer(companion::TRICKSMITH_CLASS_ID, companion::TRICKSMITH_PROG_ID, serverPath),
            "");
    }
    // The way a user registers the stand-in.
    static void RegisterStandin() {
        ASSERT_EQ(std::system((std::string(TRICKSMITH_STANDIN) + " --register >/dev/null").c_str()), 0);
    }

    // The files in the private temporary folder, by name.
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(m_root / "tmp"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string ReadFile(const std::filesystem::path &path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // The file once it exists (waiting up to 10 s), for what a started program writes.
    static std::string ReadFileWhenThere(const std::filesystem::path &path) {
        for (int i = 0; i < 1000 && !std::filesystem::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return ReadFile(path);
    }

    // The numbers after `key` on the lines of the fake server's log ("pid", "helper").
    std::vector<pid_t> FakeLogged(const std::string &key = "pid") const {
        std::vector<pid_t> pids;
        std::ifstream log(m_root / "fake.log");
        std::string line;
        while (std::getline(log, line))
            if (line.starts_with(key + " "))
                pids.push_back(static_cast<pid_t>(std::stol(line.substr(key.size() + 1))));
        return pids;
    }

    // Every fake server that was started is gone and reaped (no zombie either).
    void ExpectNoServerLeft() const {
        for (pid_t pid : FakeLogged())
            EXPECT_TRUE(kill(pid, 0) != 0 && errno == ESRCH) << "server " << pid << " still exists";
    }

    // True when the action abandoned its command with an error.
    static bool Fails(const std::function<void()> &action) {
        try {
            action();
        } catch (const platform::UserException &) {
            return true;
        }
        return false;
    }

    std::string Error(size_t index = 0) const {
        return index < m_errors.size() ? platform::Utf16ToUtf8(m_errors[index]) : std::string("<no error>");
    }

    std::filesystem::path m_root;
    std::vector<std::u16string> m_errors;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
    ScopedHook<platform::SetErrorSink> m_sink{[this](const std::u16string &text) { m_errors.push_back(text); }};
    ScopedHook<companion::SetTransportLimits> m_limits{companion::TransportLimits{5000, 3000, 2000}};
};
