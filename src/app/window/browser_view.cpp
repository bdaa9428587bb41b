#include "app/window/browser_view.h"

#include <filesystem>

#include <webkit2/webkit2.h>
#include <wx/menu.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include "app/window/child_frame.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/window_app.h"
#include "app/window/wx_text.h"
#include "platform/charset_table.h"
#include "platform/file_uri.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDSCView, wxView);

namespace {

// The browser's protections that WebKit has settings for; the others of the old browser control concern its
// own zones and registry and have no counterpart here.
void ApplyBrowserSettings(WebKitWebView *webView) {
    WebKitSettings *settings = webkit_web_view_get_settings(webView);
    // Pages opened from files must not read other files or reach other origins.
    webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
    webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
    // Scripts may not open windows by themselves; links that ask for a new window open a new tab.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
    // Silent: the page's scripts show no dialog boxes (alerts, prompts, confirmations).
    g_signal_connect(webView, "script-dialog",
                     G_CALLBACK(+[](WebKitWebView *, WebKitScriptDialog *, gpointer) -> gboolean { return TRUE; }),
                     nullptr);
}

bool HasScheme(const std::u16string &text) {
    if (text.empty() || !((text[0] >= u'a' && text[0] <= u'z') || (text[0] >= u'A' && text[0] <= u'Z')))
        return false;
    for (size_t i = 1; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u':')
            return i > 1; // a one-letter scheme would be a drive letter
        bool schemeChar = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                          c == u'+' || c == u'-' || c == u'.';
        if (!schemeChar)
            return false;
    }
    return false;
}

} // namespace

std::u16string AddressToLoad(const std::u16string &text) {
    if (HasScheme(text))
        return text;
    std::string path = platform::Utf16ToUtf8(text);
    std::error_code error;
    if (!path.empty() && (path[0] == '/' || std::filesystem::exists(path, error)))
        return platform::Utf8ToUtf16(platform::FileUriFromPath(path));
    return u"http://" + text;
}

CDSCView::~CDSCView() {
    m_capture.Cancel();
}

CDSCDocument *CDSCView::GetPageDocument() const {
    return wxDynamicCast(GetDocument(), CDSCDocument);
}

bool CDSCView::OnCreate(wxDocument *document, long) {
    auto *frame = new CChildFrame(document, this, g_pMainFrame);
    m_pWebView = wxWebView::New();
    // No address: a new page window shows an empty browser and loads nothing until told to.
    if (!m_pWebView->Create(frame, wxID_ANY, wxString(), wxDefaultPosition, frame->GetClientSize())) {
        frame->Destroy();
        return false;
    }
    ApplyBrowserSettings(static_cast<WebKitWebView *>(m_pWebView->GetNativeBackend()));
    m_pWebView->EnableHistory(true);
    ReplaceWebKitContextMenu(m_pWebView, [this](int x, int y) { ShowContextMenu(x, y); });

    m_pWebView->Bind(wxEVT_WEBVIEW_NAVIGATING, &CDSCView::OnNavigating, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_NAVIGATED, &CDSCView::OnNavigated, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_LOADED, &CDSCView::OnLoaded, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_ERROR, &CDSCView::OnError, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_TITLE_CHANGED, &CDSCView::OnTitleChanged, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_NEWWINDOW, &CDSCView::OnNewWindow, this);
    Bind(EVT_ACTIVE_TAB_CHANGED, &CDSCView::OnActiveTabChanged, this);
    Bind(wxEVT_MENU, &CDSCView::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &CDSCView::OnUpdateCommand, this);

    SetFrame(frame);
    frame->Show();
    Activate(true);
    // Another window on a page file (Window > New Window) opens that file.
    if (!document->GetFilename().empty() && document->GetDocumentSaved())
        Navigate2(platform::Utf8ToUtf16(platform::FileUriFromPath(std::string(document->GetFilename().utf8_str()))));
    return true;
}

bool CDSCView::OnClose(bool deleteWindow) {
    // A page still being captured is dropped; its callbacks never reach this view.
    m_capture.Cancel();
    (void)deleteWindow;
    // The document closes with its last window only (its text windows may still show it).
    wxDocument *document = GetDocument();
    if (document && document->GetViewsVector().size() == 1)
        return document->Close();
    return true;
}

void CDSCView::OnChangeFilename() {
    if (auto *frame = dynamic_cast<CChildFrame *>(GetFrame()))
        frame->SetTitleText(GetDocument()->GetUserReadableName());
}

void CDSCView::Navigate2(const std::u16string &url) {
    if (!m_pWebView)
        return;
    m_strRequestedURL = AddressToLoad(url);
    m_pWebView->LoadURL(ToWx(AddressToLoad(url)));
}

bool CDSCView::IsInitialBlankPage(const wxString &url) const {
    // The web view loads "about:blank" when it is made, and may report it after the view was sent elsewhere:
    // that is no page of ours unless it was asked for.
    return url == "about:blank" && m_strRequestedURL != u"about:blank";
}

std::u16string CDSCView::GetLocationURL() {
    return m_strCapturedURL;
}

bool CDSCView::GetRawSource(std::string &bytes) {
    bytes = m_strCapturedBytes;
    return m_bCapturedBytes;
}

unsigned CDSCView::GetDocumentCodePage() {
    return platform::GetCharsetCodePage(m_strCapturedCharset);
}

void CDSCView::OnNavigating(wxWebViewEvent &event) {
    if (IsInitialBlankPage(event.GetURL()))
        return;
    m_strRequestedURL = FromWx(event.GetURL()); // also a link the user followed
    m_times.navigating = std::chrono::steady_clock::now();
    if (CDSCDocument *document = GetPageDocument())
        document->Page().m_bPageLoaded = false;
    m_bStopEnabled = true;
    m_bLoadFailed = false;
    event.Skip();
}

