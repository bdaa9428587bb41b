#pragma once
// The Favorites dialog's working list: the rows in their present order, each the index of a favorite as the
// list stood when the dialog opened, and which rows are selected. The dialog's list control only shows it.
#include <cstddef>
#include <vector>

class FavoritesOrder {
public:
    static constexpr int MOVE_TOP = -99999;
    static constexpr int MOVE_BOTTOM = 99999;

    explicit FavoritesOrder(int count); // rows 0 .. count-1, none selected

    int Count() const { return static_cast<int>(m_rows.size()); }
    int FavoriteAt(int row) const { return m_rows[static_cast<size_t>(row)].favorite; }
    bool IsSelected(int row) const { return m_rows[static_cast<size_t>(row)].selected; }
    void SetSelected(int row, bool selected) { m_rows[static_cast<size_t>(row)].selected = selected; }
    // The selected rows in ascending order.
    std::vector<int> GetSelection() const;
    // The row that keeps the keyboard's place in the list (the selection mark); -1 when none.
    int Mark() const { return m_mark; }
    void SetMark(int row) { m_mark = row; }

    // Move Up (-1), Move Down (+1), Move Top (MOVE_TOP), Move Bottom (MOVE_BOTTOM). Each selected row is taken out
    // and put back at its target; rows moved past an end stack up there in their former order. The moved rows
    // stay selected; the rows not selected keep their relative order.
    void MoveSelected(int delta);
    // Removes the selected rows.
    void RemoveSelected();
    // The favorite indices in row order: what OK makes the new list of.
    std::vector<int> Order() const;

private:
    struct Row {
        int favorite;
        bool selected;
    };
    void MoveItem(int index, int delta);

    std::vector<Row> m_rows;
    int m_mark = -1;
    int m_nTopSlot = -1;
    int m_nBottomSlot = -1;
};

// Which of the dialog's buttons are enabled for a selection (ascending rows) in a list of count rows.
struct FavoritesButtonStates {
    bool remove = false;
    bool browseTo = false;
    bool moveTop = false;
    bool moveUp = false;
    bool moveDown = false;
    bool moveBottom = false;
};
FavoritesButtonStates GetFavoritesButtonStates(const std::vector<int> &selection, int count, bool hasView);
