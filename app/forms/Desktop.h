#pragma once
// The few things the windows need from the desktop itself that the toolkit does not do at once:
// moving the keyboard focus to a window now rather than when the window manager gets round to
// it, and knowing a window's frame before the window is first shown. On a desktop that offers
// neither, both do nothing.
#include <QMargins>

#include <functional>

class QWidget;

namespace forms::desktop {

// Watches the X events before the toolkit sees them, for two of its habits. A key the X server
// sent to a window that is hidden by now (a menu closed by the key before it, a window just
// left) is handed to the window `redirect` names, as the toolkit dropped some of those. And the
// focus changes by which the X server reports that a menu holds the keyboard, and lets it go,
// are not passed on: heard late, they made the toolkit take keys typed after the menu closed
// for the menu's.
void watchKeys(std::function<unsigned long(unsigned long window)> redirect);
// `window` is about to be destroyed; a key the X server sent it before is still handed on.
void noteWindowGone(unsigned long window);
// Whether `window` is one of the last few noted gone.
bool isGoneWindow(unsigned long window);

// Gives `window` the keyboard focus before the call returns, so that no key pressed from now on
// goes to a window that is about to disappear. Only a window that stands on the screen can take
// it; false where it could not be given so.
bool giveKeyboardFocus(QWidget* window);

// The window with the keyboard focus as the X server sees it now, which the toolkit learns
// later; 0 where there is none or that cannot be asked.
unsigned long keyboardFocus();

// The frame (title bar and borders) that the window manager will put round `window`, asked of the
// window manager before the window is mapped; empty when it does not tell.
QMargins frameExtents(QWidget* window);

} // namespace forms::desktop
