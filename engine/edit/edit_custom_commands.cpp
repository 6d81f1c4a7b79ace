#include "engine/edit/edit_custom_commands.h"

#include <boost/algorithm/string/replace.hpp>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/custom_command_file.h"
#include "engine/edit/edit_job_command.h"
#include "platform/process.h"

namespace {

// Stand-ins for the inserted values while the line's own text is rewritten, so that
// the rewrites (collapsing blanks and quotes) never reach into a path or the title.
// A line holding the marker byte itself does not run.
constexpr char marker = '\x01';
const std::string current_marker = std::string(1, marker) + "I";
const std::string next_marker = std::string(1, marker) + "O";
const std::string title_marker = std::string(1, marker) + "T";

const std::string full_width_blank = "\xE3\x80\x80";

std::string trimmed_of_blanks(std::string text) {
  for (;;) {
    if (!text.empty() && text.front() == ' ') {
      text.erase(0, 1);
    } else if (text.starts_with(full_width_blank)) {
      text.erase(0, full_width_blank.size());
    } else {
      break;
    }
  }
  for (;;) {
    if (!text.empty() && text.back() == ' ') {
      text.pop_back();
    } else if (text.ends_with(full_width_blank)) {
      text.resize(text.size() - full_width_blank.size());
    } else {
      break;
    }
  }
  return text;
}

void collapse_double_blanks(std::string& text) {
  while (text.find("  ") != std::string::npos) boost::algorithm::replace_all(text, "  ", " ");
}

// The title as it may go into a command: no double quote or control character, no
// backslash at its end (it would turn a closing quote into a literal one), no double
// blank.
std::string neutral_title(const std::string& title) {
  std::string kept;
  for (const char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || byte < 0x20 || byte == 0x7f) continue;
    kept += c;
  }
  while (!kept.empty() && kept.back() == '\\') kept.pop_back();
  collapse_double_blanks(kept);
  return kept;
}

std::size_t argument_count(const std::string& text) { return split_command_line(text).size(); }

}  // namespace

std::optional<std::string> custom_command_text(const std::string& line, const CustomCommandValues& values) {
  if (line.find(marker) != std::string::npos) return std::nullopt;
  if (values.current.empty() || values.next.empty() || !fits_between_quotes(values.current) ||
      !fits_between_quotes(values.next)) {
    return std::nullopt;
  }

  std::string t = trimmed_of_blanks(line);
  if (fold_ascii_case(t.substr(0, 6)) == "ffmpeg") {
    t = replace_ignoring_ascii_case(t, "ffmpeg ", "");
    t = replace_ignoring_ascii_case(t, "ffmpeg.exe ", "");
  }
  if (t.find(custom_command_input_placeholder) == std::string::npos ||
      t.find(custom_command_output_placeholder) == std::string::npos) {
    return std::nullopt;
  }
  boost::algorithm::replace_all(t, custom_command_input_placeholder, "\"" + current_marker + "\"");
  boost::algorithm::replace_all(t, custom_command_output_placeholder, " -y \"" + next_marker + "\"");
  boost::algorithm::replace_all(t, custom_command_title_placeholder, title_marker);
  boost::algorithm::replace_all(t, " -y -y ", " -y ");
  boost::algorithm::replace_all(t, "\"\"", "\"");
  collapse_double_blanks(t);
  if (t.find("-hwaccel") == std::string::npos && t.find("-threads") == std::string::npos) {
    t = values.global_options + " " + t;
  }

  // The arguments the line has with one-word stand-ins: the inserted values must give
  // the same number.
  std::string plain = t;
  boost::algorithm::replace_all(plain, current_marker, "P");
  boost::algorithm::replace_all(plain, next_marker, "P");
  boost::algorithm::replace_all(plain, title_marker, "T");
  const std::size_t expected = argument_count(" " + plain);

  boost::algorithm::replace_all(t, current_marker, values.current);
  boost::algorithm::replace_all(t, next_marker, values.next);
  const std::string title = neutral_title(values.title);
  for (std::size_t at = t.find(title_marker); at != std::string::npos; at = t.find(title_marker, at)) {
    std::string as_written = title;
    std::string candidate = t;
    candidate.replace(at, title_marker.size(), as_written);
    std::string check = candidate;
    boost::algorithm::replace_all(check, title_marker, "T");
    if (argument_count(" " + check) != expected) {
      as_written = "\"" + title + "\"";
      candidate = t;
      candidate.replace(at, title_marker.size(), as_written);
      check = candidate;
      boost::algorithm::replace_all(check, title_marker, "T");
      if (argument_count(" " + check) != expected) return std::nullopt;
    }
    t = candidate;
    at += as_written.size();
  }
  if (argument_count(" " + t) != expected) return std::nullopt;
  return t;
}

void run_custom_command_pass(EditVideoState& state, const EditPage& page) {
  set_edit_status(page, state, "自定义命令");
  const std::string text = read_custom_command_file();
  if (text.empty()) {
    mark_step_not_applied(state);
    set_edit_status(page, state, "自定命令失败");
    return;
  }
  const std::string title = file_name_from_path(state.source);
  bool every_line_kept = true;
  for (const std::string& line : split_crlf_lines(text)) {
    if (worker_shutdown_requested()) return;
    // A line without both placeholders is no command and is passed over.
    if (line.find(custom_command_input_placeholder) == std::string::npos ||
        line.find(custom_command_output_placeholder) == std::string::npos) {
      continue;
    }
    // A line writes the next work file afresh: nothing an earlier line left there can
    // be taken for this line's output.
    delete_file(state.next_file());
    const std::optional<std::string> command =
        custom_command_text(line, {.current = short_path_for_command(state.current_file()),
                                   .next = short_path_for_command(state.next_file()),
                                   .title = title,
                                   .global_options = ffmpeg_global_options.get()});
    int exit_status = -1;
    if (command) {
      EditCommand edit_command;
      edit_command.text(" " + *command);
      EditRunOptions options;
      options.global_options = false;
      exit_status = run_edit_command(edit_command, options);
    }
    if (!edit_run_verify(state, exit_status)) every_line_kept = false;
  }
  if (!every_line_kept) mark_step_not_applied(state);
  set_edit_status(page, state, every_line_kept ? "自定命令成功" : "自定命令失败");
}

void run_custom_commands_before(EditVideoState& state, const EditPage& page) {
  if (page.checked("custom_command_check") && page.checked("custom_before_radio")) run_custom_command_pass(state, page);
}

void run_custom_commands_after(EditVideoState& state, const EditPage& page) {
  if (page.checked("custom_command_check") && page.checked("custom_after_radio")) run_custom_command_pass(state, page);
}
