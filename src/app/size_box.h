#pragma once
// The layout rules of a resizable dialog: each registered control follows the dialog's client size by the
// flags of its stretch entry (move, re-centre or stretch, separately in x and y), and the smallest size at
// which that layout stays valid becomes the dialog's minimum. Pure geometry in pixels, client coordinates; the
// window side (size grip, size events, moving the controls) is in window/size_box_window.h.
#include <functional>
#include <vector>

struct SizeBoxRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const SizeBoxRect &) const = default;
};

struct SizeBoxSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const SizeBoxSize &) const = default;
};

// Where the layout finds the controls of its dialog as they stand now.
class ISizeBoxControls {
public:
    virtual ~ISizeBoxControls() = default;
    // The control's present rectangle in client coordinates; false when the dialog has no control with that id.
    virtual bool GetControlRect(unsigned id, SizeBoxRect &rect) const = 0;
};

class CSizeBox {
public:
    static constexpr unsigned STRETCH_CENTER_X = 0x0001; // with STRETCH_MOVE_X: re-centred horizontally
    static constexpr unsigned STRETCH_SIZE_X = 0x0002;   // right edge follows the width; overrides the others
    static constexpr unsigned STRETCH_MOVE_X = 0x0004;   // follows the right border
    static constexpr unsigned STRETCH_MOVE_Y = 0x0010;   // follows the bottom border
    static constexpr unsigned STRETCH_SIZE_Y = 0x0020;   // bottom edge follows the height; overrides the others
    static constexpr unsigned STRETCH_CENTER_Y = 0x0040; // with STRETCH_MOVE_Y: re-centred vertically
    static constexpr unsigned STRETCH_CALLBACK = 0x8000; // the layout callback adjusts the rectangle
    static constexpr unsigned IDC_SIZEBOX = 1949;        // the size grip

    struct CStretchEntry {
        unsigned nID = 0;
        unsigned nFlags = 0;
        SizeBoxRect rcInitial; // at registration; all 0 when the dialog has no such control
        SizeBoxRect rcNew;     // as the last layout computed it
    };
    // One row of a dialog's table; a row with id 0 ends the table.
    struct StretchRow {
        unsigned id;
        unsigned flags;
    };
    // Called in a real layout for entries with STRETCH_CALLBACK; may change the new rectangle.
    using LayoutCallback = std::function<void(unsigned id, SizeBoxRect &rcNew)>;

    // client: the dialog's client rectangle now, the reference for moves and re-centring.
    CSizeBox(const ISizeBoxControls &controls, SizeBoxRect client, LayoutCallback callback = {});

    void AddStretchEntry(unsigned id, unsigned flags);
    void AddStretchTable(const StretchRow *table); // up to the row with id 0

    // Computes rcNew of every entry whose control exists for the client size cx x cy. apply is false for the
    // trials of the minimum-size search: a callback entry then counts as stretching both ways.
    void Layout(bool apply, std::vector<CStretchEntry> &entries, int cx, int cy) const;
    // True when an rcNew leaves the client area, is empty, or overlaps the rcNew of a later entry.
    static bool IsLayoutInvalid(const std::vector<CStretchEntry> &entries, int cx, int cy);
    // The smallest client size whose layout is valid, searched one pixel at a time, first the width at the present
    // height, then the height at that width; the present size itself is not tested.
    SizeBoxSize ComputeMinClientSize(int cx, int cy) const;

    // A real layout for the new client size; the dialog then moves the controls to the entries' rcNew.
    void LayoutTo(int cx, int cy);
    std::vector<CStretchEntry> &Entries() { return m_entries; }
    const std::vector<CStretchEntry> &Entries() const { return m_entries; }
    int InitialWidth() const { return m_cxInitial; }
    int InitialHeight() const { return m_cyInitial; }

private:
    const ISizeBoxControls &m_controls;
    std::vector<CStretchEntry> m_entries;
    SizeBoxRect m_rcLast;
    int m_cxInitial;
    int m_cyInitial;
    LayoutCallback m_pfnLayoutCallback;
};
