#pragma once
// Test support: a converter stand-in that writes down every argument list it is
// started with and then runs the system's converter with it, so a test (or a
// benchmark) sees the exact arguments the program's command texts split into.

#include <string>
#include <vector>

namespace test_env {

// Replaces `run_folder`/bin/ffmpeg by the logging stand-in, which appends each call's
// arguments to `log_path`.
void install_logging_converter(const std::string& run_folder, const std::string& log_path);

// Like `install_logging_converter`, but a call whose arguments, joined by blanks,
// contain `pattern` does not reach the real converter: it writes `bytes` bytes into
// the call's last argument (when `bytes` >= 0; nothing is written otherwise) and ends
// with `exit_code`. The call is logged all the same.
void install_failing_converter(const std::string& run_folder, const std::string& log_path,
                               const std::string& pattern, int exit_code, int bytes);

// Like `install_logging_converter`, but each call may run for `seconds` seconds at most:
// a converter still running then is killed, and the call is also logged into
// `killed_log_path(log_path)`. A test of something that could hang bounds it with this.
void install_time_limited_converter(const std::string& run_folder, const std::string& log_path, int seconds);

// Where `install_time_limited_converter` logs the calls it killed.
std::string killed_log_path(const std::string& log_path);

// The argument lists logged so far, in call order (without the program name).
std::vector<std::vector<std::string>> read_logged_commands(const std::string& log_path);

}  // namespace test_env
