#include "app/window/windows_dialog.h"

#include <algorithm>

#include <gtk/gtk.h>
#include <wx/aui/auibook.h>
#include <wx/aui/tabmdi.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/window/display_areas.h"

CWindowsDialog::CWindowsDialog(wxAuiMDIParentFrame *frame)
    : wxDialog(frame, wxID_ANY, "Windows", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_pFrame(frame) {
    auto *columns = new wxBoxSizer(wxHORIZONTAL);
    auto *left = new wxBoxSizer(wxVERTICAL);
    left->Add(new wxStaticText(this, wxID_ANY, "&Select window:"), 0, wxBOTTOM, 4);
    // Shift and Ctrl with a click choose several windows, as in a file list.
    m_pList = new wxListBox(this, IDC_WINDOW_LIST, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_EXTENDED);
    left->Add(m_pList, 1, wxEXPAND);
    columns->Add(left, 1, wxEXPAND | wxALL, 10);

    auto *buttons = new wxBoxSizer(wxVERTICAL);
    m_pActivate = new wxButton(this, IDC_ACTIVATE, "&Activate");
    auto *ok = new wxButton(this, wxID_OK, "OK");
    m_pClose = new wxButton(this, IDC_CLOSE_WINDOWS, "&Close Window(s)");
    buttons->Add(m_pActivate, 0, wxEXPAND | wxBOTTOM, 6);
    buttons->Add(ok, 0, wxEXPAND | wxBOTTOM, 6);
    buttons->Add(m_pClose, 0, wxEXPAND | wxBOTTOM, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxEXPAND);
    columns->Add(buttons, 0, wxTOP | wxRIGHT | wxBOTTOM, 10);
    ok->SetDefault();
    SetSizer(columns);

    Bind(
        wxEVT_LISTBOX, [this](wxCommandEvent &) { UpdateButtons(); }, IDC_WINDOW_LIST);
    Bind(wxEVT_LISTBOX_DCLICK, &CWindowsDialog::OnDoubleClick, this, IDC_WINDOW_LIST);
    Bind(wxEVT_BUTTON, &CWindowsDialog::OnActivate, this, IDC_ACTIVATE);
    Bind(wxEVT_BUTTON, &CWindowsDialog::OnCloseWindows, this, IDC_CLOSE_WINDOWS);
    Bind(wxEVT_BUTTON, &CWindowsDialog::OnOK, this, wxID_OK);
    Bind(wxEVT_IDLE, &CWindowsDialog::OnIdle, this);

    FillList();
    FitList();
    CentreOnParent();
    m_pList->SetFocus();
}

void CWindowsDialog::FillList() {
    wxAuiNotebook *tabs = m_pFrame->GetNotebook();
    m_windows.clear();
    m_pList->Clear();
    for (size_t i = 0; i < tabs->GetPageCount(); ++i) {
        m_windows.push_back(tabs->GetPage(i));
        m_pList->Append(tabs->GetPageText(i));
    }
    if (const int active = tabs->GetSelection(); active != wxNOT_FOUND && size_t(active) < m_windows.size())
        m_pList->SetSelection(active);
    UpdateButtons();
}

void CWindowsDialog::OnIdle(wxIdleEvent &event) {
    event.Skip();
    // Titles change while the dialog is open: a page finishes loading, or the windows of a document are numbered
    // anew when one of them has closed.
    wxAuiNotebook *tabs = m_pFrame->GetNotebook();
    if (tabs->GetPageCount() != m_windows.size()) {
        FillList();
        return;
    }
    for (size_t i = 0; i < m_windows.size(); ++i) {
        if (tabs->GetPage(i) != m_windows[i]) {
            FillList();
            return;
        }
        if (const wxString title = tabs->GetPageText(i); m_pList->GetString(unsigned(i)) != title)
            m_pList->SetString(unsigned(i), title);
    }
}

void CWindowsDialog::FitList() {
    const wxRect area = WorkAreaOf(m_pFrame);
    Fit();
    const wxSize room = area.GetSize() - (GetSize() - m_pList->GetSize());
    GtkWidget *rows = GTK_WIDGET(m_pList->m_treeview);
    int width = 0, height = 0;
    gtk_widget_get_preferred_width(rows, nullptr, &width);
    gtk_widget_get_preferred_height(rows, nullptr, &height);
    const wxSize border = m_pList->GetSize() - m_pList->GetClientSize();
    const wxSize content(width + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_pList) + border.x, height + border.y);
    m_pList->SetMinSize(wxSize(std::min(std::max(content.x, m_pList->GetSize().x), room.x),
                               std::min(std::max(content.y, m_pList->GetSize().y), room.y)));
    Fit();
    SetMinSize(GetSize());
}

std::vector<wxWindow *> CWindowsDialog::ChosenWindows() const {
    wxArrayInt rows;
    m_pList->GetSelections(rows);
    std::vector<wxWindow *> chosen;
    for (int row : rows)
        if (row >= 0 && size_t(row) < m_windows.size())
            chosen.push_back(m_windows[size_t(row)]);
    return chosen;
}

void CWindowsDialog::UpdateButtons() {
    wxArrayInt rows;
    const int count = m_pList->GetSelections(rows);
    m_pActivate->Enable(count == 1);
    m_pClose->Enable(count > 0);
}

void CWindowsDialog::ActivateChosen() {
    const std::vector<wxWindow *> chosen = ChosenWindows();
    if (chosen.size() != 1)
        return;
    wxAuiNotebook *tabs = m_pFrame->GetNotebook();
    // The window may have gone in the meantime (a page can close its own window).
    if (const int page = tabs->GetPageIndex(chosen.front()); page != wxNOT_FOUND)
        tabs->SetSelection(size_t(page));
}

void CWindowsDialog::OnActivate(wxCommandEvent &) {
    ActivateChosen();
}

void CWindowsDialog::OnCloseWindows(wxCommandEvent &) {
    wxAuiNotebook *tabs = m_pFrame->GetNotebook();
    for (wxWindow *window : ChosenWindows())
        if (tabs->GetPageIndex(window) != wxNOT_FOUND)
            window->Close();
    // What remains (a window may refuse to close), the active one chosen.
    FillList();
}

void CWindowsDialog::OnOK(wxCommandEvent &event) {
    ActivateChosen();
    event.Skip(); // the dialog's own OK ends it
}

void CWindowsDialog::OnDoubleClick(wxCommandEvent &) {
    ActivateChosen();
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}
