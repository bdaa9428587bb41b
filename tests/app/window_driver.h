#pragma once
// Drives the real window in a test: starts the application object with a command line, runs its event loop
// until something has happened, sends menu commands, reads enable states, and answers the window's message boxes
// and file dialogs.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/window/window_prompts.h"

class CDSCApp;
class CDSCDocument;
class CDSCView;
class CDSCTextView;
class wxWindow;

// Message boxes are recorded, file dialogs answered from a queue (an empty answer is Cancel).
class TestPrompts : public IWindowPrompts {
public:
    struct Message {
        std::u16string text;
        std::u16string caption;
        Icon icon;
    };
    struct SaveRequest {
        std::u16string defaultName;
        std::u16string defaultExtension;
        std::u16string filter;
    };

    void ShowMessage(wxWindow *, const std::u16string &text, const std::u16string &caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
    std::optional<std::string> AskOpenPath(wxWindow *, const std::u16string &filter) override {
        openFilters.push_back(filter);
        return Next();
    }
    std::optional<std::string> AskSavePath(wxWindow *, const std::u16string &defaultName,
                                           const std::u16string &defaultExtension,
                                           const std::u16string &filter) override {
        saveRequests.push_back({defaultName, defaultExtension, filter});
        return Next();
    }

    std::vector<Message> messages;
    std::vector<std::u16string> openFilters;
    std::vector<SaveRequest> saveRequests;
    std::vector<std::optional<std::string>> answers;

private:
    std::optional<std::string> Next() {
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the window with these arguments after the program name; false when start-up failed.
    bool Start(const std::vector<std::string> &arguments);
    // Runs the event loop until the condition holds (true) or the time is up (false).
    static bool RunUntil(const std::function<bool()> &condition, double seconds = 30);
    // Runs the event loop for a while.
    static void Pump(double seconds);

    // The active tab's document and views.
    static CDSCDocument *ActiveDocument();
    static CDSCView *ActiveBrowserView();
    static CDSCTextView *ActiveTextView();
    // Waits until the active page window's document has loaded and converted its page.
    static bool WaitForActivePage(double seconds = 30);

    // A menu command as the menu sends it; false when the active menu has no such item.
    static bool Command(int id);
    // Whether a command is enabled, as its menu item or button would show it.
    static bool IsEnabled(int id);
    static bool IsChecked(int id);

    static std::string ReadFile(const std::string &path);
    static void WriteFile(const std::string &path, const std::string &bytes);
    static std::string DataPath(const std::string &relative);
    // The lines of a PBN text without its "%Created" line, which holds the time of the conversion.
    static std::string WithoutCreatedLine(const std::string &pbn);

    // Runs the program itself (the batch executable) with these arguments; its exit code.
    static int RunProgram(const std::vector<std::string> &arguments);

    std::string m_home; // a fresh home, settings and temporary folder for this test
    TestPrompts m_prompts;
    CDSCApp *m_app = nullptr;
    bool m_started = false;
};
