#pragma once
// The "Favorites" dialog: reorders and removes the favorites and opens one of them in the page window behind it.
// It works on its own order of the list; the program's list and its file change only when the user presses OK,
// and only once the file has taken the new list.
#include <functional>
#include <string>

#include <vector>

#include <wx/dialog.h>
#include <wx/listctrl.h>

#include "app/favorites_order.h"

class FavoritesList;
class wxButton;
class wxListEvent;
class wxStaticText;

// The dialog's list: it stores no texts, but shows each row's favorite straight from the program's list, which
// does not change while the dialog is open.
class FavoritesListCtrl : public wxListCtrl {
public:
    FavoritesListCtrl(wxWindow *parent, int id, const wxPoint &pos, const wxSize &size,
                      const std::vector<std::u16string> &favorites, const FavoritesOrder &order);

    // The window that shows the rows (the list has no column header).
    wxWindow *GetRowsWindow() { return GetChildren().empty() ? this : GetChildren().front(); }

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    const std::vector<std::u16string> &m_favorites;
    const FavoritesOrder &m_order;
};

class CFavoritesDialog : public wxDialog {
public:
    // Control ids of the dialog (OK and Cancel are wxID_OK and wxID_CANCEL).
    enum : int {
        IDC_FAVORITES_NOTE = 1000,
        IDC_FAVORITES_LIST = 1001,
        IDC_MOVE_UP = 1002,
        IDC_MOVE_DOWN = 1003,
        IDC_MOVE_TOP = 1004,
        IDC_MOVE_BOTTOM = 1005,
        IDC_REMOVE = 1006,
        IDC_BROWSE_TO = 1007,
    };
    // Opens an address in the page window the dialog was opened from.
    using Navigator = std::function<void(const std::u16string &url)>;

    CFavoritesDialog(wxWindow *parent, FavoritesList &favorites);
    ~CFavoritesDialog() override;

    // The page window's browser, set before the dialog is shown; none leaves Browse To disabled.
    void SetNavigator(Navigator navigate) { m_navigate = std::move(navigate); }

    // What the tests look at.
    FavoritesListCtrl *GetList() const { return m_list; }
    const FavoritesOrder &GetOrder() const { return m_order; }
    void UpdateButtons();
    // The selected rows of the list, ascending.
    std::vector<int> GetSelection() const;
    void MoveSelected(int delta);
    void OnRemove();
    void OnBrowseTo();
    void OnOK();

private:
    void OnInitDialog(wxInitDialogEvent &event);
    void OnItemChanged(wxListEvent &event);
    void OnItemActivated(wxListEvent &event);
    void OnListMotion(wxMouseEvent &event);
    void OnCharHook(wxKeyEvent &event);
    int ColumnWidth() const;
    void OnButton(wxCommandEvent &event);
    void OnUpdateButton(wxUpdateUIEvent &event);
    // Between the list control's selection and the working order.
    void ReadSelection();
    void ShowOrder();

    FavoritesList &m_favorites;
    FavoritesOrder m_order;
    Navigator m_navigate;
    bool m_bInitialized = false;
    bool m_bShowingOrder = false;
    wxStaticText *m_note = nullptr;
    FavoritesListCtrl *m_list = nullptr;
    wxButton *m_btnRemove = nullptr;
    wxButton *m_btnBrowseTo = nullptr;
    wxButton *m_btnMoveTop = nullptr;
    wxButton *m_btnMoveUp = nullptr;
    wxButton *m_btnMoveDown = nullptr;
    wxButton *m_btnMoveBottom = nullptr;
};
