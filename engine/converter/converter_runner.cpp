#include "engine/converter/converter_runner.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t read_size = 1023;
constexpr std::size_t longest_line_held = 64 * 1024;
// The UI thread comes back often to keep its windows responsive; other threads wake
// early only when output arrives or the pipe closes.
constexpr auto ui_poll_time = 25ms;
constexpr auto worker_poll_time = 500ms;
// Off the UI thread, once the pipe is empty the run lets the program's output gather
// for up to this long (or until the program ends) before it reads again: the converter
// writes its console a line at a time, and waking for every line would cost this
// program more than the lines are worth. The pipe holds far more than the converter
// writes in that time.
constexpr auto worker_gather_time = 20ms;

constexpr std::string_view full_width_blank = "\xE3\x80\x80";

// The position of the last CR or LF in `text`, or npos.
std::size_t last_line_break(const std::string& text) {
  for (std::size_t at = text.size(); at-- > 0;) {
    if (text[at] == '\r' || text[at] == '\n') return at;
  }
  return std::string::npos;
}

std::string trim_blanks(std::string text) {
  for (bool changed = true; changed;) {
    changed = false;
    if (!text.empty() && text.front() == ' ') {
      text.erase(0, 1);
      changed = true;
    } else if (text.starts_with(full_width_blank)) {
      text.erase(0, full_width_blank.size());
      changed = true;
    }
    if (!text.empty() && text.back() == ' ') {
      text.pop_back();
      changed = true;
    } else if (text.ends_with(full_width_blank)) {
      text.erase(text.size() - full_width_blank.size());
      changed = true;
    }
  }
  return text;
}

// Hands chunks on to the callback and the console text, keeping the status word and
// the time text between them.
class ChunkHandler {
 public:
  ChunkHandler(const ProgressReport& progress, const std::function<void(const std::string&)>& chunk_seen)
      : progress_(progress), chunk_seen_(chunk_seen) {}

  void handle(const std::string& bytes) {
    const std::string chunk = console_chunk_text(bytes);
    if (chunk.empty()) return;
    time_ = chunk_time_text(chunk, time_);
    const std::string status = chunk_status_word(chunk);
    if (chunk_seen_) chunk_seen_(chunk);
    if (progress_) progress_(status, time_);
    console_ += chunk;
    console_ += "\r\n";
  }

  std::string& console() { return console_; }

 private:
  const ProgressReport& progress_;
  const std::function<void(const std::string&)>& chunk_seen_;
  std::string time_;
  std::string console_;
};

}  // namespace

std::string console_chunk_text(const std::string& bytes) {
  // One pass doing both rewrites: every LF becomes CR LF, and a CR right after a blank
  // (one of the text or one that an LF brought) goes. Only the line ends are looked at
  // one by one; the text between them is copied whole.
  const std::size_t length = std::min(bytes.find('\0'), bytes.size());
  std::string text;
  text.reserve(length + length / 16 + 8);
  const char* const start = bytes.data();
  const char* const end = start + length;
  // The next CR and the next LF from `from` on (`end` when there is none).
  const auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
  };
  const char* run = start;
  const char* next_cr = next(start, '\r');
  const char* next_lf = next(start, '\n');
  while (next_cr < end || next_lf < end) {
    const char* at = std::min(next_cr, next_lf);
    text.append(run, at);
    if (at == start || at[-1] != ' ') text += '\r';
    if (*at == '\n') {
      text += '\n';
      next_lf = next(at + 1, '\n');
    } else {
      next_cr = next(at + 1, '\r');
    }
    run = at + 1;
  }
  text.append(run, end);
  return text;
}

std::string chunk_status_word(const std::string& chunk) {
  if (chunk.find("global headers:0kB") != std::string::npos) return run_status_finished;
  if (chunk.find("Input/output error") != std::string::npos) return run_status_io_error;
  if (chunk.find("No such file or directory") != std::string::npos) return run_status_file_missing;
  return run_status_running;
}

std::string chunk_time_text(const std::string& chunk, const std::string& previous) {
  const std::size_t at = chunk.find("time=");
  if (at == std::string::npos) return previous;
  std::string time = trim_blanks(chunk.substr(at + 5, 8));
  return time.find('-') == std::string::npos ? time : previous;
}

void run_console_capture(const std::string& program_path, const std::string& command_line,
                         const ProgressReport& progress, int* process_id, std::string* console_text,
                         int* exit_status, const std::function<void(int process_id)>& on_started,
                         const std::function<void(const std::string& chunk)>& chunk_seen) {
  if (console_text) console_text->clear();
  if (exit_status) *exit_status = -1;
  if (!path_exists(program_path)) {
    if (console_text) *console_text = program_path + missing_program_suffix;
    if (progress) progress("", "");
    return;
  }
  ChildProcess child;
  const bool started = child.start(program_path, command_line);
  if (process_id) *process_id = started ? child.id() : 0;
  if (!started) return;
  if (on_started) on_started(child.id());

  const bool on_ui_thread = is_ui_thread();
  auto poll_time = std::chrono::milliseconds(on_ui_thread ? ui_poll_time : worker_poll_time);
  ChunkHandler handler(progress, chunk_seen);
  std::string pending;  // read, not yet handed on: the bytes after the last line break
  // Hands on what has arrived, up to its last line break.
  const auto hand_on_lines = [&] {
    const std::size_t last_break = last_line_break(pending);
    if (last_break != std::string::npos) {
      handler.handle(pending.substr(0, last_break + 1));
      pending.erase(0, last_break + 1);
    } else if (pending.size() >= longest_line_held) {
      handler.handle(pending);
      pending.clear();
    }
  };
  bool exited = false;
  if (!progress && !chunk_seen && !on_ui_thread && child.can_watch_end()) {
    // Nobody follows this run's output as it comes (a probe, a step's command): the
    // thread sleeps until the program ends, and empties the pipe only when a wait
    // runs out, so the pipe never fills. Every wake-up costs, and a run this way has
    // only its start and its end.
    while (!child.wait_for_end(worker_poll_time)) {
      while (child.read_output(pending, read_size, 0ms) == ChildProcess::ReadResult::data) hand_on_lines();
    }
    exited = true;
    poll_time = 0ms;
  }
  for (;;) {
    const std::size_t before = pending.size();
    const auto result = child.read_output(pending, read_size, poll_time);
    if (result == ChildProcess::ReadResult::end) break;
    if (result == ChildProcess::ReadResult::data) {
      const bool pipe_emptied = pending.size() - before < read_size;
      hand_on_lines();
      if (pipe_emptied && !exited && !on_ui_thread) child.wait_for_end(worker_gather_time);
    } else if (exited) {
      break;  // the program has ended and the pipe holds nothing more of it
    } else if (child.has_exited()) {
      // Something the program left behind still holds the pipe open: take what
      // the program wrote, which is all in the pipe now, without waiting for more.
      exited = true;
      poll_time = 0ms;
    }
    if (on_ui_thread) process_pending_events();
  }
  if (!pending.empty()) handler.handle(pending);

  if (on_ui_thread) {
    // The pipe closes while the program is still ending, which takes a moment: look
    // again soon, then less and less often (a whole poll time here would add it to
    // every run on the UI thread).
    for (auto pause = 1ms; !child.has_exited(); pause = std::min(2 * pause, ui_poll_time)) {
      pause_processing_events(pause);
    }
  }
  const int status = child.wait_for_exit();
  if (exit_status) *exit_status = status;
  if (console_text) *console_text = std::move(handler.console());
}
