#pragma once
// A read-only text window of a page: its HTML source, its PBN text or its text report, refreshed whenever the
// document's views are updated (a new page, a recap change, double-dummy results).
#include <string>
#include <string_view>

#include <wx/docview.h>

class wxTextCtrl;
class CDSCDocument;

class CDSCTextView : public wxView {
    wxDECLARE_DYNAMIC_CLASS(CDSCTextView);

public:
    CDSCTextView() = default;
    ~CDSCTextView() override;

    bool OnCreate(wxDocument *document, long flags) override;
    void OnDraw(wxDC *) override {}
    void OnUpdate(wxView *sender, wxObject *hint) override;
    bool OnClose(bool deleteWindow) override;

    int m_nKind = -1;
    wxTextCtrl *GetTextCtrl() const { return m_pText; }
    // The text the window shows for its kind, as the control holds it.
    std::u16string TextOfKind() const;

private:
    void OnCommand(wxCommandEvent &event);
    void OnUpdateCommand(wxUpdateUIEvent &event);
    void ForgetFrame();

    wxTextCtrl *m_pText = nullptr;
};

// Line ends as the text control keeps them: CR LF and a lone LF each become one LF; a lone CR stays.
std::u16string ConvertToControlLineEnds(std::u16string_view text);
