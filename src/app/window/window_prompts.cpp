#include "app/window/window_prompts.h"

#include <algorithm>
#include <filesystem>

#include <wx/dcscreen.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/utils.h>
// After wx/msgdlg.h, which declares its base class.
#include <wx/generic/msgdlgg.h>

#include "app/window/wx_text.h"
#include "platform/error_report.h"

namespace {

// The text with each line broken to fit maxWidth pixels in the font of `dc`: at the last blank that fits, or
// between characters where there is none (a long path), so that no part of it is cut off.
wxString FitLines(const wxDC &dc, const wxString &text, int maxWidth) {
    wxString fitted;
    for (wxString rest : wxSplit(text, '\n', '\0')) {
        while (dc.GetTextExtent(rest).x > maxWidth) {
            // The longest start of the line that fits, at least one character.
            size_t low = 1, high = rest.length();
            while (low < high) {
                const size_t middle = (low + high + 1) / 2;
                if (dc.GetTextExtent(rest.Left(middle)).x <= maxWidth)
                    low = middle;
                else
                    high = middle - 1;
            }
            const size_t blank = rest.rfind(' ', low);
            const size_t cut = blank != wxString::npos && blank > 0 ? blank : low;
            fitted << rest.Left(cut) << '\n';
            rest = rest.Mid(blank == cut ? cut + 1 : cut);
        }
        fitted << rest << '\n';
    }
    return fitted.empty() ? fitted : fitted.RemoveLast();
}

// GTK's own message dialog leaves out the icon that says what kind of message it is; the toolkit's generic dialog
// shows it beside the same text and buttons. That dialog does not break long lines itself.
int ShowBox(wxWindow *owner, const std::u16string &text, const std::u16string &caption, long style) {
    // A box shown during a long command gets the ordinary pointer.
    wxBusyCursorSuspender normalCursor;
    // The box texts end their lines with CR LF; the generic dialog would show each CR as a line break of its own.
    wxString lines = ToWx(text);
    lines.Replace("\r\n", "\n");
    wxScreenDC dc; // the box is not made yet: its text is measured in the font it will have
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    const int maxWidth = std::min(60 * dc.GetCharWidth(), wxGetDisplaySize().x * 3 / 4);
    wxGenericMessageDialog box(owner, FitLines(dc, lines, maxWidth), ToWx(caption), style);
    return box.ShowModal();
}

// The toolkit's own messages, shown as the program's: its errors through the error sink, anything else it would
// show in a box through the plain message sink.
class SinkLog : public wxLogGui {
    void DoShowSingleLogMessage(const wxString &message, const wxString &, int style) override { Show(message, style); }
    void DoShowMultipleLogMessages(const wxArrayString &messages, const wxArrayInt &, const wxArrayLong &,
                                   const wxString &, int style) override {
        Show(wxJoin(messages, '\n', '\0'), style);
    }
    static void Show(const wxString &text, int style) {
        if (style & wxICON_ERROR)
            platform::ShowError(FromWx(text));
        else
            platform::ShowMessage(FromWx(text));
    }
};

class DialogPrompts : public IWindowPrompts {
public:
    void ShowMessage(wxWindow *owner, const std::u16string &text, const std::u16string &caption, Icon icon) override {
        long style = wxOK | wxCENTRE;
        if (icon == Icon::Error)
            style |= wxICON_ERROR;
        else if (icon == Icon::Information)
            style |= wxICON_INFORMATION;
        ShowBox(owner, text, caption, style);
    }

    bool AskYesNo(wxWindow *owner, const std::u16string &text, const std::u16string &caption) override {
        return ShowBox(owner, text, caption, wxYES_NO | wxNO_DEFAULT | wxICON_WARNING | wxCENTRE) == wxID_YES;
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

void RouteToolkitMessagesToSinks() {
    delete wxLog::SetActiveTarget(new SinkLog);
}

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
