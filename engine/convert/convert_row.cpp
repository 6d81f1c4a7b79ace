#include "engine/convert/convert_row.h"

#include <cmath>
#include <initializer_list>
#include <optional>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/console_streams.h"
#include "platform/files.h"

bool convert_row_would_overwrite_source(const ConvertRowPlan& plan, const std::vector<std::string>& listed_sources) {
  for (const std::string* written : {&plan.output_path, &plan.temporary_path}) {
    // Nothing there yet (the usual case): no existing source can be it, and the sources
    // need not be looked at one by one.
    if (written->empty() || !file_stamp(*written)) continue;
    if (is_same_file(*written, plan.source)) return true;
    for (const std::string& source : listed_sources) {
      if (is_same_file(*written, source)) return true;
    }
  }
  return false;
}

ConvertRowRun run_convert_row(const ConvertRowPlan& plan, const std::vector<std::string>& listed_sources,
                              const ProgressReport& progress) {
  ConvertRowRun run;
  if (plan.commands.empty() || convert_row_would_overwrite_source(plan, listed_sources)) return run;
  delete_file(plan.output_path);
  // Whatever is still there (it could not be deleted) is no file of this row's.
  const std::optional<FileStamp> before = file_stamp(plan.output_path);
  const std::string program = ffmpeg_exe_path.get();
  run.exit_status = 0;
  for (const std::string& command : plan.commands) {
    int exit_status = -1;
    run.console_text.clear();
    run_console_capture(program, command, progress, nullptr, &run.console_text, &exit_status);
    if (run.exit_status == 0 && exit_status != 0) run.exit_status = exit_status;
  }
  if (!plan.temporary_path.empty()) delete_file(plan.temporary_path);
  run.output_written = convert_row_output_written(plan, run.exit_status, run.console_text);
  if (!run.output_written && file_stamp(plan.output_path) != before &&
      !convert_row_would_overwrite_source(plan, listed_sources)) {
    delete_file(plan.output_path);
  }
  return run;
}

bool convert_row_output_written(const ConvertRowPlan& plan, int exit_status, const std::string& console_text) {
  if (exit_status != 0) return false;
  const auto length = file_length(plan.output_path);
  if (!length || *length == 0 || !is_regular_file(plan.output_path)) return false;
  if (is_same_file(plan.output_path, plan.source)) return false;
  if (console_streams(console_text, ConsoleFile::output).empty()) return false;
  const ConsoleFinalReport report = console_final_report(console_text);
  if (!report.found || report.size_kib < 0 || report.seconds <= 0) return false;
  // The converter reports whole KiB, rounded.
  return std::abs(static_cast<double>(*length) / 1024.0 - report.size_kib) <= 1.0;
}

bool convert_row_succeeded(const ConvertRowPlan& plan, const ConvertRowRun& run) {
  return !plan.is_stream && run.output_written;
}