void CDSCView::OnNavigated(wxWebViewEvent &event) {
    if (IsInitialBlankPage(event.GetURL()))
        return;
    // The address of the page as the web view now has it, not as the event carries it.
    if (g_pMainFrame)
        CMainFrame::SetAddressText(FromWx(m_pWebView->GetCurrentURL()));
    UpdateHistoryStates();
    event.Skip();
}

void CDSCView::OnLoaded(wxWebViewEvent &event) {
    if (IsInitialBlankPage(m_pWebView->GetCurrentURL()))
        return;
    m_times.loaded = std::chrono::steady_clock::now();
    m_bStopEnabled = false;
    m_bRefreshEnabled = true;
    UpdateHistoryStates();
    m_strCapturedURL = FromWx(m_pWebView->GetCurrentURL());
    m_capture.Start(m_pWebView, [this](bool haveBytes, std::string bytes, std::string charset) {
        PageCaptured(haveBytes, std::move(bytes), std::move(charset));
    });
    event.Skip();
}

void CDSCView::PageCaptured(bool haveBytes, std::string bytes, std::string charset) {
    m_bCapturedBytes = haveBytes;
    m_strCapturedBytes = std::move(bytes);
    m_strCapturedCharset = std::move(charset);
    m_times.captured = std::chrono::steady_clock::now();
    if (CDSCDocument *document = GetPageDocument())
        document->Page().LoadFromView(*this);
    m_times.converted = std::chrono::steady_clock::now();
    // The page's text is kept by the document; the view needs no copy of its bytes.
    m_strCapturedBytes.clear();
    m_strCapturedBytes.shrink_to_fit();
}

void CDSCView::OnError(wxWebViewEvent &event) {
    m_bLoadFailed = true;
    m_bStopEnabled = false;
    m_bRefreshEnabled = true;
    UpdateHistoryStates();
    event.Skip();
}

void CDSCView::OnTitleChanged(wxWebViewEvent &event) {
    if (CDSCDocument *document = GetPageDocument()) {
        wxString title = event.GetString();
        document->SetPageTitle(title.empty() ? m_pWebView->GetCurrentURL() : title);
    }
}

void CDSCView::OnNewWindow(wxWebViewEvent &event) {
    // The pop-up opens in a new page window of the program.
    std::u16string url = FromWx(event.GetURL());
    CDSCDocument *document = wxGetApp().NewPageDocument();
    if (!document)
        return;
    if (CDSCView *view = document->GetBrowserView())
        view->Navigate2(url);
}

void CDSCView::OnActiveTabChanged(wxCommandEvent &) {
    if (g_pMainFrame && m_pWebView)
        CMainFrame::SetAddressText(
            IsInitialBlankPage(m_pWebView->GetCurrentURL()) ? std::u16string() : FromWx(m_pWebView->GetCurrentURL()));
}

void CDSCView::UpdateHistoryStates() {
    m_bBackEnabled = m_pWebView->CanGoBack();
    m_bForwardEnabled = m_pWebView->CanGoForward();
}

void CDSCView::OnCommand(wxCommandEvent &event) {
    switch (event.GetId()) {
    case ID_GO_BACK:
        m_pWebView->GoBack();
        break;
    case ID_GO_FORWARD:
        m_pWebView->GoForward();
        break;
    case ID_STOP:
        m_pWebView->Stop();
        break;
    case ID_REFRESH:
        // Ctrl or Shift held: reload everything, bypassing the cache.
        m_pWebView->Reload(wxGetKeyState(WXK_CONTROL) || wxGetKeyState(WXK_SHIFT) ? wxWEBVIEW_RELOAD_NO_CACHE
                                                                                  : wxWEBVIEW_RELOAD_DEFAULT);
        break;
    case ID_ENTER_URL: {
        std::u16string address = CMainFrame::GetAddressText();
        if (g_pMainFrame && !address.empty())
            Navigate2(address);
        break;
    }
    case wxID_PRINT:
        m_pWebView->Print();
        break;
    case wxID_CUT:
        m_pWebView->Cut();
        break;
    case wxID_COPY:
        m_pWebView->Copy();
        break;
    case wxID_PASTE:
        m_pWebView->Paste();
        break;
    default:
        event.Skip();
    }
}

void CDSCView::OnUpdateCommand(wxUpdateUIEvent &event) {
    switch (event.GetId()) {
    case ID_GO_BACK:
        event.Enable(m_bBackEnabled);
        break;
    case ID_GO_FORWARD:
        event.Enable(m_bForwardEnabled);
        break;
    case ID_STOP:
        event.Enable(m_bStopEnabled);
        break;
    case ID_REFRESH:
        event.Enable(m_bRefreshEnabled);
        break;
    case wxID_PRINT:
    case wxID_CUT:
    case wxID_COPY:
    case wxID_PASTE:
        event.Enable(true);
        break;
    default:
        event.Skip();
    }
}

void CDSCView::ShowContextMenu(int x, int y) {
    wxMenu menu;
    menu.Append(wxID_CUT, "Cu&t\tCtrl+X");
    menu.Append(wxID_COPY, "&Copy\tCtrl+C");
    menu.Append(wxID_PASTE, "&Paste\tCtrl+V");
    int chosen = m_pWebView->GetPopupMenuSelectionFromUser(menu, wxPoint(x, y));
    if (chosen == wxID_NONE)
        return;
    wxCommandEvent command(wxEVT_MENU, chosen);
    OnCommand(command);
}
