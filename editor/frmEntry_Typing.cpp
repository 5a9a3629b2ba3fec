// Typing: the direction the focus moves in, and the move after each character.
#include "frmEntry.h"

#include "editor/TypingDirection.h"

using pellacrest::Direction;

void frmEntry::setTypingDirection(std::uint8_t code)
{
    TypingDirection = code;
    lblDirection->setCaption(pellacrest::directionLabel(code));
}

void frmEntry::Up_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Up)); }
void frmEntry::Left_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Left)); }
void frmEntry::Down_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Down)); }
void frmEntry::Right_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Right)); }
void frmEntry::Northwest_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Northwest)); }
void frmEntry::Northeast_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Northeast)); }
void frmEntry::Southwest_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Southwest)); }
void frmEntry::Southeast_Click() { setTypingDirection(static_cast<std::uint8_t>(Direction::Southeast)); }

void frmEntry::txtEntry_Change(int index)
{
    // Emptying a cell moves nothing, and neither does Fill's writing.
    if (txtEntry(index).Text().isEmpty() || !AutoAdvance)
        return;
    const auto target = pellacrest::advanceTarget(TypingDirection, index);
    if (!target)
        return;
    forms::TextBox& next = txtEntry(*target);
    next.SetFocus();
    // Selected, the next character typed replaces the letter already there.
    next.setSelStart(0);
    next.setSelLength(1);
}

void frmEntry::txtEntry_Click(int index)
{
    txtEntry(index).setSelStart(0);
    txtEntry(index).setSelLength(1);
}
