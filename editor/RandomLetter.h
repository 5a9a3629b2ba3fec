#pragma once
// The rule behind Fill's letters. A first letter that repeats the previous cell, or that is a
// rare Q, J, X or Z (unless the roll lets it stand), is drawn once more; the second letter
// always stands. Written against a source of draws so tests can give exact values.
#include <QChar>
#include <QString>

#include <cstdint>
#include <functional>

namespace pellacrest {

inline constexpr double kLetterSpan = 25; // not 26: A and Z each get half a slot
inline constexpr int kLetterBase = 'A';
inline constexpr double kRollSpan = 99;
inline constexpr int kRollBase = 1;
inline constexpr int kRollThreshold = 25;

struct LetterDraw {
    QChar letter;
    std::uint8_t roll;
};

// The letter a draw in [0, 1) gives: its code is draw * 25 + 65, rounded half to even.
QChar letterFromDraw(double draw);
// The rarity roll a draw in [0, 1) gives: 1 to 100, rounded the same way.
std::uint8_t rollFromDraw(double draw);

bool isRareLetter(QChar letter);

// Draws two or three values from `next`, in the order letter, roll, second letter.
LetterDraw drawLetter(const QString& previousLetter, const std::function<double()>& next);

} // namespace pellacrest
