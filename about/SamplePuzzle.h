#pragma once

// A finished puzzle that ships inside the program, so there is always something
// to open and show. Plain constants with no Qt types: it costs nothing at start-up
// and a test can check it without any of the editor machinery.

#include <array>
#include <string_view>

namespace pellacrest::sample {

struct Placement {
    int cell;          // row * 20 + column, row 0 at the top
    char16_t letter;
};

inline constexpr std::u16string_view kTitle = u"RAMBLES ABOVE THE TREE-LINE";

inline constexpr std::array<std::u16string_view, 13> kEntries = {
    u"ALPENHORN",
    u"ALPINE MEADOW",
    u"AVALANCHE",
    u"EDELWEISS",
    u"GLACIER LAKE",
    u"GOLDEN EAGLE",
    u"HUT TO HUT",
    u"PINE FOREST",
    u"ROPE TEAM",
    u"SEA OF CLOUDS",
    u"SNOW BRIDGE",
    u"SUMMIT CAIRN",
    u"WAYPOINT 27",
};

// Replayed in order onto an empty grid. A word that crosses one placed earlier
// leaves the shared cell to the earlier word, except on the two diagonals, where
// both words write their common letter.
inline constexpr std::array<Placement, 128> kPlacements = {{
    // SEA OF CLOUDS, top to bottom
    {121, u'S'}, {141, u'E'}, {161, u'A'}, {181, u'O'}, {201, u'F'}, {221, u'C'}, {241, u'L'},
    {261, u'O'}, {281, u'U'}, {301, u'D'}, {321, u'S'},
    // SUMMIT CAIRN, left to right
    {22, u'S'}, {23, u'U'}, {24, u'M'}, {25, u'M'}, {26, u'I'}, {27, u'T'}, {28, u'C'}, {29, u'A'},
    {30, u'I'}, {31, u'R'}, {32, u'N'},
    // GOLDEN EAGLE, left to right
    {305, u'G'}, {306, u'O'}, {307, u'L'}, {308, u'D'}, {309, u'E'}, {310, u'N'}, {311, u'E'},
    {312, u'A'}, {313, u'G'}, {314, u'L'}, {315, u'E'},
    // PINE FOREST, top to bottom
    {80, u'P'}, {100, u'I'}, {120, u'N'}, {140, u'E'}, {160, u'F'}, {180, u'O'}, {200, u'R'},
    {220, u'E'}, {240, u'S'}, {260, u'T'},
    // SNOW BRIDGE, left to right
    {380, u'S'}, {381, u'N'}, {382, u'O'}, {383, u'W'}, {384, u'B'}, {385, u'R'}, {386, u'I'},
    {387, u'D'}, {388, u'G'}, {389, u'E'},
    // WAYPOINT 27, left to right
    {190, u'W'}, {191, u'A'}, {192, u'Y'}, {193, u'P'}, {194, u'O'}, {195, u'I'}, {196, u'N'},
    {197, u'T'}, {198, u'2'}, {199, u'7'},
    // HUT TO HUT, left to right
    {3, u'H'}, {4, u'U'}, {5, u'T'}, {6, u'T'}, {7, u'O'}, {8, u'H'}, {9, u'U'}, {10, u'T'},
    // AVALANCHE, top to bottom
    {15, u'A'}, {35, u'V'}, {55, u'A'}, {75, u'L'}, {95, u'A'}, {115, u'N'}, {135, u'C'},
    {155, u'H'}, {175, u'E'},
    // EDELWEISS, up-right
    {242, u'E'}, {223, u'D'}, {204, u'E'}, {185, u'L'}, {166, u'W'}, {147, u'E'}, {128, u'I'},
    {109, u'S'}, {90, u'S'},
    // ALPINE MEADOW, down-right (writes the E at 147 again, shared with EDELWEISS)
    {0, u'A'}, {21, u'L'}, {42, u'P'}, {63, u'I'}, {84, u'N'}, {105, u'E'}, {126, u'M'},
    {147, u'E'}, {168, u'A'}, {189, u'D'}, {210, u'O'}, {231, u'W'},
    // ROPE TEAM, top to bottom (its E at 311 is already there from GOLDEN EAGLE)
    {251, u'R'}, {271, u'O'}, {291, u'P'}, {331, u'T'}, {351, u'E'}, {371, u'A'}, {391, u'M'},
    // GLACIER LAKE, left to right
    {64, u'G'}, {65, u'L'}, {66, u'A'}, {67, u'C'}, {68, u'I'}, {69, u'E'}, {70, u'R'}, {71, u'L'},
    {72, u'A'}, {73, u'K'}, {74, u'E'},
    // ALPENHORN, top to bottom
    {216, u'A'}, {236, u'L'}, {256, u'P'}, {276, u'E'}, {296, u'N'}, {316, u'H'}, {336, u'O'},
    {356, u'R'}, {376, u'N'},
}};

} // namespace pellacrest::sample
