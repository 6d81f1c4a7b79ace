#pragma once
// The tray icon's events and menu, and the three page buttons above the pages.
//
// Tray events: kind 3 (right button released, or the menu key) pops up `tray_menu`
// at the cursor; kinds 1 and 2 (click, double click) hide a visible main window and
// show a hidden one. The tray icon stays in both states.

#include "platform/gui/gui.h"

// The product's home page, opened by "软件官网".
inline constexpr const char* product_home_page_address = "https://qifeng.example.org/";

// Binds the tray event, the tray menu's items and the page buttons.
void bind_tray_and_page_handlers(WindowToken window);

void on_main_window_tray_event(int kind);
void on_tray_show_hide_menu_clicked();
void on_website_menu_clicked();

void on_show_convert_page_clicked();
void on_show_merge_page_clicked();
void on_show_edit_page_clicked();
