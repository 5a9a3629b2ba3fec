#pragma once
// A cell index names one square of the 20 x 20 grid, row by row from the top-left corner.
// The editor's entry cells and the sheet's letter labels share it.

namespace pellacrest {

inline constexpr int kGridColumns = 20;
inline constexpr int kGridRows = 20;
inline constexpr int kCellCount = kGridColumns * kGridRows;

constexpr int cellRow(int index) { return index / kGridColumns; }
constexpr int cellColumn(int index) { return index % kGridColumns; }
constexpr int cellIndex(int row, int column) { return row * kGridColumns + column; }

} // namespace pellacrest
