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

// Lets the user choose one file (same arguments as above); its full path, or "" when
// nothing was chosen.
std::string choose_open_file(WindowToken owner, const std::string& title, const std::string& filter,
                             const std::string& initial_folder);

// A single-file open dialog with an empty title that keeps, while the program runs, the
// folder it opens on and the full path last chosen in it. Nothing of it is stored in
// the settings file. UI thread only.
struct OpenFileDialog {
  std::string filter;
  std::string initial_folder;  // "": the dialog's own choice
  std::string chosen_path;     // the last file chosen, "" before any
};

// Shows the dialog modally to `owner` on its initial folder. When the user chose a file,
// remembers and returns its path; otherwise returns "" and keeps the earlier choice.
std::string show_open_file_dialog(OpenFileDialog& dialog, WindowToken owner);

// The main window's two open-file dialogs: the audio file of the edit page, and the
// pictures of the edit page and the picture-position editor, which share one dialog and
// so one remembered folder.
inline constexpr const char* audio_file_filter = "音频文件|*.mp3;*.wav";
inline constexpr const char* picture_file_filter = "图片文件|*.jpg;*.gif;*.png;*.jpeg";
extern OpenFileDialog audio_file_dialog;
extern OpenFileDialog picture_file_dialog;

// Lets the user choose a folder, opening on `initial_folder` ("" or a missing folder:
// the dialog's own choice). The dialog has no owner, so the main window stays usable.
// The result is the folder's full path without a trailing "/" ("/" itself for the
// root), or "" when the user cancels.
std::string choose_folder(const std::string& initial_folder, const std::string& title);
