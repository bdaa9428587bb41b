#include "app/window/browser_view.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <webkit2/webkit2.h>
#include <wx/app.h>
#include <wx/menu.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include "app/page_charset.h"
#include "app/window/about_box.h"
#include "app/window/child_frame.h"
#include "app/window/command_ids.h"
#include "app/window/page_document.h"
#include "app/window/window_services.h"
#include "app/window/wx_text.h"
#include "platform/charset_table.h"
#include "platform/file_uri.h"
#include "platform/path_text.h"
#include "platform/utf8.h"
#include "platform/wide_text.h"

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
    // The toolkit paints WebKit's composited page through OpenGL, and on X11 a repaint of a part of it (where a
    // menu or a box closed over the page) can come out blank and stay so. A part repainted is followed by a
    // repaint of the whole page, which comes out right.
    g_signal_connect(webView, "draw", G_CALLBACK(+[](GtkWidget *widget, cairo_t *context, gpointer) -> gboolean {
                         GdkRectangle clip;
                         if (gdk_cairo_get_clip_rectangle(context, &clip) &&
                             (clip.x > 0 || clip.y > 0 || clip.width < gtk_widget_get_allocated_width(widget) ||
                              clip.height < gtk_widget_get_allocated_height(widget)))
                             gtk_widget_queue_draw(widget);
                         return FALSE;
                     }),
                     nullptr);
}

bool IsSchemeChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' ||
           c == u'.';
}

// "name:" before anything else, but not a drive letter ("c:") nor a host and port ("localhost:8765/x").
bool HasScheme(std::u16string_view text) {
    if (text.empty() || !((text[0] >= u'a' && text[0] <= u'z') || (text[0] >= u'A' && text[0] <= u'Z')))
        return false;
    size_t colon = 1;
    while (colon < text.size() && IsSchemeChar(text[colon]))
        ++colon;
    if (colon >= text.size() || text[colon] != u':' || colon == 1)
        return false;
    size_t digits = colon + 1;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9')
        ++digits;
    bool hostAndPort = digits > colon + 1 &&
                       (digits == text.size() || text[digits] == u'/' || text[digits] == u'?' || text[digits] == u'#');
    return !hostAndPort;
}

// The schemes that WebKit shows itself; the desktop has the others (mail, news, other programs).
bool WebKitShowsScheme(const char *uri) {
    static const char *const SHOWN[] = {"http", "https", "file", "data", "about", "blob", "javascript"};
    const char *colon = uri ? std::strchr(uri, ':') : nullptr;
    if (!colon)
        return true;
    std::string scheme(uri, colon);
    for (char &c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::find(std::begin(SHOWN), std::end(SHOWN), scheme) != std::end(SHOWN);
}

// WebKit reads a file by its address's path decoded as UTF-8 text, and loads nothing under an address whose path
// is not: a page file whose name is not UTF-8 is neither read nor shown. Such a page is read here and handed to
// WebKit under a stand-in address, the same with U+FFFD for each byte that is not UTF-8 (its links and pictures
// still resolve in its folder), and the view reports the page's own address. False for any other address.
bool NeedsStandInAddress(const std::u16string &url, std::string &path, std::string &standIn) {
    if (!platform::PathFromFileUri(platform::Utf16ToUtf8(url), path) || platform::IsWellFormedUtf8(path))
        return false;
    standIn = platform::FileUriFromPath(platform::Utf16ToUtf8(platform::PathBytesToText(path)));
    return true;
}

// The address of the page in the web view: for the stand-in address of the page asked for, that page's own.
std::u16string CurrentAddress(wxWebView &webView, const std::u16string &requested) {
    std::u16string current = FromWx(webView.GetCurrentURL());
    std::string path, standIn;
    if (NeedsStandInAddress(requested, path, standIn) && current == platform::Utf8ToUtf16(standIn))
        return requested;
    return current;
}

} // namespace

