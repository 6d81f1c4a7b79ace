#include "platform/qt/qt_key_codes.h"

#include "platform/gui/gui_types.h"

namespace {

int keypad_code(int qt_key) {
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return 96 + (qt_key - Qt::Key_0);  // numpad 0..9
  switch (qt_key) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    case Qt::Key_Enter: return key_codes::enter;
    default: return 0;
  }
}

}  // namespace

int virtual_key_code(int qt_key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    if (const int code = keypad_code(qt_key)) return code;
  }
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return 'A' + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return '0' + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return key_codes::f1 + (qt_key - Qt::Key_F1);
  switch (qt_key) {
    case Qt::Key_Backspace: return key_codes::backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return key_codes::tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return key_codes::enter;
    case Qt::Key_Shift: return key_codes::shift;
    case Qt::Key_Control: return key_codes::control;
    case Qt::Key_Alt: return key_codes::alt;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return key_codes::escape;
    case Qt::Key_Space: return key_codes::space;
    case Qt::Key_PageUp: return key_codes::page_up;
    case Qt::Key_PageDown: return key_codes::page_down;
    case Qt::Key_End: return key_codes::end;
    case Qt::Key_Home: return key_codes::home;
    case Qt::Key_Left: return key_codes::left;
    case Qt::Key_Up: return key_codes::up;
    case Qt::Key_Right: return key_codes::right;
    case Qt::Key_Down: return key_codes::down;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return key_codes::insert;
    case Qt::Key_Delete: return key_codes::delete_key;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    // Shifted digits of a US layout: the digit's key.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    // Punctuation keys (the OEM codes of a US layout), shifted or not.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
  }
}

int key_modifier_mask(Qt::KeyboardModifiers modifiers) {
  int mask = key_modifiers::none;
  if (modifiers & Qt::ControlModifier) mask |= key_modifiers::ctrl;
  if (modifiers & Qt::ShiftModifier) mask |= key_modifiers::shift;
  if (modifiers & Qt::AltModifier) mask |= key_modifiers::alt;
  return mask;
}

int mouse_button_mask(Qt::MouseButtons buttons) {
  int mask = mouse_buttons::none;
  if (buttons & Qt::LeftButton) mask |= mouse_buttons::left;
  if (buttons & Qt::RightButton) mask |= mouse_buttons::right;
  if (buttons & Qt::MiddleButton) mask |= mouse_buttons::middle;
  return mask;
}
