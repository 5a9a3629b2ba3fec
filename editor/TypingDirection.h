#pragma once
// The eight typing directions, and where the focus goes from a cell in each of them.
#include "app/CellIndex.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace pellacrest {

enum class Direction : std::uint8_t { Up, Left, Down, Right, Northwest, Northeast, Southwest, Southeast };

inline constexpr int kDirectionCount = 8;

inline constexpr std::array<const char16_t*, kDirectionCount> kDirectionLabels = {
    u"Typing Direction: Up",           u"Typing Direction: Left",
    u"Typing Direction: Down",         u"Typing Direction: Right",
    u"Typing Direction: Diagonal NW",  u"Typing Direction: Diagonal NE",
    u"Typing Direction: Diagonal SW",  u"Typing Direction: Diagonal SE",
};

inline QString directionLabel(std::uint8_t code)
{
    return code < kDirectionCount ? QString::fromUtf16(kDirectionLabels[code]) : QString();
}

// The cell the focus moves to after a character is typed into cell `index`. Straight moves
// read the grid like a page (Left and Right run on into the neighbouring row, Up and Down
// wrap to the far edge of the column); a diagonal that would leave the grid lands on the
// opposite corner. No target for an unknown direction.
constexpr std::optional<int> advanceTarget(std::uint8_t direction, int index)
{
    const int row = cellRow(index);
    const int column = cellColumn(index);
    const int lastRow = kGridRows - 1;
    const int lastColumn = kGridColumns - 1;
    const int lastCell = kCellCount - 1;
    switch (static_cast<Direction>(direction)) {
    case Direction::Up: return row == 0 ? index + lastRow * kGridColumns : index - kGridColumns;
    case Direction::Left: return index == 0 ? lastCell : index - 1;
    case Direction::Down: return row == lastRow ? index - lastRow * kGridColumns : index + kGridColumns;
    case Direction::Right: return index == lastCell ? 0 : index + 1;
    case Direction::Northwest:
        return row == 0 || column == 0 ? lastCell : index - kGridColumns - 1;
    case Direction::Northeast:
        return row == 0 || column == lastColumn ? cellIndex(lastRow, 0) : index - kGridColumns + 1;
    case Direction::Southwest:
        return row == lastRow || column == 0 ? lastColumn : index + kGridColumns - 1;
    case Direction::Southeast:
        return row == lastRow || column == lastColumn ? 0 : index + kGridColumns + 1;
    }
    return std::nullopt;
}

} // namespace pellacrest
