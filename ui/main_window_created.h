#pragma once
// What the main window does when it is created: its size and title, the tray icon,
// the three pages' output folders and the convert page's save mode from the settings
// file, the merge page's output group in place, the remembered open-dialog folders
// and subtitle font, the start-up tasks, and the four drop targets.

#include <string>

#include "platform/gui/gui.h"

// The folder every page writes into and every open dialog starts in when the settings
// file names none: run folder + this.
inline constexpr const char* default_output_subfolder = "/新媒体";

// Binds on_main_window_created to the window's created event.
void bind_main_window_created_handler(WindowToken window);

// The created handler of the main window (UI thread).
void on_main_window_created();

// A page's output folder from the settings file: the key "保存位置" of `section`, or
// run folder + "/新媒体" when the key is missing or empty. The folder is created (a
// failure is left to the job that writes there).
std::string restore_output_folder(const std::string& section);
