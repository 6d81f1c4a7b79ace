#pragma once
// The custom command pass of the edit job: the user's own converter command lines from
// the custom command file (engine/edit/custom_command_file.h), run on the video either
// before all other edit steps or after them, chained through the two work files.
//
// Every line that holds both "[input]" and "[output]" runs, in file order, on the work
// file that is current when it starts; its output becomes current when the converter
// ends with exit status 0 and the next work file then holds at least 10 bytes. The
// status column reads "自定义命令" while the pass runs, "自定命令失败" when the file is
// missing or empty or a line's output did not count (its option is then not applied),
// and "自定命令成功" when every line's output counted (also when no line held both
// placeholders).
//
// The user's line is the user's own argument list, but nothing the program puts into
// it can change its arguments: the work files are written as quoted aliases, and the
// video's title loses its double quotes and control characters and is put in quotes
// where its blanks would otherwise split it (see `custom_command_text`).

#include <optional>
#include <string>

#include "engine/edit/edit_job_state.h"

// What a custom command line's placeholders stand for.
struct CustomCommandValues {
  std::string current;         // the current work file as written into commands (its alias)
  std::string next;            // the next work file as written into commands (its alias)
  std::string title;           // the source's file name without folder and extension
  std::string global_options;  // `ffmpeg_global_options`
};

// The command text run for one line of the file (the converter is started with
// " " + this text), or nothing when the line does not run.
//
// The line is trimmed of ASCII and full-width blanks (not tabs); a line beginning with
// "ffmpeg" (any case) loses every "ffmpeg " and then every "ffmpeg.exe "; a line
// without "[input]" or "[output]" (case matters) does not run. "[input]" becomes the
// quoted current file, "[output]" " -y " and the quoted next file, "[title]" the
// title; then " -y -y " becomes " -y ", every pair of double quotes one double quote,
// and double blanks are collapsed until none is left. Unless the line names
// "-hwaccel" or "-threads", the global options and a blank go in front.
//
// Inserted values never change the line's arguments: a work file that cannot stay
// one argument between quotes, or that the user's quoting would split, stops the
// line; the title has its double quotes, control characters and trailing
// backslashes removed and its double blanks collapsed, and is put in quotes where it
// stands outside quotes and holds a blank.
std::optional<std::string> custom_command_text(const std::string& line, const CustomCommandValues& values);

// One pass over the custom command file on the video (the steps call it when their
// option is on).
void run_custom_command_pass(EditVideoState& state, const EditPage& page);

// Step 1: the pass when "高级自定义" is checked and "在选项前执行" is selected.
void run_custom_commands_before(EditVideoState& state, const EditPage& page);

// Step 29: the pass when "高级自定义" is checked and "在选项后执行" is selected.
void run_custom_commands_after(EditVideoState& state, const EditPage& page);
