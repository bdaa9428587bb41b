#include "app/window/about_box.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "app/window/wx_text.h"

namespace {

// The address goes to the desktop's opener, started without waiting; when none opens it, nothing is reported.
void OpenOnDesktop(const wxString &url) {
    wxLogNull quiet;
    const wxScopedCharBuffer utf8 = url.utf8_str();
    const char *const argv[] = {"xdg-open", utf8.data(), nullptr};
    wxExecute(argv, wxEXEC_ASYNC);
}

CAboutDlg::BrowserLauncher &Launcher() {
    static CAboutDlg::BrowserLauncher launcher = OpenOnDesktop;
    return launcher;
}

} // namespace

CAboutDlg::BrowserLauncher CAboutDlg::SetBrowserLauncher(BrowserLauncher launcher) {
    if (!launcher)
        launcher = OpenOnDesktop;
    std::swap(Launcher(), launcher);
    return launcher;
}

void OpenInDefaultBrowser(const wxString &url) {
    Launcher()(url);
}

CAboutDlg::CAboutDlg(wxWindow *parent)
    : wxDialog(parent, wxID_ANY, "About Dealscope", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    m_versionInfo.Read();
    m_strVersionLine = m_versionInfo.m_strProductName + u", Version " + m_versionInfo.m_strVersion;

    auto pos = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };
    // The texts keep their places; the box widens when this system's font needs more room than the layout's.
    const int textWidth =
        std::max(GetTextExtent(ToWx(m_strVersionLine)).x, GetTextExtent(ToWx(m_versionInfo.m_strLegalCopyright)).x);
    const int extra = std::max(0, textWidth - size(114, 8).x);
    SetClientSize(size(171, 80) + wxSize(extra, 0));
    new wxStaticText(this, IDC_VERSION, ToWx(m_strVersionLine), pos(42, 14), size(114, 8) + wxSize(extra, 0),
                     wxST_NO_AUTORESIZE);
    new wxStaticText(this, IDC_LEGAL_NOTICE, ToWx(m_versionInfo.m_strLegalCopyright), pos(42, 26),
                     size(114, 8) + wxSize(extra, 0), wxST_NO_AUTORESIZE);
    auto *link = new wxHyperlinkCtrl(this, IDC_WEBSITE_LINK, "Visit the Tricksmith website", MAKER_WEBSITE_URL,
                                     pos(42, 38), size(108, 14), wxHL_CONTEXTMENU | wxNO_BORDER | wxHL_ALIGN_LEFT);
    link->Bind(wxEVT_HYPERLINK, &CAboutDlg::OnLinkClick, this);
    auto *ok = new wxButton(this, wxID_OK, "OK", pos(113, 59) + wxPoint(extra, 0), size(50, 14));
    ok->SetDefault();
    ok->SetFocus();
    // The main window's icon stands for the program. (Made last: a dialog's only child is stretched over the box.)
    if (auto *top = dynamic_cast<wxTopLevelWindow *>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
        top && top != this && !top->GetIcons().IsEmpty()) {
        // The nearest size at least as large as the icon's place, scaled down to fit it.
        const wxSize place = size(20, 20);
        const int side = std::min(place.x, place.y);
        wxBitmap icon;
        icon.CopyFromIcon(top->GetIcons().GetIcon(wxSize(side, side), wxIconBundle::FALLBACK_NEAREST_LARGER));
        if (icon.IsOk() && icon.GetWidth() != side)
            icon = wxBitmap(icon.ConvertToImage().Rescale(side, side, wxIMAGE_QUALITY_HIGH));
        new wxStaticBitmap(this, wxID_ANY, icon, pos(14, 14), wxSize(side, side));
    }
}

void CAboutDlg::OnLinkClick(wxHyperlinkEvent &) {
    // Not skipped: the control would open the page a second time. The dialog stays open, and Enter still means
    // its OK button.
    OpenInDefaultBrowser(MAKER_WEBSITE_URL);
    FindWindow(wxID_OK)->SetFocus();
}

void ShowAboutBox(wxWindow *parent) {
    CAboutDlg dialog(parent);
    dialog.ShowModal();
}
