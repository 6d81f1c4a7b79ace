#include "tests/support/logging_converter.h"

#include <filesystem>

#include "tests/support/test_env.h"

namespace test_env {

namespace {

// Each argument ends with a unit separator, each call with a group separator: no
// argument the program builds holds either byte.
constexpr char argument_end = '\x1f';
constexpr char call_end = '\x1d';

std::string shell_quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Shell lines that append the call's arguments to the file named by the variable `log`.
// The program runs probes beside conversions, so calls overlap: each record is written
// while holding a lock on the log, or the arguments of two calls would interleave.
constexpr const char* log_call_lines =
    "exec 9>>\"$log\"\n"
    "flock 9\n"
    "for a in \"$@\"; do printf '%s\\037' \"$a\" >&9; done\n"
    "printf '\\035' >&9\n"
    "exec 9>&-\n";

// bin/ffmpeg as a script that logs its arguments, then runs `before_exec` (shell lines),
// then `run` (by default the system's converter in place of the script).
void write_converter_script(const std::string& run_folder, const std::string& log_path,
                            const std::string& before_exec,
                            const std::string& run = "exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n") {
  const std::string program = run_folder + "/bin/ffmpeg";
  std::filesystem::remove(program);
  write_file(program, "#!/bin/sh\nlog=" + shell_quoted(log_path) + "\n" + log_call_lines + before_exec + run);
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
}

}  // namespace

void install_logging_converter(const std::string& run_folder, const std::string& log_path) {
  write_converter_script(run_folder, log_path, "");
}

void install_failing_converter(const std::string& run_folder, const std::string& log_path,
                               const std::string& pattern, int exit_code, int bytes) {
  const std::string write_output =
      bytes < 0 ? std::string()
                : "for last in \"$@\"; do :; done; head -c " + std::to_string(bytes) + " /dev/zero > \"$last\"; ";
  write_converter_script(run_folder, log_path,
                         "case \"$*\" in *" + shell_quoted(pattern) + "*) " + write_output + "exit " +
                             std::to_string(exit_code) + ";; esac\n");
}

std::string killed_log_path(const std::string& log_path) { return log_path + ".killed"; }

void install_time_limited_converter(const std::string& run_folder, const std::string& log_path, int seconds) {
  // timeout's status for a program it killed with SIGKILL is 128 + 9.
  write_converter_script(run_folder, log_path, "",
                         "timeout -s KILL " + std::to_string(seconds) + " '" QF_SYSTEM_FFMPEG "' \"$@\"\n"
                         "status=$?\n"
                         "if [ $status -eq 137 ]; then log=" + shell_quoted(killed_log_path(log_path)) + "\n" +
                             log_call_lines + "fi\nexit $status\n");
}

std::vector<std::vector<std::string>> read_logged_commands(const std::string& log_path) {
  std::vector<std::vector<std::string>> calls;
  std::vector<std::string> call;
  std::string argument;
  for (const char c : read_file(log_path)) {
    if (c == argument_end) {
      call.push_back(argument);
      argument.clear();
    } else if (c == call_end) {
      calls.push_back(call);
      call.clear();
    } else {
      argument += c;
    }
  }
  return calls;
}

}  // namespace test_env
