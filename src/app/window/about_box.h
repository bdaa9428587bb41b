#pragma once
// The About box: the product name and version and the legal notice, as the program's version record gives them,
// and a link that opens the maker's page in the user's default browser.
#include <functional>
#include <string>

#include <wx/dialog.h>

#include "conversion/version_info.h"

class wxHyperlinkEvent;
class wxStaticText;

// The maker's page that the link opens.
inline constexpr char MAKER_WEBSITE_URL[] = "https://www.greenbaize.example/dealscope";

class CAboutDlg : public wxDialog {
public:
    enum : int { IDC_VERSION = 1008, IDC_LEGAL_NOTICE = 1009, IDC_WEBSITE_LINK = 1010 };
    // Hands an address to the desktop; xdg-open unless a test installed another. Returns the previous one.
    using BrowserLauncher = std::function<void(const wxString &url)>;
    static BrowserLauncher SetBrowserLauncher(BrowserLauncher launcher);

    explicit CAboutDlg(wxWindow *parent);

    const std::u16string &GetVersionLine() const { return m_strVersionLine; }
    void OnLinkClick(wxHyperlinkEvent &event);

private:
    CVersionInfo m_versionInfo;
    std::u16string m_strVersionLine;
};

// Opens a web page or another address (mail, news) on the desktop, through the launcher of SetBrowserLauncher.
void OpenInDefaultBrowser(const wxString &url);

// The application's About command.
void ShowAboutBox(wxWindow *parent);
