// Fill: a random capital letter into every empty cell.
#include "frmEntry.h"

#include "app/CellIndex.h"
#include "editor/RandomLetter.h"

void frmEntry::cmdFill_Click()
{
    // Off while writing, so the focus stays where the user left it.
    AutoAdvance = false;
    for (int i = 0; i < pellacrest::kCellCount; ++i) {
        if (txtEntry(i).Text().isEmpty())
            txtEntry(i).setText(RandomLetter(i));
    }
    AutoAdvance = true;
}

QString frmEntry::RandomLetter(int index)
{
    // The cell before in reading order: the first cell of a row looks at the end of the row above.
    PreviousLetter = index > 0 ? txtEntry(index - 1).Text() : QString();
    forms::Randomize();
    const pellacrest::LetterDraw draw = pellacrest::drawLetter(PreviousLetter, forms::Rnd);
    RarityRoll = draw.roll;
    return QString(draw.letter);
}
