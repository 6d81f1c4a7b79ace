#pragma once
// The open-file and folder dialogs through which the user picks work for the pages.
// Both run on the UI thread and block the calling handler until the dialog closes.
// Nothing chosen (cancel, or a failure of the dialog) gives an empty result; neither
// shows a message of its own.

#include <string>
#include <vector>

#include "platform/gui/gui_types.h"

// The filter of the four add-videos dialogs.
inline constexpr const char* video_open_filter = "视频文件|*.mp4;*.wmv;*.flv;*.ts;*.mov;*.mkv;*.avi|所有格式|*.*";

// Lets the user choose one or many files. `filter` is pairs of display text and
// pattern list, every part separated by "|" (the first pair is shown first);
// `initial_folder` is where the dialog opens ("" or a missing folder: its own
// choice). The result is the full paths of the chosen files in the order the dialog
// lists them, each as one element, so a name may hold any character, ";" included.
std::vector<std::string> choose_open_files(WindowToken owner, const std::string& title, const std::string& filter,
                                           const std::string& initial_folder);

// Lets the user choose a folder, opening on `initial_folder` ("" or a missing folder:
// the dialog's own choice). The dialog has no owner, so the main window stays usable.
// The result is the folder's full path without a trailing "/" ("/" itself for the
// root), or "" when the user cancels.
std::string choose_folder(const std::string& initial_folder, const std::string& title);
