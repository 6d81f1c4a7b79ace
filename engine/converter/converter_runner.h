#pragma once
// The converter runner: every media operation is one run of the converter through
// `run_console_capture`. It starts the program hidden with its console output on a
// pipe, hands each chunk of output to a progress callback as a status word and a
// time text, and gives back the whole console text once the program has ended.
//
// Chunks. The pipe is read at most 1023 bytes at a time. A chunk ends at the last line
// break (CR or LF) that has arrived; the bytes after it wait for the next read, so a
// marker or a number ("Duration: 00:01:23", a frame size) is never split between two
// chunks. A line without a break is handed on once 64 KiB of it have gathered, and
// whatever is left when the output ends is handed on last. Each chunk's bytes become
// its text this way: every LF becomes CR LF, then every blank followed by CR becomes a
// single blank (the CR dropped), and the text ends at its first zero byte.
//
// Each non-empty chunk, in order:
// 1. Time text: the 8 bytes after the chunk's first "time=", trimmed of blanks (ASCII
//    and the full-width U+3000) at both ends, become the time text unless they hold a
//    "-" (a negative position); a chunk without "time=" keeps the last one. It starts
//    empty.
// 2. Status word (first match wins): "global headers:0kB" gives "任务完成",
//    "Input/output error" gives "输入输出错误", "No such file or directory" gives
//    "文件不存在", anything else "正常运行". It describes this chunk alone.
// 3. The callback, when given, gets (status word, time text).
// 4. The chunk and "\r\n" are added to the console text.
//
// The run returns once the program has exited and everything it wrote has been read
// (output that a program it left behind keeps writing is not waited for). On the UI
// thread pending events are processed between short polls; on other threads the run
// sleeps in poll. There is no time limit and no cancellation, except that shutdown
// ends every running converter (platform/process) and no run starts after it.

#include <functional>
#include <string>

// The progress callback: the status word first, the time text second.
using ProgressReport = std::function<void(const std::string& status, const std::string& time)>;

// The status words (`FfmpegRunStatus`).
inline constexpr const char* run_status_finished = "任务完成";
inline constexpr const char* run_status_io_error = "输入输出错误";
inline constexpr const char* run_status_file_missing = "文件不存在";
inline constexpr const char* run_status_running = "正常运行";

// Added to the program path to make the console text of a run whose program is missing.
inline constexpr const char* missing_program_suffix = " 不存在";

// Runs `program_path` with the arguments of `command_line` (split by the Windows C
// runtime's rules, see platform/process.h; callers begin it with a blank).
// - `progress`: called once per non-empty chunk, in order, before the run returns.
// - `process_id`: the started process's id; 0 when none could be started.
// - `console_text`: the console text (every chunk followed by "\r\n").
// - `exit_status`: the program's exit code (0 to 255), 128 + the signal number when a
//   signal ended it, -1 when nothing ran.
// When nothing exists at `program_path`: the console text is the path followed by
// " 不存在", the callback is called once with two empty texts, the process id is left
// alone and nothing starts. When the program cannot be started (or shutdown has
// begun): empty console text, no callback.
// - `started`: called with the process id as soon as the process has started, on the
//   calling thread, before any output is read (so another thread can be told which
//   process to end through the registry, platform/process.h).
// - `chunk_seen`: called with the text of each non-empty chunk (as the console text
//   gets it) just before `progress`, for a caller that reads something the converter
//   prints early, such as its input's duration.
void run_console_capture(const std::string& program_path, const std::string& command_line,
                         const ProgressReport& progress = nullptr, int* process_id = nullptr,
                         std::string* console_text = nullptr, int* exit_status = nullptr,
                         const std::function<void(int process_id)>& started = nullptr,
                         const std::function<void(const std::string& chunk)>& chunk_seen = nullptr);

// The text of a chunk's bytes: LF to CR LF, then " \r" to " ", up to the first zero.
std::string console_chunk_text(const std::string& bytes);

// The status word of one chunk's text.
std::string chunk_status_word(const std::string& chunk);

// The time text after `chunk`, given the one before it.
std::string chunk_time_text(const std::string& chunk, const std::string& previous);
