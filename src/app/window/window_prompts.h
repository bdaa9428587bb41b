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
    // A file dialog; the chosen path (UTF-8), or nothing when the user cancelled. The filter is in the
    // "Description|pattern|..." form of wxFileDialog.
    virtual std::optional<std::string> AskOpenPath(wxWindow *owner, const std::u16string &filter) = 0;
    virtual std::optional<std::string> AskSavePath(wxWindow *owner, const std::u16string &defaultName,
                                                   const std::u16string &defaultExtension,
                                                   const std::u16string &filter) = 0;
};

// The prompts in use: real dialogs unless a test installed others. Returns the previous ones.
IWindowPrompts &WindowPrompts();
IWindowPrompts *SetWindowPrompts(IWindowPrompts *prompts);

// The application's name, the caption of its message boxes.
inline constexpr char16_t APP_NAME[] = u"Dealscope";