std::u16string AddressToLoad(const std::u16string &typed) {
    size_t first = 0, last = typed.size();
    while (first < last && platform::IsSpaceW(typed[first]))
        ++first;
    while (last > first && platform::IsSpaceW(typed[last - 1]))
        --last;
    std::u16string text = typed.substr(first, last - first);
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
    DisconnectWebKitSignals();
}

CDSCDocument *CDSCView::GetPageDocument() const {
    return wxDynamicCast(GetDocument(), CDSCDocument);
}

bool CDSCView::OnCreate(wxDocument *document, long) {
    auto *frame = new CChildFrame(document, this, GetMainFrame());
    m_pWebView = wxWebView::New();
    // No address: a new page window shows an empty browser and loads nothing until told to.
    if (!m_pWebView->Create(frame, wxID_ANY, wxString(), wxDefaultPosition, frame->GetClientSize())) {
        frame->Destroy();
        return false;
    }
    ApplyBrowserSettings(static_cast<WebKitWebView *>(m_pWebView->GetNativeBackend()));
    m_pWebView->EnableHistory(true);
    ReplaceWebKitContextMenu(m_pWebView, [this](int x, int y) { ShowContextMenu(x, y); });

    ConnectWebKitSignals();
    m_pWebView->Bind(wxEVT_WEBVIEW_TITLE_CHANGED, &CDSCView::OnTitleChanged, this);
    Bind(EVT_ACTIVE_TAB_CHANGED, &CDSCView::OnActiveTabChanged, this);
    Bind(wxEVT_MENU, &CDSCView::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &CDSCView::OnUpdateCommand, this);

    SetFrame(frame);
    frame->Show();
    Activate(true);
    // Another window on a page file (Window > New Window) opens that file.
    if (!document->GetFilename().empty() && document->GetDocumentSaved())
        Navigate2(platform::Utf8ToUtf16(platform::FileUriFromPath(PathFromWx(document->GetFilename()))));
    return true;
}

bool CDSCView::OnClose(bool deleteWindow) {
    // A page still being captured is dropped; its callbacks never reach this view, nor do WebKit's signals.
    m_capture.Cancel();
    DisconnectWebKitSignals();
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
    std::string path, standIn;
    if (NeedsStandInAddress(m_strRequestedURL, path, standIn)) {
        std::error_code error;
        std::ifstream file(path, std::ios::binary);
        if (file && !std::filesystem::is_directory(path, error)) {
            std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            // In the charset that WebKit finds in a file that it reads itself.
            GBytes *data = g_bytes_new(bytes.data(), bytes.size());
            webkit_web_view_load_bytes(m_pWebKitView, data, "text/html", FindPageCharset({}, bytes).c_str(),
                                       standIn.c_str());
            g_bytes_unref(data);
            return;
        }
    }
    m_pWebView->LoadURL(ToWx(m_strRequestedURL));
}

