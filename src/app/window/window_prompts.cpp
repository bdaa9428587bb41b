#include "app/window/window_prompts.h"

#include <filesystem>

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/window/wx_text.h"

namespace {

class DialogPrompts : public IWindowPrompts {
public:
    void ShowMessage(wxWindow *owner, const std::u16string &text, const std::u16string &caption, Icon icon) override {
        long style = wxOK | wxCENTRE;
        if (icon == Icon::Error)
            style |= wxICON_ERROR;
        else if (icon == Icon::Information)
            style |= wxICON_INFORMATION;
        // A box shown during a long command gets the ordinary pointer.
        wxBusyCursorSuspender normalCursor;
        wxMessageBox(ToWx(text), ToWx(caption), style, owner);
    }

    bool AskYesNo(wxWindow *owner, const std::u16string &text, const std::u16string &caption) override {
        wxBusyCursorSuspender normalCursor;
        return wxMessageBox(ToWx(text), ToWx(caption), wxYES_NO | wxNO_DEFAULT | wxICON_WARNING | wxCENTRE, owner) ==
               wxYES;
    }

    std::optional<std::string> AskOpenPath(wxWindow *owner, const std::u16string &filter) override {
        wxFileDialog dialog(owner, "Open", wxEmptyString, wxEmptyString, ToWx(filter),
                            wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        return std::string(dialog.GetPath().utf8_str());
    }

    std::optional<std::string> AskSavePath(wxWindow *owner, const std::u16string &defaultPath,
                                           const std::u16string &filter) override {
        wxFileName start(ToWx(defaultPath));
        wxFileDialog dialog(owner, "Save As", start.GetPath(), start.GetFullName(), ToWx(filter), wxFD_SAVE);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        return std::string(dialog.GetPath().utf8_str());
    }
};

DialogPrompts g_dialogPrompts;
IWindowPrompts *g_prompts = &g_dialogPrompts;

} // namespace

IWindowPrompts &WindowPrompts() {
    return *g_prompts;
}

IWindowPrompts *SetWindowPrompts(IWindowPrompts *prompts) {
    IWindowPrompts *previous = g_prompts;
    g_prompts = prompts ? prompts : &g_dialogPrompts;
    return previous;
}

std::optional<std::string> ChooseSavePath(wxWindow *owner, const std::u16string &defaultName,
                                          const std::u16string &defaultExtension, const std::u16string &filter) {
    std::u16string start = defaultName;
    while (std::optional<std::string> chosen = WindowPrompts().AskSavePath(owner, start, filter)) {
        std::filesystem::path path(*chosen);
        if (!path.has_extension())
            path += platform::Utf16ToUtf8(defaultExtension);
        std::error_code error;
        if (!std::filesystem::exists(path, error) ||
            WindowPrompts().AskYesNo(owner,
                                     platform::Utf8ToUtf16(path.filename().string()) +
                                         u" already exists.\nDo you want to replace it?",
                                     APP_NAME))
            return path.string();
        start = platform::Utf8ToUtf16(path.string());
    }
    return std::nullopt;
}
