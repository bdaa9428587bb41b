#pragma once
// Makes a dialog resizable: a size grip in the bottom-right corner, the controls of a stretch table laid out
// again at every size change by the rules of CSizeBox, the smallest valid size as the dialog's minimum, and the
// dialog's placement and first list's columns kept in the settings store under a section of its own, restored
// when the grip is made and saved when the dialog is hidden or destroyed.
#include <memory>
#include <string>

#include <wx/window.h>

#include "app/size_box.h"

class wxListCtrl;
class wxShowEvent;
class wxMoveEvent;
class wxSizeEvent;
class wxWindowDestroyEvent;

class SizeBoxWindow : public wxWindow, private ISizeBoxControls {
public:
    // Made in the dialog's set-up, once its controls stand where they start. The dialog owns the grip, as any
    // child window; the creator keeps no pointer. An empty section stores and restores nothing.
    static SizeBoxWindow *Attach(wxWindow *dialog, const std::string &section, const CSizeBox::StretchRow *table,
                                 CSizeBox::LayoutCallback callback = {});
    ~SizeBoxWindow() override;

    // The grip is for the mouse only: no place in the tab order.
    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }

    // The dialog window's minimum size, from the smallest valid client size.
    wxSize GetMinTrackSize() const { return m_sizeMinTrack; }
    // Writes the dialog's placement and its first list's columns (nothing while a restore runs).
    void SaveState();
    // Lays the controls out for the dialog's present client size.
    void LayoutControls();

    // Column state of one list (also used by the tests).
    static void SaveListColumns(const std::string &section, wxListCtrl *list);
    void RestoreListColumns(const std::string &section, wxListCtrl *list);

private:
    SizeBoxWindow(wxWindow *dialog, const std::string &section, CSizeBox::LayoutCallback callback);

    bool GetControlRect(unsigned id, SizeBoxRect &rect) const override;
    void RestoreState();
    wxListCtrl *FindFirstList() const;

    void OnDialogSize(wxSizeEvent &event);
    void OnDialogMove(wxMoveEvent &event);
    // The dialog's rectangle while neither maximized nor minimized: the one kept in the settings.
    void RememberNormalRect();
    wxRect NormalRect();
    void OnDialogShow(wxShowEvent &event);
    void OnDialogDestroy(wxWindowDestroyEvent &event);
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnMotion(wxMouseEvent &event);
    void OnLeftUp(wxMouseEvent &event);
    void OnCaptureLost(wxMouseCaptureLostEvent &event);

    wxWindow *m_pParent;
    std::string m_strSection;
    std::unique_ptr<CSizeBox> m_box;
    wxSize m_sizeMinTrack;
    wxRect m_normalRect;
    int m_nRestoring = 0;
    bool m_bSaved = false;
    // A drag of the grip: where it started on the screen and the dialog's size then.
    wxPoint m_dragStart;
    wxSize m_dragSize;
};
