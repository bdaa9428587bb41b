#include "app/window/size_box_window.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/toplevel.h>

#include "app/dialog_state.h"
#include "app/window/display_areas.h"
#include "platform/settings.h"

namespace {

// The grip is a square of the width of a vertical scroll bar, as the system draws its size boxes.
int GripSize() {
    return std::max(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X), 14);
}

// The list's view as the store writes it: 0 icon, 1 report, 2 small icon, 3 list.
int ViewType(const wxListCtrl *list) {
    const long style = list->GetWindowStyleFlag();
    if (style & wxLC_REPORT)
        return 1;
    if (style & wxLC_SMALL_ICON)
        return 2;
    if (style & wxLC_LIST)
        return 3;
    return 0;
}

// The least height of a list with both scroll bars: a horizontal bar below a vertical one that keeps room for
// its slider (three bar widths; the toolkit complains of a bar given less than it needs).
int ListLeastHeight(wxWindow *list) {
    return 4 * wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, list) + (list->GetSize().y - list->GetClientSize().y);
}

// The work area of the display nearest to the rectangle.
wxRect WorkAreaNear(const wxRect &rect) {
    int index = wxDisplay::GetFromPoint(rect.GetTopLeft());
    if (index == wxNOT_FOUND) {
        long best = -1;
        for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
            const wxRect area = wxDisplay(i).GetGeometry();
            const long dx = std::max({area.x - rect.x, rect.x - area.GetRight(), 0});
            const long dy = std::max({area.y - rect.y, rect.y - area.GetBottom(), 0});
            if (best < 0 || dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                index = static_cast<int>(i);
            }
        }
    }
    return index == wxNOT_FOUND ? wxRect() : wxDisplay(static_cast<unsigned>(index)).GetClientArea();
}

} // namespace

SizeBoxWindow *SizeBoxWindow::Attach(wxWindow *dialog, const std::string &section, const CSizeBox::StretchRow *table,
                                     CSizeBox::LayoutCallback callback) {
    auto *grip = new SizeBoxWindow(dialog, section, std::move(callback));
    CSizeBox &box = *grip->m_box;
    box.AddStretchEntry(CSizeBox::IDC_SIZEBOX, CSizeBox::STRETCH_MOVE_X | CSizeBox::STRETCH_MOVE_Y);
    box.AddStretchTable(table);
    const wxSize client = dialog->GetClientSize();
    SizeBoxSize min = box.ComputeMinClientSize(client.x, client.y);
    // A list that stretches keeps the height that its scroll bars need.
    if (wxListCtrl *list = grip->FindFirstList())
        for (const CSizeBox::CStretchEntry &entry : box.Entries())
            if (entry.nID == static_cast<unsigned>(list->GetId()) && (entry.nFlags & CSizeBox::STRETCH_SIZE_Y))
                min.cy += std::max(0, ListLeastHeight(list) - (list->GetSize().y - client.y + min.cy));
    grip->m_sizeMinTrack = dialog->GetSize() - client + wxSize(min.cx, min.cy);
    dialog->SetMinSize(grip->m_sizeMinTrack);
    dialog->Bind(wxEVT_SIZE, &SizeBoxWindow::OnDialogSize, grip);
    dialog->Bind(wxEVT_MOVE, &SizeBoxWindow::OnDialogMove, grip);
    dialog->Bind(wxEVT_SHOW, &SizeBoxWindow::OnDialogShow, grip);
    dialog->Bind(wxEVT_DESTROY, &SizeBoxWindow::OnDialogDestroy, grip);
    grip->RestoreState();
    return grip;
}

