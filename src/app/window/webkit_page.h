#pragma once
// What the browser view needs of WebKit beyond wxWebView: the page's bytes exactly as served (the main
// resource) and the charset the page was decoded with (document.characterSet). Both arrive asynchronously on the
// GLib main loop; a capture is cancelled when its view goes away or a new page starts, and then never calls back.
#include <functional>
#include <string>

class wxWebView;
typedef struct _GCancellable GCancellable;
typedef struct _WebKitWebView WebKitWebView;

class CPageCapture {
public:
    // haveBytes is false when WebKit had no main resource or could not give its data.
    using Callback = std::function<void(bool haveBytes, std::string bytes, std::string charset)>;

    CPageCapture() = default;
    ~CPageCapture() { Cancel(); }
    CPageCapture(const CPageCapture &) = delete;
    CPageCapture &operator=(const CPageCapture &) = delete;

    // Cancels a capture still running, then starts one for the page now in the web view.
    void Start(wxWebView *webView, Callback done);
    void Cancel();
    bool Running() const { return m_cancellable != nullptr; }

private:
    struct Pending;
    static void Finish(Pending *pending);
    // Frees the error; when the capture was cancelled, also frees its state and answers true.
    static bool EndIfCancelled(Pending *pending, struct _GError *error);

    GCancellable *m_cancellable = nullptr;
};

// Shows the program's own context menu instead of WebKit's: onContextMenu runs (later, from the main loop) with
// the pointer position in the web view's client coordinates.
void ReplaceWebKitContextMenu(wxWebView *webView, std::function<void(int x, int y)> onContextMenu);

// While it lives, every web view that is made (wxWebView makes its own) is made as a related view of `opener`: one
// that shares the opener's web process, so that WebKit can load a pop-up of the opener's page into it.
class CRelatedWebViewScope {
public:
    explicit CRelatedWebViewScope(WebKitWebView *opener);
    ~CRelatedWebViewScope();
    CRelatedWebViewScope(const CRelatedWebViewScope &) = delete;
    CRelatedWebViewScope &operator=(const CRelatedWebViewScope &) = delete;

private:
    WebKitWebView *m_previous;
};
