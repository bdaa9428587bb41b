#pragma once
// The "Windows" dialog: every open page and text window in a list where several can be chosen. Activate brings the
// chosen window to the front and leaves the dialog open; Close Window(s) closes every chosen window and lists those
// that remain; OK brings the chosen window to the front and closes the dialog; Cancel only closes it.
#include <vector>

#include <wx/dialog.h>

class wxAuiMDIParentFrame;
class wxButton;
class wxListBox;

class CWindowsDialog : public wxDialog {
public:
    enum { IDC_WINDOW_LIST = wxID_HIGHEST + 1, IDC_ACTIVATE, IDC_CLOSE_WINDOWS };

    explicit CWindowsDialog(wxAuiMDIParentFrame *frame);

    wxListBox *GetList() const { return m_pList; }
    // Activate needs exactly one chosen window, Close Window(s) at least one.
    void UpdateButtons();

private:
    // The open windows in the order of their tabs, the active one chosen.
    void FillList();
    std::vector<wxWindow *> ChosenWindows() const;
    void ActivateChosen();
    // The list as wide as its longest title and as high as its rows, as far as the screen has room.
    void FitList();

    void OnActivate(wxCommandEvent &event);
    void OnCloseWindows(wxCommandEvent &event);
    void OnOK(wxCommandEvent &event);
    void OnDoubleClick(wxCommandEvent &event);
    void OnIdle(wxIdleEvent &event);

    wxAuiMDIParentFrame *m_pFrame;
    wxListBox *m_pList = nullptr;
    wxButton *m_pActivate = nullptr;
    wxButton *m_pClose = nullptr;
    std::vector<wxWindow *> m_windows; // the window of each row
};
