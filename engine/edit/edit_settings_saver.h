#pragma once
// How code below the main window (the picture-position editor, when it replaces the
// watermark picture) has the edit page's options written to the settings file without
// knowing the main window: the main window registers its save here when it is made,
// and the caller asks for it. With nothing registered the request does nothing.

#include <functional>

// Registers (or, with an empty function, removes) the save of the edit page's options;
// a later registration replaces the earlier one. Any thread.
void set_edit_settings_saver(std::function<void()> save);

// UI thread. Runs the registered save; false, with nothing done, when none is
// registered.
bool save_edit_settings_now();