SizeBoxWindow::SizeBoxWindow(wxWindow *dialog, const std::string &section, CSizeBox::LayoutCallback callback)
    : m_pParent(dialog), m_strSection(section) {
    const wxSize client = dialog->GetClientSize();
    const int size = GripSize();
    wxWindow::Create(dialog, CSizeBox::IDC_SIZEBOX, wxPoint(client.x - size, client.y - size), wxSize(size, size),
                     wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
    SetCursor(wxCursor(wxCURSOR_SIZENWSE));
    const ISizeBoxControls &controls = *this;
    m_box = std::make_unique<CSizeBox>(controls, SizeBoxRect{0, 0, client.x, client.y}, std::move(callback));
    Bind(wxEVT_PAINT, &SizeBoxWindow::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &SizeBoxWindow::OnLeftDown, this);
    Bind(wxEVT_MOTION, &SizeBoxWindow::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &SizeBoxWindow::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &SizeBoxWindow::OnCaptureLost, this);
}

SizeBoxWindow::~SizeBoxWindow() {
    if (HasCapture())
        ReleaseMouse();
    m_pParent->Unbind(wxEVT_SIZE, &SizeBoxWindow::OnDialogSize, this);
    m_pParent->Unbind(wxEVT_MOVE, &SizeBoxWindow::OnDialogMove, this);
    m_pParent->Unbind(wxEVT_SHOW, &SizeBoxWindow::OnDialogShow, this);
    m_pParent->Unbind(wxEVT_DESTROY, &SizeBoxWindow::OnDialogDestroy, this);
}

bool SizeBoxWindow::GetControlRect(unsigned id, SizeBoxRect &rect) const {
    wxWindow *control = m_pParent->FindWindow(static_cast<long>(id));
    if (!control || control == m_pParent)
        return false;
    rect = ToBoxRect(control->GetRect());
    return true;
}

void SizeBoxWindow::LayoutControls() {
    const wxSize client = m_pParent->GetClientSize();
    m_box->LayoutTo(client.x, client.y);
    m_pParent->Freeze();
    for (const CSizeBox::CStretchEntry &entry : m_box->Entries())
        if (wxWindow *control = m_pParent->FindWindow(static_cast<long>(entry.nID)); control && control != m_pParent)
            control->SetSize(ToWxRect(entry.rcNew));
    m_pParent->Thaw();
}

void SizeBoxWindow::OnDialogSize(wxSizeEvent &event) {
    event.Skip();
    LayoutControls();
    RememberNormalRect();
}

void SizeBoxWindow::RememberNormalRect() {
    auto *window = dynamic_cast<wxTopLevelWindow *>(m_pParent);
    if (window && !window->IsMaximized() && !window->IsIconized() && !window->IsFullScreen())
        m_normalRect = window->GetRect();
}

wxRect SizeBoxWindow::NormalRect() {
    RememberNormalRect();
    return m_normalRect.IsEmpty() ? m_pParent->GetRect() : m_normalRect;
}

void SizeBoxWindow::OnDialogMove(wxMoveEvent &event) {
    event.Skip();
    RememberNormalRect();
}

void SizeBoxWindow::OnDialogShow(wxShowEvent &event) {
    event.Skip();
    if (event.IsShown())
        m_bSaved = false;
    else
        SaveState();
}

void SizeBoxWindow::OnDialogDestroy(wxWindowDestroyEvent &event) {
    event.Skip();
    if (event.GetEventObject() == m_pParent && !m_bSaved && m_pParent->IsShown())
        SaveState();
}

void SizeBoxWindow::SaveState() {
    if (m_nRestoring > 0 || m_strSection.empty())
        return;
    m_bSaved = true;
    if (m_pParent->IsTopLevel())
        SaveWindowRect(platform::AppSettings(), m_strSection, ToBoxRect(NormalRect()));
    if (wxListCtrl *list = FindFirstList())
        SaveListColumns(m_strSection, list);
}

void SizeBoxWindow::RestoreState() {
    if (m_strSection.empty())
        return;
    ++m_nRestoring;
    if (wxListCtrl *list = FindFirstList())
        RestoreListColumns(m_strSection, list);
    if (m_pParent->IsTopLevel()) {
        if (std::optional<SizeBoxRect> saved = LoadWindowRect(platform::AppSettings(), m_strSection)) {
            const wxRect work = WorkAreaNear(ToWxRect(*saved));
            SizeBoxRect rect = work.IsEmpty() ? *saved : KeepOnWorkArea(*saved, ToBoxRect(work));
            // A size below the minimum (a store edited by hand) would break the layout.
            rect.right = rect.left + std::max(rect.Width(), m_sizeMinTrack.x);
            rect.bottom = rect.top + std::max(rect.Height(), m_sizeMinTrack.y);
            m_pParent->SetSize(ToWxRect(rect));
            LayoutControls();
        }
    }
    --m_nRestoring;
}

wxListCtrl *SizeBoxWindow::FindFirstList() const {
    for (wxWindow *child : m_pParent->GetChildren())
        if (auto *list = dynamic_cast<wxListCtrl *>(child))
            return list;
    return nullptr;
}

void SizeBoxWindow::SaveListColumns(const std::string &section, wxListCtrl *list) {
    std::vector<int> widths, orders;
    const int count = list->InReportView() ? list->GetColumnCount() : 0;
    for (int i = 0; i < count; ++i) {
        widths.push_back(list->GetColumnWidth(i));
        orders.push_back(i); // columns are shown in their own order here
    }
    ::SaveListColumns(platform::AppSettings(), section, widths, orders, ViewType(list));
}

void SizeBoxWindow::RestoreListColumns(const std::string &section, wxListCtrl *list) {
    ++m_nRestoring;
    const ListColumnsState state = LoadListColumns(platform::AppSettings(), section);
    const int count = list->InReportView() ? list->GetColumnCount() : 0;
    for (size_t i = 0; i < state.columns.size() && static_cast<int>(i) < count; ++i)
        if (state.columns[i].width)
            list->SetColumnWidth(static_cast<int>(i), *state.columns[i].width);
    // A list that supplies its items on request can only show them as a report.
    if (state.viewType && !list->IsVirtual()) {
        static constexpr long MODES[] = {wxLC_ICON, wxLC_REPORT, wxLC_SMALL_ICON, wxLC_LIST};
        list->SetSingleStyle(MODES[*state.viewType & 3]);
    }
    --m_nRestoring;
}

void SizeBoxWindow::OnPaint(wxPaintEvent &) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    const wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    // Three pairs of diagonal strokes in the corner, as size grips are drawn.
    for (int offset = 3; offset < size.x - 1; offset += 4) {
        dc.SetPen(wxPen(dark));
        dc.DrawLine(size.x - 1, offset, offset, size.y - 1);
        dc.SetPen(wxPen(light));
        dc.DrawLine(size.x - 1, offset + 1, offset + 1, size.y - 1);
    }
}

void SizeBoxWindow::OnLeftDown(wxMouseEvent &event) {
    m_dragStart = ClientToScreen(event.GetPosition());
    m_dragSize = m_pParent->GetSize();
    CaptureMouse();
}

void SizeBoxWindow::OnMotion(wxMouseEvent &event) {
    if (!HasCapture() || !event.LeftIsDown())
        return;
    const wxPoint delta = ClientToScreen(event.GetPosition()) - m_dragStart;
    const wxSize size(std::max(m_dragSize.x + delta.x, m_sizeMinTrack.x),
                      std::max(m_dragSize.y + delta.y, m_sizeMinTrack.y));
    if (size != m_pParent->GetSize())
        m_pParent->SetSize(size);
}

void SizeBoxWindow::OnLeftUp(wxMouseEvent &) {
    if (HasCapture())
        ReleaseMouse();
}

void SizeBoxWindow::OnCaptureLost(wxMouseCaptureLostEvent &) {}
