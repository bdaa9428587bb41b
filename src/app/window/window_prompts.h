#pragma once
// The window's questions and notices to the user (message boxes and file dialogs) go through this seam, so that
// the GUI tests can answer them without a person at the screen.
#include <optional>
#include <string>

class wxWindow;

class IWindowPrompts {
public:
    enum class Icon { None, Error, Information };

    virtual ~IWindowPrompts() = default;
    // A message box with an OK button.
    virtual void ShowMessage(wxWindow *owner, const std::u16string &text, const std::u16string &caption, Icon icon) = 0;
    // A message box with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(wxWindow *owner, const std::u16string &text, const std::u16string &caption) = 0;
    // A file dialog; the chosen path (UTF-8) as the user gave it, or nothing when the user cancelled. The filter
    // is in the "Description|pattern|..." form of wxFileDialog. The save dialog starts on `defaultPath`, a name
    // alone or a full path, and does not ask about replacing a file (ChooseSavePath does).
    virtual std::optional<std::string> AskOpenPath(wxWindow *owner, const std::u16string &filter) = 0;
    virtual std::optional<std::string> AskSavePath(wxWindow *owner, const std::u16string &defaultPath,
                                                   const std::u16string &filter) = 0;
};

// The prompts in use: real dialogs unless a test installed others. Returns the previous ones.
IWindowPrompts &WindowPrompts();
IWindowPrompts *SetWindowPrompts(IWindowPrompts *prompts);

// The toolkit reports some failures itself, in boxes of its own: makes its errors reach the user through the
// program's error sink (platform/error_report.h) and its other notices through the message sink.
void RouteToolkitMessagesToSinks();

// The path to save to: a name given without an extension gets `defaultExtension`, and only then is the user
// asked before an existing file is replaced; No goes back to the dialog. Nothing when the user cancelled.
std::optional<std::string> ChooseSavePath(wxWindow *owner, const std::u16string &defaultName,
                                          const std::u16string &defaultExtension, const std::u16string &filter);

// The application's name, the caption of its message boxes.
inline constexpr char16_t APP_NAME[] = u"Dealscope";
