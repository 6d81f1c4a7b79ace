#pragma once
// Qt keys, modifiers and mouse buttons as the control model's codes: the original
// platform's virtual-key codes (key_codes), the modifier mask (key_modifiers) and
// the mouse button mask (mouse_buttons).

#include <Qt>

// The virtual-key code of a Qt key; 0 for keys without one. Shifted punctuation of
// a US layout maps to its unshifted key ("!" is the "1" key), keypad digits and
// operators to the numeric-pad codes.
int virtual_key_code(int qt_key, Qt::KeyboardModifiers modifiers);

// Ctrl 1, Shift 2, Alt 4.
int key_modifier_mask(Qt::KeyboardModifiers modifiers);

// Left 1, right 2, middle 4 (0 for other buttons).
int mouse_button_mask(Qt::MouseButtons buttons);
