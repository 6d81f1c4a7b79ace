#include "engine/edit/edit_job_command.h"

#include "engine/common/globals.h"
#include "engine/converter/media_probes.h"

EditCommand& EditCommand::text(const std::string& piece) {
  line_ += piece;
  return *this;
}

EditCommand& EditCommand::path(const std::string& path) {
  const std::string written = short_path_for_command(path);
  if (path.empty() || !fits_between_quotes(written)) usable_ = false;
  line_ += "\"" + written + "\"";
  return *this;
}

int run_edit_command(const EditCommand& command, const EditRunOptions& options) {
  if (!command.usable()) return -1;
  const std::string line = (options.global_options ? ffmpeg_global_options.get() : std::string()) + command.line();
  std::string console;
  int exit_status = -1;
  const bool wants_console = options.collect_console || options.console_text;
  run_console_capture(ffmpeg_exe_path.get(), line, options.progress, nullptr, wants_console ? &console : nullptr,
                      &exit_status);
  if (options.collect_console) ffmpeg_output.set(console);
  if (options.console_text) *options.console_text = console;
  return exit_status;
}
