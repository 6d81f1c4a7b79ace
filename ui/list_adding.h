#pragma once
// Adding videos to the four job lists, in three ways for each list.
//
// The open dialog ("添加视频"): the button is disabled while it works; the dialog opens
// in the list's remembered folder with the video filter and may return many files
// (each path one element, so a name may hold ";"). Each chosen path becomes a row
// (number and path; no extension filter, "所有格式" admits any file); the edit list's
// rows also get their duration, probed here on the UI thread while window events keep
// flowing, one converter run per file, written to the row it was probed for whatever
// happens to the list meanwhile. When at least one path was chosen, the list's
// remembered folder becomes the first path's folder (with its trailing "/") and is
// stored in section "原视频" of the settings file. Then the button is enabled again
// (unless the list's job runs) and the list's count update runs.
//
// Dropped files: the dropped text holds one name, or several each followed by "\r\n".
// Each name that is a video by its extension (letter case aside) and not a folder
// becomes a row, without a duration; then the count update runs. Drops are accepted
// while the list's job runs too.
//
// A folder scan ("添加视频文件夹"): the folder browser's choice is handed by value to a
// new scan thread (registered for shutdown, which ends it at its next file), and the
// list's add-folder button is disabled until the scan has ended. The scan goes through
// every subfolder at every depth (engine/common/file_helpers.h `list_subfolders`), then the
// chosen folder itself, so the videos directly in the chosen folder come last; within a
// folder, files come in the order the file system gives them. Each video becomes a row
// that is scrolled into view; the merge lists' and the edit list's rows get their
// duration, probed on the scan thread. At the end the button is enabled again (unless
// the list's job runs) and the count update runs, both on the UI thread. Scans of the
// same or different lists may run at the same time; each adds the folder of its own
// click.

#include <string>

#include "ui/job_lists.h"

// Binds the add buttons, the drops and the folder buttons of the four lists.
void bind_list_adding_handlers(WindowToken window);

// UI thread: the whole open-dialog add of a list.
void add_videos_through_dialog(JobList list);
// UI thread: a drop on a list.
void add_dropped_files(JobList list, const std::string& dropped_text);
// UI thread: the folder browser, then the scan thread.
void start_folder_scan(JobList list);
// The scan itself, on the calling thread: appends the videos under `folder` to the list
// in `window`. Leaves early once shutdown has begun.
void scan_folder_into_list(WindowToken window, JobList list, const std::string& folder);

// The handlers and scan routines of each list.
void on_convert_add_videos_clicked();
void on_merge_add_videos1_clicked();
void on_merge_add_videos2_clicked();
void on_edit_add_videos_clicked();
void on_convert_list_files_dropped(const std::string& dropped_text);
void on_merge_list1_files_dropped(const std::string& dropped_text);
void on_merge_list2_files_dropped(const std::string& dropped_text);
void on_edit_list_files_dropped(const std::string& dropped_text);
void on_convert_add_folder_clicked();
void on_merge_add_folder1_clicked();
void on_merge_add_folder2_clicked();
void on_edit_add_folder_clicked();
void scan_folder_into_convert_list(WindowToken window, const std::string& folder);
void scan_folder_into_merge_list1(WindowToken window, const std::string& folder);
void scan_folder_into_merge_list2(WindowToken window, const std::string& folder);
void scan_folder_into_edit_list(WindowToken window, const std::string& folder);
