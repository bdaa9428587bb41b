#include "app/window/favorites_dialog.h"

#include <wx/button.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "app/favorites.h"
#include "app/window/size_box_window.h"
#include "app/window/wx_text.h"
#include "platform/error_report.h"

namespace {

// How each control follows the dialog's size: the note widens, the list grows both ways, the three rows of
// buttons stay centred and keep their distance from the bottom edge.
constexpr unsigned CENTRED_AT_BOTTOM = CSizeBox::STRETCH_CENTER_X | CSizeBox::STRETCH_MOVE_X | CSizeBox::STRETCH_MOVE_Y;
constexpr CSizeBox::StretchRow FAVORITES_STRETCH_TABLE[] = {
    {CFavoritesDialog::IDC_FAVORITES_NOTE, CSizeBox::STRETCH_SIZE_X},
    {CFavoritesDialog::IDC_FAVORITES_LIST, CSizeBox::STRETCH_SIZE_X | CSizeBox::STRETCH_SIZE_Y},
    {CFavoritesDialog::IDC_REMOVE, CENTRED_AT_BOTTOM},
    {CFavoritesDialog::IDC_BROWSE_TO, CENTRED_AT_BOTTOM},
    {CFavoritesDialog::IDC_MOVE_TOP, CENTRED_AT_BOTTOM},
    {CFavoritesDialog::IDC_MOVE_UP, CENTRED_AT_BOTTOM},
    {CFavoritesDialog::IDC_MOVE_DOWN, CENTRED_AT_BOTTOM},
    {CFavoritesDialog::IDC_MOVE_BOTTOM, CENTRED_AT_BOTTOM},
    {wxID_OK, CENTRED_AT_BOTTOM},
    {wxID_CANCEL, CENTRED_AT_BOTTOM},
    {0, 0},
};

constexpr char SECTION[] = "FavoritesDialog";

} // namespace

FavoritesListCtrl::FavoritesListCtrl(wxWindow *parent, int id, const wxPoint &pos, const wxSize &size,
                                     const std::vector<std::u16string> &favorites, const FavoritesOrder &order)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL | wxLC_NO_HEADER | wxBORDER_SUNKEN),
      m_favorites(favorites), m_order(order) {}

wxString FavoritesListCtrl::OnGetItemText(long item, long) const {
    if (item < 0 || item >= m_order.Count())
        return {};
    const int favorite = m_order.FavoriteAt(static_cast<int>(item));
    return favorite >= 0 && static_cast<size_t>(favorite) < m_favorites.size()
               ? ToWx(m_favorites[static_cast<size_t>(favorite)])
               : wxString();
}

CFavoritesDialog::CFavoritesDialog(wxWindow *parent, FavoritesList &favorites)
    : wxDialog(parent, wxID_ANY, "Favorites", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER),
      m_favorites(favorites), m_order(static_cast<int>(favorites.Favorites().size())) {
    // The layout in dialog units, which follow the dialog's font.
    auto pos = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };
    SetClientSize(size(223, 194));
    m_note = new wxStaticText(this, IDC_FAVORITES_NOTE, "The top 32 favorites appear directly on the Favorites menu",
                              pos(6, 6), size(216, 8), wxST_NO_AUTORESIZE | wxALIGN_LEFT);
    m_list =
        new FavoritesListCtrl(this, IDC_FAVORITES_LIST, pos(3, 24), size(216, 102), m_favorites.Favorites(), m_order);
    auto button = [&](int id, const char *text, int x, int y) {
        return new wxButton(this, id, text, pos(x, y), size(50, 14));
    };
    m_btnRemove = button(IDC_REMOVE, "Remove", 60, 132);
    m_btnBrowseTo = button(IDC_BROWSE_TO, "Browse To", 114, 132);
    m_btnMoveTop = button(IDC_MOVE_TOP, "Move Top", 6, 150);
    m_btnMoveUp = button(IDC_MOVE_UP, "Move Up", 60, 150);
    m_btnMoveDown = button(IDC_MOVE_DOWN, "Move Down", 114, 150);
    m_btnMoveBottom = button(IDC_MOVE_BOTTOM, "Move Bottom", 168, 150);
    button(wxID_OK, "OK", 53, 173)->SetDefault();
    button(wxID_CANCEL, "Cancel", 119, 173);

    Bind(wxEVT_INIT_DIALOG, &CFavoritesDialog::OnInitDialog, this);
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, &CFavoritesDialog::OnItemChanged, this);
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, &CFavoritesDialog::OnItemChanged, this);
    m_list->Bind(wxEVT_LIST_ITEM_FOCUSED, &CFavoritesDialog::OnItemChanged, this);
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CFavoritesDialog::OnItemActivated, this);
    m_list->GetRowsWindow()->Bind(wxEVT_MOTION, &CFavoritesDialog::OnListMotion, this);
    // Enter is the default button's, OK, also on a row of the list; only a double-click opens the row.
    Bind(wxEVT_CHAR_HOOK, &CFavoritesDialog::OnCharHook, this);
    Bind(wxEVT_BUTTON, &CFavoritesDialog::OnButton, this, IDC_MOVE_UP, IDC_BROWSE_TO);
    Bind(wxEVT_BUTTON, &CFavoritesDialog::OnButton, this, wxID_OK);
    // A range of rows (de)selected at once may come without an event per row: the idle-time update catches up.
    Bind(wxEVT_UPDATE_UI, &CFavoritesDialog::OnUpdateButton, this, IDC_MOVE_UP, IDC_BROWSE_TO);
}

