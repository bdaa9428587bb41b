#pragma once
// Each companion or program test's own HOME, XDG_CONFIG_HOME and TMPDIR, the errors the user would see, short time
// limits.
#include <unistd.h>

#include <sstream>

#include "../scratch_test.h"
#include "app/batch_page_source.h"
#include "companion/automation_client.h"
#include "companion/class_registry.h"
#include "conversion/dsc_doc.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scoped_hook.h"

class CompanionFixture : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        fs::create_directories(m_dir / "tmp");
        fs::create_directories(m_dir / "home" / ".config" / "Dealscope");
        SetEnv("HOME", (m_dir / "home").string());
        SetEnv("XDG_CONFIG_HOME", (m_dir / "home" / ".config").string());
        SetEnv("TMPDIR", (m_dir / "tmp").string());
        SetEnv("FAKE_COMPANION_LOG", (m_dir / "home" / "fake.log").string());
        SetEnv("FAKE_COMPANION_MODE", "normal");
        SetEnv("no_proxy", "127.0.0.1");
    }

    static void Register(const std::string &serverPath) {
        ASSERT_EQ(
            companion::RegisterLocalServer(companion::TRICKSMITH_CLASS_ID, companion::TRICKSMITH_PROG_ID, serverPath),
            "");
    }
    // Real analyses under load need the program's own time limits.
    static void RegisterStandin() {
        companion::SetTransportLimits({});
        ASSERT_EQ(RunProgram(TRICKSMITH_STANDIN, {"--register"}).exitCode, 0);
    }
    static void LoadTestPage(CDSCDoc &doc) {
        BatchPageSource page = ReadPageFile(platform::Utf8ToUtf16(DEALSCOPE_TEST_DATA "/companion/dda_page.htm"));
        doc.LoadFromView(page);
    }
    std::vector<std::string> TempFiles() const { return Names(m_dir / "tmp"); }

    std::vector<pid_t> FakeLogged(const std::string &key = "pid") const {
        std::vector<pid_t> pids;
        std::istringstream log(ReadFile(m_dir / "home" / "fake.log"));
        for (std::string line; std::getline(log, line);)
            if (line.starts_with(key + " "))
                pids.push_back(static_cast<pid_t>(std::stol(line.substr(key.size() + 1))));
        return pids;
    }
    // Every fake companion and helper logged is gone (or a zombie) within 2 s.
    void ExpectFakeGone() const {
        for (const char *key : {"pid", "helper"})
            for (pid_t pid : FakeLogged(key)) {
                bool running = true;
                for (int i = 0; i < 200 && running; ++i, running && usleep(10 * 1000)) {
                    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
                    running = stat.size() > stat.rfind(')') + 2 && stat[stat.rfind(')') + 2] != 'Z';
                }
                EXPECT_FALSE(running) << key << " " << pid << " still runs";
                if (running)
                    kill(pid, SIGKILL);
            }
    }

    std::string Error(size_t index = 0) const {
        return index < m_errors.size() ? platform::Utf16ToUtf8(m_errors[index]) : std::string();
    }

    std::vector<std::u16string> m_errors;

private:
    ScopedHook<platform::SetErrorSink> m_sink{[this](const std::u16string &text) { m_errors.push_back(text); }};
    ScopedHook<companion::SetTransportLimits> m_limits{companion::TransportLimits{5000, 3000, 2000}};
};
