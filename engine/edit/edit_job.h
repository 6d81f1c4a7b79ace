#pragma once
// The batch edit job of the edit page of `MainWindow`: the start/stop button's handler,
// the worker that runs every row of `edit_list` through the edit steps and saves it,
// and the end of the job.
//
// The button: "开始剪辑" runs the start checks (engine/edit/edit_job_checks.h) and starts
// the job on a worker thread (registered for shutdown, engine/converter/worker_threads.h);
// "停止剪辑" asks it to stop after the current video ("正在停止", disabled); the end of
// the job makes it "开始剪辑" again, last of all.
//
// Per row: "转码失败" when the source has no duration or its first work file cannot be
// made; otherwise "正在转码", "转码成功", the steps' statuses, and the save's final
// status (">任务完成<" only for a saved, readable output with every ticked option
// applied, "未完成：" and the first option not applied for one saved without it). The
// outputs of one job never write over each other (numbered names). The worker writes
// to the rows it started with (row ids); a row deleted before its turn is passed over.
// A row whose work files would be written over a listed source is not run
// ("输出会覆盖原视频").
//
// The end of the job removes the work folder (only when it is a real folder of the run
// folder and holds no listed source), deletes the subtitle font copied into "bin",
// gives back the button and the page's controls and hides the progress strip.

#include "platform/gui/gui_event.h"
#include "platform/gui/gui_types.h"

// Captions of `edit_start_button`.
inline constexpr const char* edit_start_caption = "开始剪辑";
inline constexpr const char* edit_stop_caption = "停止剪辑";
inline constexpr const char* edit_stopping_caption = "正在停止";

// Row statuses of the frame.
inline constexpr const char* edit_status_transcoding = "正在转码";
inline constexpr const char* edit_status_transcoded = "转码成功";
inline constexpr const char* edit_status_transcode_failed = "转码失败";

// The clicked handler of `edit_start_button` (UI thread); the event names the window.
void on_edit_start_stop_clicked(const GuiEvent& event);

// The worker thread's routine: runs `batch_edit_videos`.
void batch_edit_videos_thread_entry(WindowToken window);

// The whole job, on the calling thread, ending with the end of the job.
void batch_edit_videos(WindowToken window);
