#pragma once
// Program-wide values of the main window that several handlers and threads share:
// the folders the four open dialogs remember and the remembered subtitle font. Each
// starts empty, is filled by the main window's created handler from the settings
// file, and is released by `release_ui_globals` at the end of the program.

#include "engine/common/globals.h"

// The folder each job list's open dialog starts in.
extern SharedText convert_list_open_folder;
extern SharedText merge_list1_open_folder;
extern SharedText merge_list2_open_folder;
extern SharedText edit_list_open_folder;

// The subtitle font remembered from the last run (a face name, or a font item's text);
// the font list selects the first item that begins with it.
extern SharedText subtitle_font_name;

// Empties every text above.
void release_ui_globals();
