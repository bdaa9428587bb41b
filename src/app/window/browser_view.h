#pragma once
// The view of a page window: a WebKit web view that browses, keeps the toolbar's address box and the
// Back/Forward/Stop/Refresh states, opens pop-ups in new page windows, and hands every completed page to the
// document's load entry with the page's bytes exactly as served and the code page of its charset.
#include <chrono>
#include <string>

#include <wx/docview.h>

#include "app/window/webkit_page.h"
#include "conversion/page_source.h"

class wxWebView;
class wxWebViewEvent;
class CDSCDocument;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _GError GError;

class CDSCView : public wxView, public IPageSource {
    wxDECLARE_DYNAMIC_CLASS(CDSCView);

public:
    CDSCView() = default;
    ~CDSCView() override;

    bool OnCreate(wxDocument *document, long flags) override;
    void OnDraw(wxDC *) override {}
    bool OnClose(bool deleteWindow) override;
    void OnUpdate(wxView *, wxObject *) override {}
    void OnChangeFilename() override;

    // Goes to an address (the address box, favorites, start-up, pop-ups).
    void Navigate2(const std::u16string &url);
    wxWebView *GetWebView() const { return m_pWebView; }
    CDSCDocument *GetPageDocument() const;

    // The page source of the last completed page.
    std::u16string GetLocationURL() override;
    bool GetRawSource(std::string &bytes) override;
    unsigned GetDocumentCodePage() override;

    // When the last page's stages ended: navigation started, WebKit finished loading, its bytes and charset
    // arrived, the document's load entry (parse and conversion) returned.
    struct PageTimes {
        std::chrono::steady_clock::time_point navigating, loaded, captured, converted;
    };
    const PageTimes &LastPageTimes() const { return m_times; }

    bool m_bRefreshEnabled = false;
    // The last navigation ended in an error (no page to convert).
    bool m_bLoadFailed = false;

private:
    // WebKit's signals on the view's web view (connected in OnCreate, gone with the view).
    void ConnectWebKitSignals();
    void DisconnectWebKitSignals();
    void OnLoadChanged(int loadEvent);
    void OnLoadFailed(int loadEvent, const GError *error);
    bool OnDecidePolicy(WebKitPolicyDecision *decision, int type);
    WebKitWebView *OnCreatePopUp(const std::string &url);
    void OnTitleChanged(wxWebViewEvent &event);
    void OnActiveTabChanged(wxCommandEvent &event);
    void OnCommand(wxCommandEvent &event);
    void OnUpdateCommand(wxUpdateUIEvent &event);
    // The address box as the view's URI.
    void ShowAddress();
    void ShowContextMenu(int x, int y);
    void PageCaptured(bool haveBytes, std::string bytes, std::string charset);
    bool IsRefusedPage(const wxString &url) const;

    wxWebView *m_pWebView = nullptr;
    WebKitWebView *m_pWebKitView = nullptr; // held until the view goes
    std::u16string m_strRequestedURL;
    std::u16string m_strStartedURL; // where the main frame's last load went
    // The main frame's load since it started: it committed a new document; it failed before that and WebKit
    // shows its error page for it next (a page that is not converted).
    bool m_bCommitted = false;
    bool m_bErrorPageNext = false;
    bool m_bShowingErrorPage = false;
    PageTimes m_times; // where the view was last sent
    CPageCapture m_capture;
    // The captured page the document's load entry reads.
    std::u16string m_strCapturedURL;
    std::string m_strCapturedBytes;
    bool m_bCapturedBytes = false;
    std::string m_strCapturedCharset;
};

// The address a typed or given text loads, without the blanks around it: a text with a scheme as it stands; an
// existing file's path as its file URI; anything else, a "host:port/..." too, as a web address ("http://" put in
// front), as browsers do with what is typed.
std::u16string AddressToLoad(const std::u16string &text);
