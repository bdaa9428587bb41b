#pragma once
// The window's document of one page: the page and its conversion (CDSCDoc), the views that show it (a browser
// view and up to three text windows), and the commands of the document menu.
#include <array>
#include <string>

#include <wx/docview.h>

#include "conversion/dsc_doc.h"

class CChildFrame;
class CDSCView;

// Text window kinds.
enum TextKind { TEXT_HTML_SOURCE = 0, TEXT_PBN = 1, TEXT_REPORT = 2, TEXT_KIND_COUNT = 3 };

class CDSCDocument : public wxDocument {
    wxDECLARE_DYNAMIC_CLASS(CDSCDocument);

public:
    CDSCDocument();
    ~CDSCDocument() override;

    // The page and its conversion.
    CDSCDoc &Page() { return m_page; }
    const CDSCDoc &Page() const { return m_page; }

    // Only tests that the file can be read; the browser view then loads it as a file URI.
    bool OnOpenDocument(const wxString &path) override;
    bool DeleteContents() override;
    // Pages are never saved as documents: nothing to ask when a window closes.
    bool OnSaveModified() override { return true; }
    bool IsModified() const override { return false; }

    // The document's first browser view, or nullptr.
    CDSCView *GetBrowserView() const;
    // Navigates the first browser view.
    void Navigate(const std::u16string &url);
    // The page title shown on the tab and in the main window's title.
    void SetPageTitle(const wxString &title);

    // The document's commands (see document_commands.cpp).
    void OnViewText(int kind);
    void OnShowStatus();
    void OnSaveAs(int kind);
    void OnRecapOption(int option);
    void OnDoubleDummyAll();
    void OnOpenWithTricksmith();
    bool CanDoubleDummyAll() const;

    // What the window keeps for the document.
    std::array<CChildFrame *, TEXT_KIND_COUNT> m_pTextFrames{};
    int m_nNewTextViewKind = -1;
    std::u16string m_strFavoritesMenuText;

private:
    // The page whose converted outputs refresh the document's other views.
    class CPage : public CDSCDoc {
    public:
        explicit CPage(CDSCDocument &owner) : m_owner(owner) {}

    protected:
        void OnPageConverted(IPageSource &view) override;

    private:
        CDSCDocument &m_owner;
    };

    void OnCommand(wxCommandEvent &event);
    void OnUpdate(wxUpdateUIEvent &event);

    CPage m_page;
};
