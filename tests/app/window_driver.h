#pragma once
// Drives the real window, or the toolkit alone for a dialog, in a GUI test: a fresh home, settings and temporary
// folder per test, the event loop run until something has happened, menu commands sent as the menu sends them,
// message boxes recorded and file dialogs answered from a queue.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "app/window/window_prompts.h"
#include "scoped_hook.h"
#include "scratch_test.h"

class CDSCDocument;
class CDSCView;
class CDSCTextView;
class wxHtmlHelpFrame;
class wxWindow;
typedef struct _GtkWidget GtkWidget;

// A window as the toolkit draws it, into memory: its pixels, blue, green, red and one unused byte each.
class DrawnWindow {
public:
    explicit DrawnWindow(wxWindow &window);
    ~DrawnWindow();
    DrawnWindow(const DrawnWindow &) = delete;
    DrawnWindow &operator=(const DrawnWindow &) = delete;
    const unsigned char *Pixel(int x, int y) const;

private:
    struct _cairo_surface *m_surface;
};

// Message boxes are recorded, questions and file dialogs answered from queues (an empty answer is Cancel).
class TestPrompts : public IWindowPrompts {
public:
    struct Message {
        std::u16string text;
        std::u16string caption;
        Icon icon;
        bool busy = wxIsBusy(); // the busy cursor showed
    };
    struct SaveRequest {
        std::u16string defaultPath;
        std::u16string filter;
    };

    void ShowMessage(wxWindow *, const std::u16string &text, const std::u16string &caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
    std::optional<std::string> AskOpenPath(wxWindow *, const std::u16string &) override { return Next(answers); }
    bool AskYesNo(wxWindow *, const std::u16string &text, const std::u16string &) override {
        questions.push_back(text);
        return Next(replies).value_or(false);
    }
    std::optional<std::string> AskSavePath(wxWindow *, const std::u16string &defaultPath,
                                           const std::u16string &filter) override {
        saveRequests.push_back({defaultPath, filter});
        return Next(answers);
    }

    std::vector<Message> messages;
    std::vector<SaveRequest> saveRequests;
    std::deque<std::string> answers;
    std::vector<std::u16string> questions;
    std::deque<bool> replies; // to the questions; No when none is left

private:
    template <typename T> static std::optional<T> Next(std::deque<T> &queue) {
        if (queue.empty())
            return std::nullopt;
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

// Counts the modal dialogs that the toolkit would show, and shows none of them (Register it to count).
struct DialogCount : wxModalDialogHook {
    int count = 0;
    int Enter(wxDialog *) override { return ++count, wxID_OK; }
    void Exit(wxDialog *) override {}
};

// Shows a modal dialog as the user sees it and, once it is on the screen, lets `answer` close it.
class WhenDialogShown : public wxModalDialogHook {
public:
    explicit WhenDialogShown(std::function<void(wxDialog &)> answer) : m_answer(std::move(answer)) {}
    int Enter(wxDialog *dialog) override;
    void Exit(wxDialog *) override {}

private:
    std::function<void(wxDialog &)> m_answer;
    std::unique_ptr<wxTimer> m_timer; // made once the toolkit is up
};

class GuiTest : public ScratchTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the application with these arguments after the program name; false when start-up failed.
    bool Start(const std::vector<std::string> &arguments);
    // Ends the application that Start began.
    void Stop();
    // Starts the toolkit alone, for a dialog tested without the main window; it stays up for the process's later
    // tests of this kind (Start ends it).
    void StartToolkit();
    // Runs the event loop until the condition holds (true) or the time is up (false).
    static bool RunUntil(const std::function<bool()> &condition, double seconds = 30);
    static void Pump(double seconds);

    // The active tab's document and views, and the text that the active text window shows.
    static CDSCDocument *ActiveDocument();
    static CDSCView *ActiveBrowserView();
    static CDSCTextView *ActiveTextView();
    static std::u16string ActiveText();
    static size_t TabCount();
    // Waits until the active page window's document has loaded (and converted) its page, that address when given.
    static bool WaitForPage(const std::u16string &url = u"");
    // The help viewer's frame when it is shown, else null.
    static wxHtmlHelpFrame *HelpFrame();
    // Types an address into the address box and presses Enter.
    static void EnterAddress(const std::string &text);

    // A menu command as the menu sends it; false when the active menu has no such item or it is disabled.
    static bool Command(int id);
    // Opens the menu bar's menu of that title as a click would, waits until the toolkit has drawn it, and closes
    // it again; whether the drawn menu was as large as its items need (none cut, no scroll arrows).
    static bool MenuOpensAtFullSize(const std::string &title);
    // A click on the middle of a widget, as a person's.
    static void Click(GtkWidget *widget);
    // Where a widget is on the screen.
    static wxRect ScreenRect(GtkWidget *widget);
    // Whether a command is enabled or checked, as its menu item or button would show it.
    static bool IsEnabled(int id);
    // The menu bar as a person reads it: a line per menu, its title and items, "-" for a separator, "(off)" after a
    // disabled item and "(on)" after a checked one.
    static std::string MenusShown();
    static bool IsChecked(int id);
    // The marks of the check items in the menu that holds item `id`, as the toolkit draws them once the menu's
    // items are updated as for an opening: "@" a radio mark that is on, "o" one that is off, "x" and "_" a tick on
    // and off, each followed by "-" when the item is greyed.
    static std::string MarksDrawn(int id);

    static std::string DataPath(const std::string &relative);
    static std::u16string FileUri(const std::string &path);
    // A copy of tests/data/conversion/<page> in the test's home under this name; its path.
    std::string CopyPage(const std::string &page, const std::string &name);
    // Runs the program itself with these arguments, answering its message box with Return when asked; its exit
    // code, or 128 + the signal that ended it.
    static int RunProgram(const std::vector<std::string> &arguments, bool answerBox = false);
    // Registers this program as the companion; the registry's error text, empty when it worked.
    static std::string RegisterCompanion(const std::string &program = DEALSCOPE_STANDIN);

    std::string m_home;
    TestPrompts m_prompts;
    ScopedHook<SetWindowPrompts> m_promptsHook{&m_prompts};
    bool m_started = false;
};
