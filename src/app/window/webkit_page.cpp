#include "app/window/webkit_page.h"

#include <dlfcn.h>

#include <webkit2/webkit2.h>
#include <wx/webview.h>

struct CPageCapture::Pending {
    CPageCapture *owner;
    GCancellable *cancellable;
    WebKitWebView *webView;
    Callback done;
    bool haveBytes = false;
    std::string bytes;
    std::string charset;
};

namespace {

bool WasCancelled(GError *error) {
    return error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

} // namespace

bool CPageCapture::EndIfCancelled(Pending *pending, GError *error) {
    bool cancelled = WasCancelled(error) || g_cancellable_is_cancelled(pending->cancellable);
    if (error)
        g_error_free(error);
    if (cancelled) {
        // The owner may be gone: free the capture's state and touch nothing else.
        g_object_unref(pending->cancellable);
        delete pending;
    }
    return cancelled;
}

void CPageCapture::Cancel() {
    if (!m_cancellable)
        return;
    // The pending callbacks see the cancellation and free their state without touching the view.
    g_cancellable_cancel(m_cancellable);
    g_object_unref(m_cancellable);
    m_cancellable = nullptr;
}

void CPageCapture::Start(wxWebView *webView, Callback done) {
    Cancel();
    m_cancellable = g_cancellable_new();
    auto *pending = new Pending{this,
                                G_CANCELLABLE(g_object_ref(m_cancellable)),
                                static_cast<WebKitWebView *>(webView->GetNativeBackend()),
                                std::move(done),
                                false,
                                {},
                                {}};

    static const auto askCharset = [](Pending *p) {
        static const char SCRIPT[] = "document.characterSet";
        webkit_web_view_evaluate_javascript(
            p->webView, SCRIPT, -1, nullptr, nullptr, p->cancellable,
            [](GObject *source, GAsyncResult *result, gpointer data) {
                auto *p = static_cast<Pending *>(data);
                GError *error = nullptr;
                JSCValue *value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
                if (value) {
                    if (jsc_value_is_string(value)) {
                        char *text = jsc_value_to_string(value);
                        p->charset = text ? text : "";
                        g_free(text);
                    }
                    g_object_unref(value);
                }
                if (!EndIfCancelled(p, error))
                    Finish(p);
            },
            p);
    };

    WebKitWebResource *resource = webkit_web_view_get_main_resource(pending->webView);
    if (!resource) {
        askCharset(pending);
        return;
    }
    webkit_web_resource_get_data(
        resource, pending->cancellable,
        [](GObject *source, GAsyncResult *result, gpointer data) {
            auto *p = static_cast<Pending *>(data);
            GError *error = nullptr;
            gsize length = 0;
            guchar *bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result, &length, &error);
            if (bytes) {
                p->haveBytes = true;
                p->bytes.assign(reinterpret_cast<const char *>(bytes), length);
            }
            g_free(bytes);
            if (!EndIfCancelled(p, error))
                askCharset(p);
        },
        pending);
}

void CPageCapture::Finish(Pending *pending) {
    // Not cancelled, so the owner is alive and this is its current capture.
    CPageCapture *owner = pending->owner;
    Callback done = std::move(pending->done);
    bool haveBytes = pending->haveBytes;
    std::string bytes = std::move(pending->bytes);
    std::string charset = std::move(pending->charset);
    g_object_unref(pending->cancellable);
    delete pending;
    owner->Cancel(); // the capture is over: drop its cancellable
    done(haveBytes, std::move(bytes), std::move(charset));
}

namespace {

struct ContextMenuHook {
    wxWebView *webView;
    std::function<void(int, int)> show;
};

gboolean OnContextMenu(WebKitWebView *, WebKitContextMenu *, GdkEvent *event, WebKitHitTestResult *, gpointer data) {
    auto *hook = static_cast<ContextMenuHook *>(data);
    double x = 0, y = 0;
    if (!event || !gdk_event_get_coords(event, &x, &y)) {
        wxPoint mouse = hook->webView->ScreenToClient(wxGetMousePosition());
        x = mouse.x;
        y = mouse.y;
    }
    // Showing a menu from inside WebKit's signal would nest its event handling: show it from the main loop.
    wxWebView *webView = hook->webView;
    auto show = hook->show;
    webView->CallAfter([show, x, y] { show(static_cast<int>(x), static_cast<int>(y)); });
    return TRUE; // no WebKit menu
}

} // namespace

void ReplaceWebKitContextMenu(wxWebView *webView, std::function<void(int x, int y)> onContextMenu) {
    auto *hook = new ContextMenuHook{webView, std::move(onContextMenu)};
    g_signal_connect_data(
        webView->GetNativeBackend(), "context-menu", G_CALLBACK(OnContextMenu), hook,
        [](gpointer data, GClosure *) { delete static_cast<ContextMenuHook *>(data); }, GConnectFlags(0));
}

namespace {

// The opener of the web view being made, or nullptr.
WebKitWebView *g_opener = nullptr;
GObject *(*g_webViewConstructor)(GType, guint, GObjectConstructParam *) = nullptr;

// The web view class's constructor, with the opener as the "related-view" construct property while there is one.
GObject *ConstructWebView(GType type, guint count, GObjectConstructParam *params) {
    GValue related = G_VALUE_INIT;
    if (g_opener) {
        g_value_init(&related, WEBKIT_TYPE_WEB_VIEW);
        g_value_set_object(&related, g_opener);
        // The value a property has not been given is the shared default: point at ours, never change it.
        for (guint i = 0; i < count; ++i)
            if (g_strcmp0(g_param_spec_get_name(params[i].pspec), "related-view") == 0)
                params[i].value = &related;
    }
    GObject *made = g_webViewConstructor(type, count, params);
    if (g_opener)
        g_value_unset(&related);
    return made;
}

} // namespace

CRelatedWebViewScope::CRelatedWebViewScope(WebKitWebView *opener) : m_previous(g_opener) {
    if (!g_webViewConstructor) {
        auto *webViewClass = G_OBJECT_CLASS(g_type_class_ref(WEBKIT_TYPE_WEB_VIEW));
        g_webViewConstructor = webViewClass->constructor;
        webViewClass->constructor = ConstructWebView;
    }
    g_opener = opener;
}

CRelatedWebViewScope::~CRelatedWebViewScope() {
    g_opener = m_previous;
}

// wxWebView starts every web view it makes by loading the address it was made with, an empty one for ours. That
// load is of nothing, and in a pop-up's web view it would take the place of the page that the opener loads there:
// an empty address loads nothing.
extern "C" void webkit_web_view_load_uri(WebKitWebView *webView, const gchar *uri) {
    using LoadUri = void (*)(WebKitWebView *, const gchar *);
    static const auto webKitLoadUri = reinterpret_cast<LoadUri>(dlsym(RTLD_NEXT, "webkit_web_view_load_uri"));
    if (uri && *uri)
        webKitLoadUri(webView, uri);
}
