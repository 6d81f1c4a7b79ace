#pragma once
// The command lines of the edit job: pieces of text and paths joined in order, each
// path written as a double-quoted alias of the complete path (`short_path_for_command`),
// and one run of the converter for such a line.
//
// A path that would not stay one argument between its quotes (see
// `fits_between_quotes`) makes the whole command unusable: it is never run, so no file
// name can change the arguments of a converter command.
//
//   EditCommand command;
//   command.text(" -i ").path(current).text(" -vf hflip -y ").path(next);
//   run_edit_command(command);

#include <string>

#include "engine/converter/converter_runner.h"

class EditCommand {
 public:
  // Appends `piece` as written.
  EditCommand& text(const std::string& piece);
  // Appends a double quote, the alias form of the complete path, and a double quote.
  EditCommand& path(const std::string& path);

  // False when a path could not be written into the line as one argument.
  bool usable() const { return usable_; }
  // The line as built (without the global options).
  const std::string& line() const { return line_; }

 private:
  std::string line_;
  bool usable_ = true;
};

// How one command is run.
struct EditRunOptions {
  // Put `ffmpeg_global_options` in front of the line (the cover steps run without).
  bool global_options = true;
  // Keep the console text in `ffmpeg_output`.
  bool collect_console = false;
  // When given, receives the console text of this run alone (no other job's run can
  // come between, as it can with `ffmpeg_output`).
  std::string* console_text = nullptr;
  // Called after every chunk of console output (the save's progress).
  ProgressReport progress;
};

// Runs the line on `ffmpeg_exe_path`. Returns the converter's exit status, or -1 when
// nothing ran (an unusable command, a missing converter, shutdown).
int run_edit_command(const EditCommand& command, const EditRunOptions& options = {});