bool CDSCView::IsRefusedPage(const wxString &url) const {
    // WebKit answers an address that it refuses to load (a port that browsers keep off) with an empty page.
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

void CDSCView::ConnectWebKitSignals() {
    m_pWebKitView = WEBKIT_WEB_VIEW(g_object_ref(m_pWebView->GetNativeBackend()));
    // wxWebView answers WebKit's request for a pop-up's web view with the opener itself, which WebKit cannot
    // use, and turns every new-window request into a bare address; this view decides both itself.
    for (const char *signal : {"create", "decide-policy"})
        g_signal_handlers_disconnect_matched(m_pWebKitView, GSignalMatchType(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA),
                                             g_signal_lookup(signal, WEBKIT_TYPE_WEB_VIEW), 0, nullptr, nullptr,
                                             m_pWebView);
    g_signal_connect(m_pWebKitView, "create",
                     G_CALLBACK(+[](WebKitWebView *, WebKitNavigationAction *action, CDSCView *view) -> GtkWidget * {
                         const char *uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
                         return GTK_WIDGET(view->OnCreatePopUp(uri ? uri : ""));
                     }),
                     this);
    // Before WebKit's own handling of the same signals.
    g_signal_connect(m_pWebKitView, "decide-policy",
                     G_CALLBACK(+[](WebKitWebView *, WebKitPolicyDecision *decision, WebKitPolicyDecisionType type,
                                    CDSCView *view) -> gboolean { return view->OnDecidePolicy(decision, type); }),
                     this);
    g_signal_connect(
        m_pWebKitView, "load-changed",
        G_CALLBACK(+[](WebKitWebView *, WebKitLoadEvent event, CDSCView *view) { view->OnLoadChanged(event); }), this);
    g_signal_connect(
        m_pWebKitView, "load-failed",
        G_CALLBACK(+[](WebKitWebView *, WebKitLoadEvent event, gchar *, GError *error, CDSCView *view) -> gboolean {
            view->OnLoadFailed(event, error);
            return FALSE; // WebKit shows its error page
        }),
        this);
    // The toolbar's buttons are updated in idle time, which the toolkit gives after input only: WebKit's news of a
    // load starting or ending (finished, failed or stopped: each ends with "finished" and "is-loading" off), or of
    // the history changing, would show on Back, Forward, Stop and Refresh only at the next mouse move or key.
    const GCallback wakeUpIdle = G_CALLBACK(+[] { wxWakeUpIdle(); });
    g_signal_connect_after(m_pWebKitView, "load-changed", wakeUpIdle, this);
    g_signal_connect_after(m_pWebKitView, "notify::is-loading", wakeUpIdle, this);
    g_signal_connect(webkit_web_view_get_back_forward_list(m_pWebKitView), "changed", wakeUpIdle, this);
    // Any page window shows where it is, also one whose tab is not on display.
    g_signal_connect(m_pWebKitView, "notify::uri",
                     G_CALLBACK(+[](GObject *, GParamSpec *, CDSCView *view) { view->ShowAddress(); }), this);
}

void CDSCView::DisconnectWebKitSignals() {
    if (!m_pWebKitView)
        return;
    g_signal_handlers_disconnect_by_data(m_pWebKitView, this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(m_pWebKitView), this);
    g_object_unref(m_pWebKitView);
    m_pWebKitView = nullptr;
}

WebKitWebView *CDSCView::OnCreatePopUp(const std::string &url) {
    // The pop-up opens in a new page window of the program; WebKit loads it there (a script's window.open, a
    // link or form with a target), and that view's own signals follow as for any page.
    CDSCDocument *document = nullptr;
    {
        CRelatedWebViewScope related(m_pWebKitView);
        if (IWindowServices *services = GetWindowServices())
            document = services->NewPageDocument();
    }
    CDSCView *view = document ? document->GetBrowserView() : nullptr;
    if (!view || !view->m_pWebKitView)
        return nullptr;
    view->m_strRequestedURL = url.empty() ? u"about:blank" : platform::Utf8ToUtf16(url);
    return WEBKIT_WEB_VIEW(g_object_ref(view->m_pWebKitView));
}

bool CDSCView::OnDecidePolicy(WebKitPolicyDecision *decision, int type) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
        return false;
    WebKitNavigationAction *action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char *uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (!WebKitShowsScheme(uri)) {
        // A mail address and the like: the page stays, and what the user asked for goes to the desktop.
        webkit_policy_decision_ignore(decision);
        bool asked = webkit_navigation_action_is_user_gesture(action) ||
                     webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED ||
                     platform::Utf8ToUtf16(uri) == m_strRequestedURL;
        if (asked)
            OpenInDefaultBrowser(wxString::FromUTF8(uri));
        return true;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        // WebKit then asks for the new window's web view (OnCreatePopUp) and loads the request there as it
        // stands: a form's data is posted, and the window gets the target's name for the next link to it.
        webkit_policy_decision_use(decision);
        return true;
    }
    return false;
}