CFavoritesDialog::~CFavoritesDialog() {
    // The controls outlive this part of the dialog while the window is taken down: their events must no longer
    // reach it.
    Unbind(wxEVT_UPDATE_UI, &CFavoritesDialog::OnUpdateButton, this, IDC_MOVE_UP, IDC_BROWSE_TO);
    m_list->Unbind(wxEVT_LIST_ITEM_SELECTED, &CFavoritesDialog::OnItemChanged, this);
    m_list->Unbind(wxEVT_LIST_ITEM_DESELECTED, &CFavoritesDialog::OnItemChanged, this);
    m_list->Unbind(wxEVT_LIST_ITEM_FOCUSED, &CFavoritesDialog::OnItemChanged, this);
    m_list->Unbind(wxEVT_LIST_ITEM_ACTIVATED, &CFavoritesDialog::OnItemActivated, this);
    m_list->GetRowsWindow()->Unbind(wxEVT_MOTION, &CFavoritesDialog::OnListMotion, this);
    Unbind(wxEVT_CHAR_HOOK, &CFavoritesDialog::OnCharHook, this);
    Unbind(wxEVT_BUTTON, &CFavoritesDialog::OnButton, this, IDC_MOVE_UP, IDC_BROWSE_TO);
    Unbind(wxEVT_BUTTON, &CFavoritesDialog::OnButton, this, wxID_OK);
}

void CFavoritesDialog::OnInitDialog(wxInitDialogEvent &event) {
    event.Skip();
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    // The grip restores the saved placement and lays the controls out for it before the column is sized; the
    // column keeps that width when the dialog is resized later (a longer address shows its whole text as a tip).
    SizeBoxWindow::Attach(this, SECTION, FAVORITES_STRETCH_TABLE);
    m_list->InsertColumn(0, "URL", wxLIST_FORMAT_LEFT, ColumnWidth());
    m_list->SetItemCount(m_order.Count());
    UpdateButtons();
}

int CFavoritesDialog::ColumnWidth() const {
    return m_list->GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_list);
}

void CFavoritesDialog::OnListMotion(wxMouseEvent &event) {
    event.Skip();
    // A row whose address is cut shows the whole of it as the tip.
    int flags = 0;
    const long row = m_list->HitTest(event.GetPosition(), flags);
    const wxString text = row >= 0 ? m_list->GetItemText(row) : wxString();
    const int room = m_list->GetColumnCount() > 0 ? m_list->GetColumnWidth(0) - 2 * m_list->GetCharWidth() : 0;
    wxWindow *rows = m_list->GetRowsWindow();
    if (!text.empty() && m_list->GetTextExtent(text).x > room) {
        if (rows->GetToolTipText() != text)
            rows->SetToolTip(text);
    } else if (rows->GetToolTip()) {
        rows->UnsetToolTip();
    }
}

void CFavoritesDialog::OnCharHook(wxKeyEvent &event) {
    const bool enter = event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER;
    auto *target = dynamic_cast<wxWindow *>(event.GetEventObject());
    if (enter && target && (target == m_list || target->GetParent() == m_list))
        OnOK();
    else
        event.Skip();
}

