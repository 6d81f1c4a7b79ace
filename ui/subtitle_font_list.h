#pragma once
// The subtitle font list: a start-up task of the main window that fills
// `subtitle_font_combo` with the fonts of the fonts folder (engine/edit/subtitle_fonts.h),
// keeps the file name behind every item in `font_file_names`, and selects the font
// remembered from the last run (subtitle_font_name, read from "z1" by the created
// handler): the first item that begins with it, else item 0.
//
// It runs on its own thread and writes the combo through the control model. Until it
// has finished, the settings save keeps the remembered font under "z1" (see
// ui/edit_settings.h).

#include "platform/gui/gui.h"

// Fills the combo and `font_file_names` of the main window and selects the remembered
// font. Runs on the font-list thread; leaves without writing when shutdown has begun.
void fill_subtitle_font_list();

// True once the font list of the current main window has been filled and its item
// selected.
bool subtitle_font_list_filled();

// Sets `fill_subtitle_font_list` as the main window's font-list start-up task.
void bind_subtitle_font_list(WindowToken window);
