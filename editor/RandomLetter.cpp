#include "RandomLetter.h"

#include "app/forms/Runtime.h"

namespace pellacrest {

QChar letterFromDraw(double draw)
{
    return QChar(static_cast<char16_t>(forms::CLng(draw * kLetterSpan + kLetterBase)));
}

std::uint8_t rollFromDraw(double draw) { return forms::CByte(draw * kRollSpan + kRollBase); }

bool isRareLetter(QChar letter)
{
    return letter == u'Q' || letter == u'J' || letter == u'X' || letter == u'Z';
}

LetterDraw drawLetter(const QString& previousLetter, const std::function<double()>& next)
{
    QChar letter = letterFromDraw(next());
    const std::uint8_t roll = rollFromDraw(next());
    const bool repeats = previousLetter.size() == 1 && previousLetter.at(0) == letter;
    if (repeats || (isRareLetter(letter) && roll > kRollThreshold))
        letter = letterFromDraw(next());
    return {letter, roll};
}

} // namespace pellacrest
