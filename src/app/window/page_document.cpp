#include "app/window/page_document.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/window/browser_view.h"
#include "app/window/child_frame.h"
#include "app/window/window_services.h"
#include "app/window/wx_text.h"
#include "platform/error_report.h"
#include "platform/file_uri.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDSCDocument, wxDocument);

void CDSCDocument::CPage::OnPageConverted(IPageSource &view) {
    // The text windows follow the new page; the browser view that loaded it needs nothing.
    m_owner.UpdateAllViews(dynamic_cast<wxView *>(&view));
}

CDSCDocument::CDSCDocument() : m_page(*this) {
    Bind(wxEVT_MENU, &CDSCDocument::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &CDSCDocument::OnUpdate, this);
}

CDSCDocument::~CDSCDocument() = default;

bool CDSCDocument::OnOpenDocument(const wxString &path) {
    std::string utf8Path = PathFromWx(path);
    std::ifstream file(utf8Path, std::ios::binary);
    // A folder opens as a stream too, but it is no page.
    std::error_code error;
    if (file && std::filesystem::is_directory(utf8Path, error))
        errno = EISDIR, file.close(), file.setstate(std::ios::failbit);
    if (!file) {
        std::u16string reason = platform::Utf8ToUtf16(std::strerror(errno));
        platform::ShowError(u"Failed to open document.\r\n\r\n" + platform::PathBytesToText(utf8Path) + u": " + reason);
        return false;
    }
    file.close();
    DeleteContents();
    // The window shows the name as text: a byte that is not UTF-8 shows as U+FFFD.
    SetTitle(ToWx(platform::Utf8ToUtf16(std::filesystem::path(utf8Path).filename().native())));
    SetFilename(path, true);
    Modify(false);
    SetDocumentSaved(true);
    // The browser view loads the page; its load entry converts it.
    Navigate(platform::Utf8ToUtf16(platform::FileUriFromPath(utf8Path)));
    return true;
}

bool CDSCDocument::DeleteContents() {
    m_page.DeleteContents();
    return true;
}

CDSCView *CDSCDocument::GetBrowserView() const {
    for (wxView *view : GetViewsVector())
        if (auto *browser = wxDynamicCast(view, CDSCView))
            return browser;
    return nullptr;
}

void CDSCDocument::Navigate(const std::u16string &url) {
    if (CDSCView *view = GetBrowserView())
        view->Navigate2(url);
}

void CDSCDocument::SetPageTitle(const wxString &title) {
    SetTitle(title);
    for (wxView *view : GetViewsVector())
        if (auto *frame = dynamic_cast<CChildFrame *>(view->GetFrame()))
            frame->SetTitleText(title);
}
