#pragma once
// How code below the windows (the jobs, the progress display, the settings) finds the
// program's main window in the control model.

#include "platform/gui/gui_types.h"

// The type name of the program's main window in the control model.
inline constexpr const char* main_window_name = "MainWindow";

// Records the window the program created as its main window.
void remember_main_window(WindowToken window);

// The main window: the one recorded while it exists, also during its destroyed
// handler (where the closing save still reads its controls); otherwise the newest
// existing window of that name; the default token when there is none.
WindowToken main_window();
