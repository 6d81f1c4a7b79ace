#include "engine/edit/edit_work_file_sound.h"

#include "engine/edit/edit_job_command.h"
#include "engine/text_helpers.h"

bool console_lists_audio_stream(const std::string& console_text) {
  for (const std::string& line : split_crlf_lines(console_text)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 8, "Stream #") != 0) continue;
    if (line.find(": Audio:", start) != std::string::npos) return true;
  }
  return false;
}

bool work_file_has_sound(const std::string& path) {
  EditCommand command;
  command.text(" -i ").path(path);
  std::string console;
  EditRunOptions options;
  options.console_text = &console;
  // The converter ends with an error here (no output was named); the stream list comes
  // first.
  run_edit_command(command, options);
  return console_lists_audio_stream(console);
}
