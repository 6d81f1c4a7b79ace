#pragma once
// How the main window's buttons open the program's dialogs without knowing them: the
// code of each dialog registers a function that opens it (at program start, before
// the main window opens), and the button's handler asks for it here. A dialog whose
// opener is not registered is not opened: the button does nothing.
//
// Openers run on the UI thread, inside the clicked handler; a modal dialog's opener
// returns when the dialog has closed, another's at once. Each opener finds its owner
// itself (main_window(), engine/window/main_window_token.h).

#include <functional>

enum class ProgramDialog {
  custom_command,    // CustomCommandDialog: modal, owned by the main window
  m3u8_batch_copy,   // M3u8BatchCopyDialog: modal, no owner window
  picture_position,  // PicturePositionDialog: not modal, owned by the main window
  crop_region,       // CropRegionDialog: modal, owned by the main window
  mosaic_region,     // MosaicRegionDialog: not modal, owned by the main window (keep last)
};

// Registers (or, with an empty function, removes) the opener of `dialog`; a later
// registration replaces the earlier one. Any thread.
void set_dialog_opener(ProgramDialog dialog, std::function<void()> open);

// True when an opener is registered for `dialog`.
bool has_dialog_opener(ProgramDialog dialog);

// UI thread. Runs the registered opener of `dialog`; false, with nothing done, when
// none is registered.
bool open_program_dialog(ProgramDialog dialog);
