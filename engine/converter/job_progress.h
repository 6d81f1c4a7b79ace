#pragma once
// The per-file half of the progress strip above the pages of `MainWindow`: the batch
// jobs hand `job_progress_callback` to the converter runner, which calls it after
// every chunk of console output with the chunk's status word and the last time text.
//
// The display rule (`show_job_progress`):
// - p = `job_progress_percent` of the time text and `progress_total_duration`;
//   `file_progress_label` := p + " %", `file_progress_bar` := p (the bar clamps it);
//   `last_job_status` := the status word;
// - then, for "任务完成", "正常运行" and "输入输出错误": label "100 %", bar 100, and the
//   calling thread's pending events are processed (on the UI thread only).
// So the label reads "100 %" from the first ordinary chunk of a run on; the percentage
// stays visible only after a "文件不存在" chunk or the missing-program report (an empty
// status word).
//
// The callback runs on the thread that called the runner; the writes go through the
// control model (thread-safe; dropped while no main window exists).

#include <string>

#include "engine/window/main_window_token.h"

// The percentage of `time` in `total` (both HH:MM:SS as `fixed_hms_to_seconds` reads
// them) as the strip shows it: x = a / b * 100 + 1e-12 in double precision; n = the
// integer part of x, plus 1 when its fraction is at least 0.5; p = the integer part of
// n / 100 * 100 (truncated, so n = 29 gives 28). 0 when the total reads 0 seconds.
int job_progress_percent(const std::string& time, const std::string& total);

// The runner's progress callback: hands copies of both texts to `show_job_progress`.
void job_progress_callback(const std::string& status, const std::string& time);

// Updates `file_progress_label`, `file_progress_bar` and `last_job_status` by the rule
// above.
void show_job_progress(const std::string& status, const std::string& time);
