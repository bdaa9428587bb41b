#include "app/size_box.h"

namespace {

bool Intersects(const SizeBoxRect &a, const SizeBoxRect &b) {
    const int left = a.left > b.left ? a.left : b.left;
    const int right = a.right < b.right ? a.right : b.right;
    const int top = a.top > b.top ? a.top : b.top;
    const int bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    return left < right && top < bottom;
}

} // namespace

CSizeBox::CSizeBox(const ISizeBoxControls &controls, SizeBoxRect client, LayoutCallback callback)
    : m_controls(controls), m_rcLast(client), m_cxInitial(client.Width()), m_cyInitial(client.Height()),
      m_pfnLayoutCallback(std::move(callback)) {}

void CSizeBox::AddStretchEntry(unsigned id, unsigned flags) {
    SizeBoxRect rect;
    if (!m_controls.GetControlRect(id, rect))
        rect = SizeBoxRect{};
    m_entries.push_back({id, flags, rect, rect});
}

void CSizeBox::AddStretchTable(const StretchRow *table) {
    for (; table && table->id != 0; ++table)
        AddStretchEntry(table->id, table->flags);
}

void CSizeBox::Layout(bool apply, std::vector<CStretchEntry> &entries, int cx, int cy) const {
    const int dx = cx - m_rcLast.Width();
    const int dy = cy - m_rcLast.Height();
    for (CStretchEntry &entry : entries) {
        SizeBoxRect cur;
        if (!m_controls.GetControlRect(entry.nID, cur))
            continue;
        SizeBoxRect &rc = entry.rcNew;
        const unsigned flags = entry.nFlags;
        // Moves and stretches start from where the control is now; re-centring from where it was registered,
        // so rounding never accumulates over many small size changes.
        if (flags & STRETCH_MOVE_X) {
            if (flags & STRETCH_CENTER_X) {
                const int half = (cx - m_cxInitial) / 2;
                rc.left = entry.rcInitial.left + half;
                rc.right = entry.rcInitial.right + half;
            } else {
                rc.left = cur.left + dx;
                rc.right = cur.right + dx;
            }
        }
        if (flags & STRETCH_SIZE_X) {
            rc.left = cur.left;
            rc.right = cur.right + dx;
        }
        if (flags & STRETCH_MOVE_Y) {
            if (flags & STRETCH_CENTER_Y) {
                const int half = (cy - m_cyInitial) / 2;
                rc.top = entry.rcInitial.top + half;
                rc.bottom = entry.rcInitial.bottom + half;
            } else {
                rc.top = cur.top + dy;
                rc.bottom = cur.bottom + dy;
            }
        }
        if (flags & STRETCH_SIZE_Y) {
            rc.top = cur.top;
            rc.bottom = cur.bottom + dy;
        }
        if (flags & STRETCH_CALLBACK) {
            if (!apply)
                rc = {cur.left, cur.top, cur.right + dx, cur.bottom + dy};
            else if (m_pfnLayoutCallback)
                m_pfnLayoutCallback(entry.nID, rc);
        }
    }
}

bool CSizeBox::IsLayoutInvalid(const std::vector<CStretchEntry> &entries, int cx, int cy) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const SizeBoxRect &rc = entries[i].rcNew;
        if (rc.left < 0 || rc.right > cx || rc.top < 0 || rc.bottom > cy || rc.right <= rc.left || rc.bottom <= rc.top)
            return true;
        for (size_t k = i + 1; k < entries.size(); ++k)
            if (Intersects(rc, entries[k].rcNew))
                return true;
    }
    return false;
}

SizeBoxSize CSizeBox::ComputeMinClientSize(int cx, int cy) const {
    std::vector<CStretchEntry> trial = m_entries;
    while (cx > 0) {
        Layout(false, trial, cx - 1, cy);
        if (IsLayoutInvalid(trial, cx - 1, cy))
            break;
        --cx;
    }
    while (cy > 0) {
        Layout(false, trial, cx, cy - 1);
        if (IsLayoutInvalid(trial, cx, cy - 1))
            break;
        --cy;
    }
    return {cx, cy};
}

void CSizeBox::LayoutTo(int cx, int cy) {
    Layout(true, m_entries, cx, cy);
    m_rcLast = {0, 0, cx, cy};
}
