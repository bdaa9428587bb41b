#include "app/window/window_prompts.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

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
        wxMessageBox(ToWx(text), ToWx(caption), style, owner);
    }

    std::optional<std::string> AskOpenPath(wxWindow *owner, const std::u16string &filter) override {
        wxFileDialog dialog(owner, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString, ToWx(filter),
                            wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        return std::string(dialog.GetPath().utf8_str());
    }

    std::optional<std::string> AskSavePath(wxWindow *owner, const std::u16string &defaultName,
                                           const std::u16string &defaultExtension,
                                           const std::u16string &filter) override {
        wxFileDialog dialog(owner, wxFileSelectorPromptStr, wxEmptyString, ToWx(defaultName), ToWx(filter),
                            wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        wxString path = dialog.GetPath();
        // A name typed without an extension gets the default one, as the save dialogs of the pages always did.
        wxString extension = ToWx(defaultExtension);
        if (!extension.empty() && wxFileName(path).GetExt().empty())
            path += extension;
        return std::string(path.utf8_str());
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
