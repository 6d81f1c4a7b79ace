#pragma once
// The batch merge job of the merge page of `MainWindow`: the start/stop button's handler
// and the worker that makes one new video from each pair of a row of `merge_list1` and
// a row of `merge_list2` (either list may instead be joined whole into one part, its
// "合并所有原视频" box checked). engine/merge/merge_parts.h makes the two parts of a pair,
// engine/merge/merge_pair.h the pair's output, engine/merge/merge_work_folders.h keeps the work
// folders "v_temp1" (the job) and "v_temp2" (one pair) under the run folder.
//
// The button: "开始合并" starts the job, "停止合并" asks it to stop after the pair in
// progress ("正在停止", disabled), and the worker's end makes it "开始合并" again. While
// the job runs, the list buttons of both lists, the two merge-all boxes and the two
// other page buttons are disabled; the list menu takes a disabled
// `merge_add_videos1_button` as the sign that the job runs.
//
// Counts: the outer count is 1 when list 1 is joined whole, else its rows; the inner
// count likewise for list 2 (a list without rows gives no part). The overall half of
// the progress strip counts the pairs against the text of `merge_output_count_label`.
// When a work folder is not the job's own (see engine/merge/merge_work_folders.h), the job
// makes nothing and the per-file label reads `merge_status_work_folder_unusable`.
//
// Threads: the handler runs on the UI thread; the worker is a registered worker thread
// (engine/converter/worker_threads.h) of kind merge, which reads the stop flag and the shutdown
// flag after each pair and each outer pass. Both reach the window only through the
// control model.

#include <string>

#include "platform/gui/gui_event.h"
#include "platform/gui/gui_types.h"

// Captions of `merge_start_button`.
inline constexpr const char* merge_start_caption = "开始合并";
inline constexpr const char* merge_stop_caption = "停止合并";
inline constexpr const char* merge_stopping_caption = "正在停止";

// The per-file label when a work folder cannot be used.
inline constexpr const char* merge_status_work_folder_unusable = "工作文件夹无法使用";

// The per-file label after a job in which `failed` pairs left no output: "3 个合并失败".
// When a job ends with failed pairs, or at a work folder it cannot use, the label stays
// shown with that text (the rest of the progress strip hidden) until a job starts;
// after a job without failures the whole strip is hidden.
std::string merge_failed_pairs_text(int failed);

// The clicked handler of `merge_start_button` (UI thread); the event names the window.
// Starting: clears `stop_requested`, makes the button "停止合并" with the stop picture,
// shows the progress strip at "0 %" and "1 / " + the output count, and starts the
// worker. Otherwise asks the running job to stop.
void on_merge_start_stop_clicked(const GuiEvent& event);

// The worker's routine: runs `batch_merge_videos`.
void batch_merge_videos_thread_entry(WindowToken window);

// The whole job, on the calling thread.
void batch_merge_videos(WindowToken window);
