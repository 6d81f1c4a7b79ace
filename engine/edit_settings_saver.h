#pragma once
// How code below the main window asks for the edit page's settings to be written
// without knowing the settings code: the main window registers its save here when it
// binds its handlers, and a dialog that has written edit-page fields calls
// `save_edit_settings_now` afterwards.

#include <functional>

// Registers (or, with an empty function, removes) the save. Any thread.
void set_edit_settings_saver(std::function<void()> save);

// UI thread. Runs the registered save; false, with nothing done, when none is
// registered.
bool save_edit_settings_now();
