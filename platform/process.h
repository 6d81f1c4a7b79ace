#pragma once
// Starting the converter: one program path plus one command-line text, its console
// output read back through a pipe, and a registry of the converter processes this
// program has started, so that shutdown ends exactly those.
//
// Command-line text. The callers build a command as one text, the way the original
// platform handed it to a new process. `split_command_line` turns that text into the
// argument list by the Windows C runtime's rules, so quoting in the command texts
// means what it meant there:
// - Blanks and tabs outside double quotes separate arguments; blanks and tabs at the
//   start (every caller's text begins with a blank) and at the end make no argument.
//   No other character separates (a line break is an ordinary character).
// - A double quote switches between quoted and unquoted and is itself dropped; inside
//   quotes blanks and tabs are ordinary characters. Quoted and unquoted pieces that
//   touch make one argument: a"b c"d is the one argument ab cd, and "" alone is an
//   empty argument.
// - Inside quotes, a doubled quote "" gives one literal quote and the text stays
//   quoted ("a""b" is a"b).
// - Backslashes are literal unless a double quote follows them: 2n backslashes and a
//   quote give n backslashes and the quote switches as above; 2n+1 backslashes and a
//   quote give n backslashes and a literal quote.
// - The whole text is arguments: the program is named by its path, never by the text.
// No shell is involved: nothing else in the text (";", "|", "$", "*", "'", "%") means
// anything, and bytes of multibyte UTF-8 characters are never quotes or backslashes.
//
// A started process has standard input /dev/null, standard output and standard error
// on one pipe, the caller's environment, and as its working folder the folder of the
// program path as given (for "run/bin/ffmpeg", a link to the system's converter, that
// is "run/bin", not the folder of the link's target). No other descriptor of this
// program reaches it.
//
// A started process never outlives this program: the kernel ends it (SIGKILL) when
// the thread that started it ends, and so whenever the program ends, also when it is
// killed outright or crashes. The thread that starts a process must therefore stay
// until the process has ended (a run is synchronous on its thread).
//
// Registry. Every process started here is a converter process: it is registered while
// it runs and `end_all_converter_processes` ends it. A process leaves the registry at
// the moment it is reaped, under the registry's lock, so an id that the system may
// already have given to another process is never signalled. After
// `begin_converter_shutdown` no process starts any more. This rests on the program
// leaving its children to their objects: it neither ignores SIGCHLD nor reaps with
// waitpid(-1).
//
// Nothing here throws; failures come back as results.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// The arguments of `command_line` by the rules above.
std::vector<std::string> split_command_line(const std::string& command_line);

// The exit status of a process that ended through a signal: 128 + the signal number
// (a killed converter reads 137). A normal end gives its exit code 0 to 255.
inline constexpr int exit_status_of_signal(int signal_number) { return 128 + signal_number; }

// One started program and the read end of its output pipe. The object owns the
// process: it is waited for, and a process still running when the object goes is
// killed and reaped, so no zombie is ever left.
class ChildProcess {
 public:
  enum class ReadResult {
    data,       // bytes were appended
    timed_out,  // nothing arrived within the timeout
    end,        // every writer has closed the pipe (or nothing was started)
  };

  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `program_path` with the arguments of `command_line`. A relative program
  // path counts from the current folder. False, with nothing started, when the
  // program cannot be run, a pipe cannot be made, this object already started one, or
  // shutdown has begun.
  bool start(const std::string& program_path, const std::string& command_line);

  // The id of the started process; 0 before a start.
  pid_t id() const { return pid_; }

  // Waits at most `timeout` for output (no busy waiting: the thread sleeps in poll),
  // then appends what the pipe holds, at most `max_bytes`, to `out`.
  ReadResult read_output(std::string& out, std::size_t max_bytes, std::chrono::milliseconds timeout);

  // True once the process has ended (reaping it if it just did); true when nothing
  // was started.
  bool has_exited();
  // Sleeps until the process ends or `limit` has passed, whichever comes first,
  // without reaping it (its output stays to be read); true when it has ended. Where
  // the system cannot watch a process this way, it returns false at once.
  bool wait_for_end(std::chrono::milliseconds limit);
  // True when `wait_for_end` can watch the process (it does not return at once).
  bool can_watch_end() const { return process_fd_ >= 0; }

  // Waits until the process has ended, reaps it and gives its exit status.
  int wait_for_exit();

  // The exit status once the process has ended (0 to 255, or `exit_status_of_signal`),
  // -1 before that or when nothing was started.
  int exit_status() const { return exit_status_; }

 private:
  // Reaps the process when it has ended (waits for that when `block`).
  bool reap(bool block);

  pid_t pid_ = 0;
  int output_fd_ = -1;
  int process_fd_ = -1;  // readable once the process has ended (pidfd); -1 when none
  bool reaped_ = false;
  int exit_status_ = -1;
};

// Ends, by SIGKILL, every registered process (started here and not yet reaped). Other
// processes, including other converters on the machine, are never touched. Does not
// wait: each process is reaped by the object that started it.
void end_all_converter_processes();

// Ends, by SIGKILL, the registered process with this id; nothing (false) when no
// process of that id is registered (it was never started here, or has been reaped).
bool end_converter_process(pid_t pid);

// From now on no process starts (`ChildProcess::start` fails). There is no way back.
// A start racing with this call either is refused or registers before it returns, so
// shutdown calls this first and `end_all_converter_processes` after it.
void begin_converter_shutdown();

// True once `begin_converter_shutdown` was called.
bool converter_shutdown_begun();

// The ids of the registered processes, in the order they started.
std::vector<pid_t> running_converter_ids();
