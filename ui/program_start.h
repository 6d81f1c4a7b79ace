#pragma once
// The program's frame in time: start, the close question, shutdown and the release of
// the global state at the very end.
//
// Start (`program_start`): the run folder (the executable's folder) becomes the
// current folder; the global lists are created; the settings file's path is set and
// the `data` folder created; `MainWindow` is created, every feature's handlers are
// bound and the window opens (its created handler reads the settings and starts the
// start-up tasks); the message loop runs until the window is destroyed; the exit
// routine `free_globals_at_exit` runs last.
//
// Closing: every close request asks "是否要退出软件？" (Yes/No); Yes lets the window
// go. Its destroyed handler shuts the program down cooperatively: the shutdown flag is
// set and each worker thread asked to stop, the converter processes this program
// started are ended (never another program's), the worker threads get a bounded time
// to leave at their next check, and the edit page's options are saved. "退出软件" in
// the tray menu does the same without the question, and so do SIGTERM, SIGHUP and
// SIGINT. When the display connection is lost, the same shutdown runs without the
// window (`end_program_without_display`).
//
// The global state is released only once no worker thread runs any more: a thread
// that outlived the bounded wait must not find its values gone. The program's entry
// then ends the process without tearing anything down (see app/main.cpp).

#include <chrono>
#include <functional>
#include <string>

#include "platform/gui/gui.h"

// How long shutdown waits for the worker threads to leave.
inline constexpr std::chrono::milliseconds shutdown_wait_limit{5000};

// The exit question and its title.
inline constexpr const char* exit_question_text = "是否要退出软件？";
inline constexpr const char* exit_question_title = "友情提示：";

// The program's entry, run on the UI thread of the installed GUI (platform/gui/gui.h):
// as described above, with the executable's folder as the run folder. Returns the
// exit code of the message loop (0 once the main window is destroyed).
int program_start();

// The same with another run folder (tests run the program from their own).
// `after_binding`: see open_main_window_in.
int program_start_in(const std::string& folder, const std::function<void()>& after_binding = {});

// Everything before the message loop: the run folder made current, the globals, the
// settings path and the `data` folder, and the main window created, bound and opened.
// `after_binding`, when given, runs once every feature has bound its handlers (and set
// its start-up tasks and closing save), just before the window opens: tests replace
// some of those there. Returns the main window.
WindowToken open_main_window_in(const std::string& folder, const std::function<void()>& after_binding = {});

// Creates the global lists and pairs, empty (engine/common/globals.h, ui/ui_globals.h).
void init_global_arrays();

// The exit routine: releases every global text, list and pair. Writes nothing.
void free_globals_at_exit();

// Binds the close question and the shutdown to the main window.
void bind_start_and_shutdown_handlers(WindowToken window);

// The main window's close request: asks the exit question, modal to the whole
// program; true (Yes) lets the window close.
bool on_main_window_can_close();

// The main window is being destroyed: the shutdown described above.
void on_main_window_destroyed();

// "退出软件": ends the program at once, without the question; the shutdown still runs.
void on_exit_menu_clicked();

// The display connection is lost (UI thread, the toolkit no longer usable): the
// shutdown of the destroyed handler, unless it has already begun, then the exit
// routine once no worker thread runs. Returns the exit code, 0.
int end_program_without_display();

// The save that shutdown makes: the settings code installs its save of the edit
// page's options here. Until one is installed shutdown saves nothing. Replaces an
// earlier one; an empty function removes it.
void set_closing_save(std::function<void()> save);
