#pragma once
// Running one planned row of the convert job and judging its result. The job keeps
// every listed source safe: a row whose output (or temporary file) is a listed source
// is never run, a file that is deleted is always a real path (never through an alias,
// which would remove only the link), and a source is deleted only after a conversion
// that really succeeded.

#include <string>
#include <vector>

#include "engine/convert/convert_commands.h"
#include "engine/converter/converter_runner.h"

// The row's status when its output would be written over a listed source.
inline constexpr const char* convert_status_output_is_source = "输出会覆盖原视频";
// The row's status when its source or output cannot be written into a command.
inline constexpr const char* convert_status_unusable_path = "路径无法使用";

// True when the output or the temporary file of `plan` is the row's source or one of
// `listed_sources`: the same existing file, however the texts spell it (a link, a
// hard link, another spelling of the folder). Stream addresses name no file here.
bool convert_row_would_overwrite_source(const ConvertRowPlan& plan, const std::vector<std::string>& listed_sources);

// What a row's run came to.
struct ConvertRowRun {
  // 0 when every command ran and exited 0, otherwise the exit status of the first
  // command that did not (-1 when it could not run or the row was not run).
  int exit_status = -1;
  std::string console_text;     // the console text of the row's last command
  bool output_written = false;  // `convert_row_output_written` of the run
};

// Runs the row: deletes an old output file, runs the commands in order on
// `ffmpeg_exe_path` with `progress`, keeping the last one's console text, deletes the
// temporary file of M3u8ToMp3 and judges the output. When the output was not written,
// the file the run left at the output path goes too (an empty file of a container
// that refused the streams, a conversion cut short), unless it is the file that was
// there before the commands ran or a listed source. A row without commands, or one
// that `convert_row_would_overwrite_source` finds writing over a source, is not run
// and no file is touched (the caller shows why).
ConvertRowRun run_convert_row(const ConvertRowPlan& plan, const std::vector<std::string>& listed_sources,
                              const ProgressReport& progress);

// True when the row's run, ended with `exit_status` and `console_text` (its last
// command's), really wrote its output, judged from what the converter reported
// without starting it again: it exited 0; its console lists the output's streams and
// ends with its statistics line, after a last report of a size and of a time reached
// beyond 0; and the output exists, is not the source, and is the file the converter
// reported (its length that size, to the KiB). A converter's exit 0 and its finish
// line alone prove nothing (a run can leave no file, an empty one, a cut-short one or
// one that is no media).
bool convert_row_output_written(const ConvertRowPlan& plan, int exit_status, const std::string& console_text);

// True when the row's source may be deleted after `run`: the source is a local file
// and the run wrote its output.
bool convert_row_succeeded(const ConvertRowPlan& plan, const ConvertRowRun& run);
