#include "app/window/text_view.h"

#include <wx/html/htmprint.h>
#include <wx/textctrl.h>

#include "app/window/child_frame.h"
#include "app/window/page_document.h"
#include "app/window/window_services.h"
#include "app/window/wx_text.h"
#include "platform/code_page.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDSCTextView, wxView);

std::u16string ConvertToControlLineEnds(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF that follows ends the line
        result += text[i];
    }
    return result;
}

namespace {

// The PBN text and the report are written in the document's output code page; the window shows them up to
// their first zero byte.
std::u16string DecodeOutput(const std::string &bytes, int codePage) {
    std::string_view view = bytes;
    view = view.substr(0, view.find('\0'));
    return platform::ConvertFromCodePage(view, static_cast<unsigned>(codePage));
}

} // namespace

CDSCTextView::~CDSCTextView() {
    ForgetFrame();
}

bool CDSCTextView::OnCreate(wxDocument *document, long) {
    auto *pageDocument = wxDynamicCast(document, CDSCDocument);
    m_nKind = pageDocument ? pageDocument->m_nNewTextViewKind : -1;
    auto *frame = new CChildFrame(document, this, GetMainFrame());
    m_pText = new wxTextCtrl(frame, wxID_ANY, wxEmptyString, wxDefaultPosition, frame->GetClientSize(),
                             wxTE_MULTILINE | wxTE_READONLY | wxHSCROLL | wxTE_DONTWRAP);
    // A fixed-pitch font of 9 points keeps the PBN and report columns aligned.
    wxFont font(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE).FaceName("Courier New"));
    if (font.IsOk())
        m_pText->SetFont(font);
    Bind(wxEVT_MENU, &CDSCTextView::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &CDSCTextView::OnUpdateCommand, this);
    SetFrame(frame);
    OnUpdate(nullptr, nullptr);
    frame->Show();
    Activate(true);
    return true;
}

std::u16string CDSCTextView::TextOfKind() const {
    auto *document = wxDynamicCast(GetDocument(), CDSCDocument);
    if (!document)
        return {};
    const CDSCDoc &page = document->Page();
    switch (m_nKind) {
    case TEXT_HTML_SOURCE:
        return page.m_strHtml;
    case TEXT_PBN:
        return DecodeOutput(page.m_strPbn, page.m_nOutputCodePage);
    case TEXT_REPORT:
        return DecodeOutput(page.m_strTextReport, page.m_nOutputCodePage);
    default:
        return {};
    }
}

void CDSCTextView::OnUpdate(wxView *, wxObject *) {
    if (m_pText)
        m_pText->ChangeValue(ToWx(ConvertToControlLineEnds(TextOfKind())));
}

bool CDSCTextView::OnClose(bool) {
    ForgetFrame();
    // The document closes with its last window only.
    wxDocument *document = GetDocument();
    if (document && document->GetViewsVector().size() == 1)
        return document->Close();
    return true;
}

void CDSCTextView::ForgetFrame() {
    auto *document = wxDynamicCast(GetDocument(), CDSCDocument);
    if (!document || m_nKind < 0 || m_nKind >= TEXT_KIND_COUNT)
        return;
    if (document->m_pTextFrames[m_nKind] && document->m_pTextFrames[m_nKind] == GetFrame())
        document->m_pTextFrames[m_nKind] = nullptr;
}

void CDSCTextView::OnCommand(wxCommandEvent &event) {
    switch (event.GetId()) {
    case wxID_COPY:
        m_pText->Copy();
        break;
    case wxID_SELECTALL:
        m_pText->SelectAll();
        break;
    case wxID_PRINT: {
        wxHtmlEasyPrinting printing("Dealscope", GetFrame());
        wxString text = m_pText->GetValue();
        text.Replace("&", "&amp;");
        text.Replace("<", "&lt;");
        text.Replace(">", "&gt;");
        printing.PrintText("<pre>" + text + "</pre>");
        break;
    }
    default:
        event.Skip();
    }
}

void CDSCTextView::OnUpdateCommand(wxUpdateUIEvent &event) {
    switch (event.GetId()) {
    case wxID_COPY: {
        long from = 0, to = 0;
        m_pText->GetSelection(&from, &to);
        event.Enable(from != to);
        break;
    }
    case wxID_CUT:
    case wxID_PASTE:
        event.Enable(false);
        break;
    case wxID_PRINT:
    case wxID_SELECTALL:
        event.Enable(true);
        break;
    default:
        event.Skip();
    }
}