void CFavoritesDialog::ReadSelection() {
    for (int row = 0; row < m_order.Count(); ++row)
        m_order.SetSelected(row, m_list->GetItemState(row, wxLIST_STATE_SELECTED) != 0);
    m_order.SetMark(static_cast<int>(m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED)));
}

std::vector<int> CFavoritesDialog::GetSelection() const {
    std::vector<int> selection;
    selection.reserve(static_cast<size_t>(m_list->GetSelectedItemCount()));
    for (long row = -1; (row = m_list->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1;)
        selection.push_back(static_cast<int>(row));
    return selection;
}

void CFavoritesDialog::ShowOrder() {
    // The list reports each selection change it is given here; the buttons follow once, at the end.
    m_bShowingOrder = true;
    m_list->SetItemCount(m_order.Count());
    for (int row = 0; row < m_order.Count(); ++row)
        m_list->SetItemState(row, m_order.IsSelected(row) ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    if (m_order.Mark() >= 0 && m_order.Mark() < m_order.Count())
        m_list->SetItemState(m_order.Mark(), wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    if (m_order.Count() > 0)
        m_list->RefreshItems(0, m_order.Count() - 1);
    else
        m_list->Refresh();
    m_bShowingOrder = false;
}

void CFavoritesDialog::UpdateButtons() {
    const FavoritesButtonStates states =
        GetFavoritesButtonStates(GetSelection(), m_list->GetItemCount(), static_cast<bool>(m_navigate));
    m_btnRemove->Enable(states.remove);
    m_btnBrowseTo->Enable(states.browseTo);
    m_btnMoveTop->Enable(states.moveTop);
    m_btnMoveUp->Enable(states.moveUp);
    m_btnMoveDown->Enable(states.moveDown);
    m_btnMoveBottom->Enable(states.moveBottom);
}

void CFavoritesDialog::OnUpdateButton(wxUpdateUIEvent &event) {
    if (event.GetId() == IDC_REMOVE && !m_bShowingOrder) // one look at the selection for all six buttons
        UpdateButtons();
    event.Skip();
}

void CFavoritesDialog::OnItemChanged(wxListEvent &event) {
    event.Skip();
    if (!m_bShowingOrder)
        UpdateButtons();
}

void CFavoritesDialog::MoveSelected(int delta) {
    ReadSelection();
    m_order.MoveSelected(delta);
    ShowOrder();
    UpdateButtons();
}

void CFavoritesDialog::OnRemove() {
    ReadSelection();
    m_order.RemoveSelected();
    ShowOrder();
    UpdateButtons();
}

void CFavoritesDialog::OnBrowseTo() {
    ReadSelection();
    const std::vector<int> selection = m_order.GetSelection();
    if (m_navigate && !selection.empty())
        m_navigate(m_favorites.Favorites()[static_cast<size_t>(m_order.FavoriteAt(selection.front()))]);
}

void CFavoritesDialog::OnItemActivated(wxListEvent &event) {
    const long row = event.GetIndex();
    if (m_navigate && row >= 0 && row < m_order.Count())
        m_navigate(m_favorites.Favorites()[static_cast<size_t>(m_order.FavoriteAt(static_cast<int>(row)))]);
}

void CFavoritesDialog::OnButton(wxCommandEvent &event) {
    switch (event.GetId()) {
    case IDC_MOVE_UP:
        MoveSelected(-1);
        break;
    case IDC_MOVE_DOWN:
        MoveSelected(1);
        break;
    case IDC_MOVE_TOP:
        MoveSelected(FavoritesOrder::MOVE_TOP);
        break;
    case IDC_MOVE_BOTTOM:
        MoveSelected(FavoritesOrder::MOVE_BOTTOM);
        break;
    case IDC_REMOVE:
        OnRemove();
        break;
    case IDC_BROWSE_TO:
        OnBrowseTo();
        break;
    case wxID_OK:
        OnOK();
        break;
    default:
        event.Skip();
    }
}

void CFavoritesDialog::OnOK() {
    try {
        // The file takes the new list first; the program's list follows only when it did.
        m_favorites.SaveFavorites(m_order.Order());
    } catch (const platform::UserException &) {
        return; // reported; the dialog stays open with the user's order, so OK can be tried again
    }
    // The rows now stand for the new list, in its order.
    m_order = FavoritesOrder(m_order.Count());
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}
