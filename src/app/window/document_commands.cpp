// The commands of the document menu: the text windows, Show Status, the Save As commands, the recap option and
// the companion's two commands.
#include <functional>

#include <wx/menu.h>
#include <wx/utils.h>

#include "app/document_output.h"
#include "app/window/child_frame.h"
#include "app/window/command_ids.h"
#include "app/window/favorites_hooks.h"
#include "app/window/page_document.h"
#include "app/window/window_prompts.h"
#include "app/window/window_services.h"
#include "app/window/wx_text.h"
#include "companion/companion_commands.h"
#include "platform/error_report.h"
#include "platform/settings.h"

namespace {

struct SaveKind {
    const char16_t *extension;
    const char16_t *filter;
};

const SaveKind SAVE_KINDS[TEXT_KIND_COUNT] = {
    {u".htm", u"HTML Files (*.htm; *.html)|*.htm;*.html|All Files (*.*)|*.*"},
    {u".pbn", u"PBN Files (*.pbn)|*.pbn|All Files (*.*)|*.*"},
    {u".txt", u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*"},
};

int TextKindOfSave(int id) {
    return id == ID_SAVE_HTML_AS ? TEXT_HTML_SOURCE : id == ID_SAVE_PBN_AS ? TEXT_PBN : TEXT_REPORT;
}

} // namespace

void CDSCDocument::OnViewText(int kind) {
    if (kind < 0 || kind >= TEXT_KIND_COUNT)
        return;
    if (CChildFrame *frame = m_pTextFrames[kind]) {
        frame->ActivateFrame();
        return;
    }
    m_nNewTextViewKind = kind;
    IWindowServices *services = GetWindowServices();
    wxDocTemplate *textTemplate = services ? services->TextViewTemplate() : nullptr;
    wxView *view = textTemplate ? textTemplate->CreateView(this) : nullptr;
    if (!view)
        return;
    m_pTextFrames[kind] = dynamic_cast<CChildFrame *>(view->GetFrame());
    if (m_pTextFrames[kind])
        m_pTextFrames[kind]->ActivateFrame();
}

void CDSCDocument::OnShowStatus() {
    ::OnShowStatus(m_page);
}

void CDSCDocument::OnSaveAs(int kind) {
    const SaveKind &save = SAVE_KINDS[kind];
    std::u16string name = m_page.GetDefaultFileName(save.extension);
    std::optional<std::string> path = ChooseSavePath(GetMainFrame(), name, save.extension, save.filter);
    if (!path)
        return;
    // The page is saved with all the bytes the browser loaded; the texts as the conversion wrote them.
    const std::string &content = kind == TEXT_HTML_SOURCE ? m_page.m_strRawHtml
                                 : kind == TEXT_PBN       ? m_page.m_strPbn
                                                          : m_page.m_strTextReport;
    WriteTextFile(platform::Utf8ToUtf16(*path), content);
}

void CDSCDocument::OnRecapOption(int option) {
    if (option < RECAP_OMIT || option > RECAP_ADD_TO_BOARD1)
        return;
    // The choice becomes the default of pages opened later, whether or not it changes this one.
    platform::AppSettings().SetInt("Settings", "RecapOption", option);
    if (option == m_page.m_nRecapOption)
        return;
    m_page.m_nRecapOption = option;
    m_page.Convert();
    UpdateAllViews();
}

bool CDSCDocument::CanDoubleDummyAll() const {
    return ::OnUpdateDoubleDummyAll(m_page);
}

void CDSCDocument::OnDoubleDummyAll() {
    // A failed analysis reports itself and leaves the document as it was; results re-convert the page, which
    // the text windows then show.
    if (::OnDoubleDummyAll(m_page))
        UpdateAllViews();
}

void CDSCDocument::OnOpenWithTricksmith() {
    ::OnOpenWithTricksmith(m_page);
}

namespace {

// Runs a command; a failure it reports itself ends it quietly, any other is shown.
void RunCommand(const std::function<void()> &command) {
    try {
        command();
    } catch (const platform::UserException &) {
        // Reported already; the command is abandoned.
    } catch (const platform::ProgramException &error) {
        platform::ShowError(error.Message());
    }
}

} // namespace

void CDSCDocument::OnCommand(wxCommandEvent &event) {
    const int id = event.GetId();
    RunCommand([this, id, &event] {
        if (id == ID_VIEW_SOURCE)
            OnViewText(TEXT_HTML_SOURCE);
        else if (id == ID_VIEW_PBN)
            OnViewText(TEXT_PBN);
        else if (id == ID_VIEW_TEXT)
            OnViewText(TEXT_REPORT);
        else if (id == ID_SAVE_HTML_AS || id == ID_SAVE_PBN_AS || id == ID_SAVE_TEXT_AS)
            OnSaveAs(TextKindOfSave(id));
        else if (id == ID_SHOW_STATUS)
            OnShowStatus();
        else if (id >= ID_RECAP_OMIT && id <= ID_RECAP_ADD_TO_BOARD1)
            OnRecapOption(id - ID_RECAP_OMIT);
        else if (id == ID_DOUBLE_DUMMY_ALL) {
            // The analysis takes seconds: it starts once the menu has closed and the window has been repainted,
            // and the busy cursor shows while it runs.
            CallAfter([this] {
                RunCommand([this] {
                    if (wxAuiMDIParentFrame *mainFrame = GetMainFrame())
                        mainFrame->Update();
                    wxBusyCursor busy;
                    OnDoubleDummyAll();
                });
            });
        } else if (id == ID_OPEN_WITH_TRICKSMITH)
            OnOpenWithTricksmith();
        else if (id == ID_WINDOW_NEW) {
            // Another page window on this document, of the page windows' template that made it.
            if (wxDocTemplate *browserTemplate = GetDocumentTemplate())
                browserTemplate->CreateView(this);
        } else if (id == ID_ADD_TO_FAVORITES || id == ID_FAVORITES ||
                   (id >= ID_FAVORITE_FIRST && id <= ID_FAVORITE_LAST)) {
            if (IFavoritesCommands *favorites = GetFavoritesCommands())
                favorites->OnCommand(*this, event);
        } else
            event.Skip();
    });
}

void CDSCDocument::OnUpdate(wxUpdateUIEvent &event) {
    const int id = event.GetId();
    switch (id) {
    case ID_VIEW_SOURCE:
    case ID_SAVE_HTML_AS:
        event.Enable(!m_page.m_strHtml.empty());
        return;
    case ID_SHOW_STATUS:
    case ID_WINDOW_NEW:
        event.Enable(true);
        return;
    case ID_VIEW_PBN:
    case ID_SAVE_PBN_AS:
    case ID_VIEW_TEXT:
    case ID_SAVE_TEXT_AS:
        event.Enable(m_page.m_bConverted);
        return;
    case ID_OPEN_WITH_TRICKSMITH:
        event.Enable(OnUpdateOpenWithTricksmith(m_page));
        return;
    case ID_DOUBLE_DUMMY_ALL:
        event.Enable(CanDoubleDummyAll());
        return;
    case ID_RECAP_OMIT:
    case ID_RECAP_INSERT_BOARD:
    case ID_RECAP_ADD_TO_BOARD1:
        event.Enable(true);
        event.Check(id - ID_RECAP_OMIT == m_page.m_nRecapOption);
        return;
    default:
        break;
    }
    if (id == ID_ADD_TO_FAVORITES || id == ID_FAVORITES || (id >= ID_FAVORITE_FIRST && id <= ID_FAVORITE_LAST)) {
        if (IFavoritesCommands *favorites = GetFavoritesCommands())
            favorites->OnUpdate(*this, event);
        else
            event.Enable(false);
        return;
    }
    event.Skip();
}
