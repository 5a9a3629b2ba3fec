#pragma once
// Where the keys go. The runtime's windows take the input the moment the program shows or
// hides them, and a window shown modally leaves the others none; the desktop activates windows
// later, and on its own terms. This keeps the program's word: a key typed ahead across a window
// change reaches the window the program put in front, whatever window the X server gave it to.

namespace forms {

class Form;

namespace input {

// Watches every input event of the application; called with the first window.
void install();

// `form` takes the keys from now on.
void give(Form* form);
// `leaving` goes from the screen: if it had the keys, the window the user came from takes them.
void handOn(Form* leaving);
// The window that has the keys, or null.
Form* holder();

// While `form` is shown modally, the other windows take no input.
void beginModal(Form* form);
void endModal(Form* form);
bool isBlocked(const Form* form);

} // namespace input
} // namespace forms
