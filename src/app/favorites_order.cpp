#include "app/favorites_order.h"

FavoritesOrder::FavoritesOrder(int count) {
    m_rows.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        m_rows.push_back({i, false});
}

std::vector<int> FavoritesOrder::GetSelection() const {
    std::vector<int> selection;
    for (int row = 0; row < Count(); ++row)
        if (m_rows[static_cast<size_t>(row)].selected)
            selection.push_back(row);
    return selection;
}

void FavoritesOrder::MoveSelected(int delta) {
    m_nTopSlot = 0;
    m_nBottomSlot = Count() - 1;
    const std::vector<int> selection = GetSelection();
    // Toward the top in ascending order and toward the bottom in descending order: each row lands on the near
    // side of its old place, so the rows still to be moved keep their indices.
    if (delta >= 0) {
        for (auto it = selection.rbegin(); it != selection.rend(); ++it)
            MoveItem(*it, delta);
    } else {
        for (int row : selection)
            MoveItem(row, delta);
    }
}

void FavoritesOrder::MoveItem(int index, int delta) {
    const int count = Count();
    int target = index + delta;
    if (target < 1)
        target = m_nTopSlot++;
    else if (target >= count)
        target = m_nBottomSlot--;
    Row row = m_rows[static_cast<size_t>(index)];
    row.selected = true;
    m_rows.erase(m_rows.begin() + index);
    m_rows.insert(m_rows.begin() + target, row);
    if (m_mark == index)
        m_mark = target;
}

void FavoritesOrder::RemoveSelected() {
    std::vector<Row> kept;
    kept.reserve(m_rows.size());
    int mark = -1;
    for (int row = 0; row < Count(); ++row) {
        const Row &r = m_rows[static_cast<size_t>(row)];
        if (r.selected)
            continue;
        if (row == m_mark)
            mark = static_cast<int>(kept.size());
        kept.push_back(r);
    }
    m_rows = std::move(kept);
    m_mark = mark;
}

std::vector<int> FavoritesOrder::Order() const {
    std::vector<int> order;
    order.reserve(m_rows.size());
    for (const Row &r : m_rows)
        order.push_back(r.favorite);
    return order;
}

FavoritesButtonStates GetFavoritesButtonStates(const std::vector<int> &selection, int count, bool hasView) {
    const int first = selection.empty() ? -1 : selection.front();
    const int last = selection.empty() ? -1 : selection.back();
    FavoritesButtonStates states;
    states.remove = first >= 0;
    states.browseTo = hasView && selection.size() == 1;
    states.moveTop = states.moveUp = first >= 1;
    states.moveDown = states.moveBottom = last >= 0 && last < count - 1;
    return states;
}
