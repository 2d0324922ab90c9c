#include <gtest/gtest.h>

#include "shell/drop_down_rows.h"

namespace tarvo {
namespace {

// 10 rows, 4 shown: each step from the state before it, the selection and the top row after it.
TEST(DropDownRows, SelectionMovesWithinTheListAndStaysInView) {
    const struct {
        const char* step;
        DropDownRows (*apply)(DropDownRows);
        int32_t selected, first;
    } steps[] = {
        {"down from none", [](DropDownRows r) { return movedSelection(r, 1); }, 0, 0},
        {"up at the top", [](DropDownRows r) { return movedSelection(r, -1); }, 0, 0},
        {"page down", [](DropDownRows r) { return movedSelection(r, r.shown); }, 4, 1},
        {"page down", [](DropDownRows r) { return movedSelection(r, r.shown); }, 8, 5},
        {"page down at the end", [](DropDownRows r) { return movedSelection(r, r.shown); }, 9, 6},
        {"wheel up", [](DropDownRows r) { return scrolled(r, -3); }, 9, 3},
        {"wheel up past the top", [](DropDownRows r) { return scrolled(r, -9); }, 9, 0},
        {"down: back in view", [](DropDownRows r) { return movedSelection(r, 1); }, 9, 6},
        {"the last removed", [](DropDownRows r) { return withoutSelected(r); }, 8, 5},
        {"room for 2", [](DropDownRows r) { return shownIn(r, 2); }, 8, 7},
        {"room for none", [](DropDownRows r) { return shownIn(r, 0); }, 8, 8},
    };
    DropDownRows rows{10, 4, 0, -1};
    for (const auto& [step, apply, selected, first] : steps) {
        rows = apply(rows);
        EXPECT_EQ(std::make_pair(rows.selected, rows.first), std::make_pair(selected, first))
            << step;
    }
    EXPECT_EQ(movedSelection(DropDownRows{10, 4, 0, -1}, -1).selected, 9) << "up from none";
    const DropDownRows one{1, 4, 0, 0};
    EXPECT_EQ(withoutSelected(one).selected, -1) << "the only row removed";
}

// Rows of 15 pixels, 4 shown from row 3 of 10: none above the list or past the rows shown.
TEST(DropDownRows, TheRowAtAPoint) {
    const DropDownRows rows{10, 4, 3, -1};
    const std::pair<int32_t, int32_t> points[] = {{-1, -1}, {0, 3},  {14, 3},
                                                  {15, 4},  {59, 6}, {60, -1}};
    for (const auto& [y, row] : points)
        EXPECT_EQ(rowAt(rows, y, 15), row) << y;
    EXPECT_EQ(rowAt(DropDownRows{2, 4, 0, -1}, 30, 15), -1) << "past the last row";
}

}  // namespace
}  // namespace tarvo
