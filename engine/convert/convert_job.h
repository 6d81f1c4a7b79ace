#pragma once
// The batch convert job of the convert page of `MainWindow`: the start/stop button's
// handler and the worker that turns every row of `convert_list` into one output file
// (engine/convert/convert_commands.h plans a row, engine/convert/convert_row.h runs and judges it).
//
// The button: "开始转换" starts the job (nothing happens while the list is empty),
// "停止转换" asks it to stop after the current row ("正在停止", disabled), and the
// worker's end makes it "开始转换" again. While the job runs, the list buttons of the
// page and the two other page buttons are disabled; the list menu takes a disabled
// `convert_add_videos_button` as the sign that the job runs.
//
// A row's status (column 2): "" at the start of the job, "正在转换" while it runs, the
// last status word of the run after it (unless that is "任务完成", which waits for the
// judgement below), and at its end "任务完成" when the converter
// exited 0, the per-file label reads "100 %" and the output was really written
// (`convert_row_output_written`, judged from the conversion's own console). Otherwise
// the row keeps its error word ("文件不存在", "输入输出错误") or reads "转换失败", and
// the file its run left at the output path is removed; a row that is not run reads
// "输出会覆盖原视频" (its output or temporary file is a listed source) or "路径无法使用"
// (a path or address that cannot be written into a command). The worker writes to the
// rows it started with (row ids), whatever rows are deleted meanwhile; a row deleted
// before its turn is passed over. The source is deleted (option "转换成功后，删除原视
// 频文件") only when `convert_row_succeeded` says so: the same judgement, for a local
// source, right after its own output was written.
//
// Output names: the first row that makes a name keeps it; a later row of the same job
// that would make it again (sources with one stem, same-named files of two folders, a
// file listed twice) writes "name(2).ext", "name(3).ext", ... instead, so no row
// deletes or writes over what an earlier row wrote.
//
// Threads: the handler runs on the UI thread; the worker on `convert_thread`. Both
// reach the window only through the control model. While a row converts, the duration
// probe of the next row's source runs on a helper thread of the worker (one at a time);
// the row takes its result (its duration and its streams) unless the file changed since
// (then it probes again). The worker waits for the helper before it ends.

#include <thread>

#include "platform/gui/gui_event.h"
#include "platform/gui/gui_types.h"

// Captions of `convert_start_button`.
inline constexpr const char* convert_start_caption = "开始转换";
inline constexpr const char* convert_stop_caption = "停止转换";
inline constexpr const char* convert_stopping_caption = "正在停止";

// Row statuses the job writes besides the runner's status words.
inline constexpr const char* convert_status_converting = "正在转换";
inline constexpr const char* convert_status_failed = "转换失败";

// Settings of the convert page in the settings file.
inline constexpr const char* convert_settings_section = "批量转换视频";
inline constexpr const char* convert_output_folder_key = "保存位置";
inline constexpr const char* convert_save_mode_key = "保存方式";

// The worker thread of the running or last convert job. UI thread only (the start
// handler and shutdown).
extern std::thread convert_thread;

// The clicked handler of `convert_start_button` (UI thread); the event names the window.
// Starting: clears `stop_requested`, makes the button "停止转换" with the stop picture,
// stores the save choice (and, saving into a folder, creates the folder and stores it),
// shows the progress strip at "0 %" and "1 / N", and starts the worker.
void on_convert_start_stop_clicked(const GuiEvent& event);

// The worker thread's routine: runs `batch_convert_videos`.
void batch_convert_videos_thread_entry(WindowToken window);

// The whole job, on the calling thread.
void batch_convert_videos(WindowToken window);

// Shutdown (UI thread): asks the job to stop, ends every converter process the program
// started (from now on none starts any more, whatever job it would serve), and waits
// until the worker has left, which it does at its next check: its run returns, the row
// is not judged a success, no source is deleted, and its duration probe helper, whose
// converter is ended too, has returned.
void end_convert_thread();