void CDSCView::OnLoadChanged(int loadEvent) {
    if (IsRefusedPage(m_pWebView->GetCurrentURL())) {
        // A failed load, shown as one.
        if (loadEvent == WEBKIT_LOAD_COMMITTED) {
            m_bLoadFailed = true;
            m_bErrorPageNext = true;
            webkit_web_view_load_alternate_html(m_pWebKitView,
                                                "<html><body>The browser refused to load this address.</body></html>",
                                                platform::Utf16ToUtf8(m_strStartedURL).c_str(), nullptr);
        }
        return;
    }
    switch (loadEvent) {
    case WEBKIT_LOAD_STARTED:
        m_strStartedURL = CurrentAddress(*m_pWebView, m_strRequestedURL);
        m_times.navigating = std::chrono::steady_clock::now();
        m_bCommitted = false;
        m_bShowingErrorPage = m_bErrorPageNext;
        if (!m_bErrorPageNext)
            m_bLoadFailed = false;
        break;
    case WEBKIT_LOAD_COMMITTED:
        m_bCommitted = !m_bShowingErrorPage;
        m_bErrorPageNext = false;
        ShowAddress();
        if (m_bCommitted) {
            // A new document replaces the page: the last page's capture is of no use any more.
            m_capture.Cancel();
            if (CDSCDocument *document = GetPageDocument())
                document->Page().m_bPageLoaded = false;
        }
        break;
    case WEBKIT_LOAD_FINISHED:
        m_times.loaded = std::chrono::steady_clock::now();
        m_bRefreshEnabled = true;
        if (m_bCommitted) {
            // Only a new document reaches the document's load entry: a load that failed, was stopped or became
            // a download leaves the page and its conversion (and analysis) as they were.
            m_bCommitted = false;
            m_strCapturedURL = CurrentAddress(*m_pWebView, m_strRequestedURL);
            m_capture.Start(m_pWebView, [this](bool haveBytes, std::string bytes, std::string charset) {
                PageCaptured(haveBytes, std::move(bytes), std::move(charset));
            });
        }
        break;
    default:
        break;
    }
}

void CDSCView::OnLoadFailed(int loadEvent, const GError *error) {
    m_bLoadFailed = true;
    // WebKit shows an error page for a failure but a cancelled load, a download or a plug-in's load.
    bool errorPage =
        !g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) &&
        !g_error_matches(error, WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD) &&
        !g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE);
    if (errorPage && loadEvent != WEBKIT_LOAD_COMMITTED)
        m_bErrorPageNext = true;
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

void CDSCView::OnTitleChanged(wxWebViewEvent &event) {
    if (CDSCDocument *document = GetPageDocument()) {
        wxString title = event.GetString();
        document->SetPageTitle(title.empty() ? m_pWebView->GetCurrentURL() : title);
    }
}

void CDSCView::OnActiveTabChanged(wxCommandEvent &) {
    ShowAddress();
}

void CDSCView::ShowAddress() {
    IMainWindow *mainWindow = GetMainWindow();
    if (!mainWindow || !m_pWebView)
        return;
    mainWindow->SetAddressText(
        IsRefusedPage(m_pWebView->GetCurrentURL()) ? std::u16string() : CurrentAddress(*m_pWebView, m_strRequestedURL));
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
        IMainWindow *mainWindow = GetMainWindow();
        std::u16string address = mainWindow ? mainWindow->GetAddressText() : std::u16string();
        if (!address.empty())
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
    // Back, Forward and Stop as WebKit's history and loading state stand now.
    case ID_GO_BACK:
        event.Enable(m_pWebKitView && webkit_web_view_can_go_back(m_pWebKitView));
        break;
    case ID_GO_FORWARD:
        event.Enable(m_pWebKitView && webkit_web_view_can_go_forward(m_pWebKitView));
        break;
    case ID_STOP:
        event.Enable(m_pWebKitView && webkit_web_view_is_loading(m_pWebKitView));
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
