#include "engine/convert/convert_row.h"

#include <initializer_list>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/media_probes.h"
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

int run_convert_row(const ConvertRowPlan& plan, const std::vector<std::string>& listed_sources,
                    const ProgressReport& progress) {
  if (plan.commands.empty() || convert_row_would_overwrite_source(plan, listed_sources)) return -1;
  delete_file(plan.output_path);
  const std::string program = ffmpeg_exe_path.get();
  int result = 0;
  for (const std::string& command : plan.commands) {
    int exit_status = -1;
    run_console_capture(program, command, progress, nullptr, nullptr, &exit_status);
    if (result == 0 && exit_status != 0) result = exit_status;
  }
  if (!plan.temporary_path.empty()) delete_file(plan.temporary_path);
  return result;
}

bool convert_row_output_written(const ConvertRowPlan& plan, int exit_status) {
  if (exit_status != 0) return false;
  const auto length = file_length(plan.output_path);
  if (!length || *length == 0 || !is_regular_file(plan.output_path)) return false;
  if (is_same_file(plan.output_path, plan.source)) return false;
  return !probe_duration(plan.output_path).empty();
}

bool convert_row_succeeded(const ConvertRowPlan& plan, int exit_status) {
  return !plan.is_stream && convert_row_output_written(plan, exit_status);
}
