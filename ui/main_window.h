#pragma once
// `MainWindow` in the control model: its description built from the design table
// (ui/main_window_design.h), its creation, and the one place where every feature binds
// its handlers to it.
//
// The usual order (program start, and tests that need the whole window):
//
//   WindowToken w = create_main_window();   // hidden, no handlers
//   bind_main_window_handlers(w);           // every feature's handlers
//   gui().open_window(w);                   // runs on_main_window_created, shows it
//
// How the design's kinds become model controls:
// - the window row gives the window's name, design title and size and its icons;
// - visual kinds map one to one to ControlKind ("edit" -> edit_box, "tabs" ->
//   tab_control, ...), with their caption, geometry, flags, items, range and picture;
// - a "menu" becomes a popup_menu control whose items are its "menu_item" and
//   "menu_separator" rows in table order;
// - a "timer" is a model timer named by its role (GuiModel::set_timer); one with a
//   designed interval starts when the window is created;
// - "drop_target" rows say which list accepts dropped files; the window's created
//   handler registers them (register_main_window_drop_targets);
// - "balloon_tip" and "file_dialog" rows are desktop services, not controls.

#include <string>

#include "engine/window/main_window_token.h"
#include "platform/gui/gui.h"

// The model's description of the window. Pictures (button pictures, the icon in its
// four sizes) are read from `run_folder` + "/resources/..."; a picture that cannot be
// read leaves its control without one. Destroying the window ends the main loop.
WindowSpec main_window_spec(const std::string& run_folder);

// Creates the window in the installed model from main_window_spec(run_folder) (the
// global run folder, engine/common/globals.h): hidden, not yet opened, no handlers. From now
// on it is main_window() (engine/window/main_window_token.h) until it is destroyed.
WindowToken create_main_window();

// A control of the main window (main_window()) by its role.
ControlRef main_control(const std::string& role);

// The index of a "menu_item" or "menu_separator" row among the items of its menu
// (the value of the menu's menu_chosen events); -1 for any other role.
int main_window_menu_item_index(const std::string& item_role);

// Binds the handlers of every feature of the main window (start-up and shutdown, tray
// and page buttons, and each later feature's own bind function). Call once per
// window, before opening it.
void bind_main_window_handlers(WindowToken window);

// Makes each list named by a "drop_target" row of the design accept dropped files.
void register_main_window_drop_targets(WindowToken window);
