#include "platform/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <mutex>

extern char** environ;

std::vector<std::string> split_command_line(const std::string& command_line) {
  std::vector<std::string> arguments;
  const std::size_t size = command_line.size();
  std::size_t at = 0;
  const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  for (;;) {
    while (at < size && is_blank(command_line[at])) ++at;
    if (at >= size) break;
    // One argument: runs until an unquoted blank or the end of the text.
    std::string argument;
    bool quoted = false;
    while (at < size) {
      std::size_t backslashes = 0;
      while (at < size && command_line[at] == '\\') {
        ++backslashes;
        ++at;
      }
      if (at < size && command_line[at] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';  // an escaped quote
        } else if (quoted && at + 1 < size && command_line[at + 1] == '"') {
          argument += '"';  // "" inside quotes: one literal quote, still quoted
          ++at;
        } else {
          quoted = !quoted;
        }
        ++at;
        continue;
      }
      argument.append(backslashes, '\\');  // not before a quote: literal
      if (at >= size || (!quoted && is_blank(command_line[at]))) break;
      argument += command_line[at++];
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

namespace {

// The processes started here and not yet reaped, and the shutdown flag. Never
// destroyed, so threads still running at exit can use it.
struct Registry {
  std::mutex mutex;
  std::vector<pid_t> running;
  bool shutdown = false;
};

Registry& registry() {
  static Registry* instance = new Registry;
  return *instance;
}

int status_from_wait(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return exit_status_of_signal(WTERMSIG(status));
  return -1;
}

// The program path made absolute (against the current folder) and the folder it
// lies in, as given: links are not resolved.
bool absolute_program_and_folder(const std::string& program_path, std::string& program, std::string& folder) {
  if (program_path.empty()) return false;
  program = program_path;
  if (program.front() != '/') {
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return false;
    std::string current = buffer;
    if (current.back() != '/') current += '/';
    program = current + program;
  }
  const std::size_t slash = program.rfind('/');
  folder = slash == 0 ? std::string("/") : program.substr(0, slash);
  return true;
}

// The child between its start and exec shares this program's memory and this thread's
// stack (see `start_child`), so it makes system calls only, through `syscall` itself: no library
// function that keeps state (or that a sanitizer watches) runs in it, and nothing is
// written but its own stack and the thread's errno. Its code is built without the
// sanitizers' checks, whose records would be written into this program's memory. A
// failure sends errno through `error_fd` (close-on-exec, so a successful exec closes it
// unread).
#define QF_CHILD_CODE __attribute__((no_sanitize("address", "thread", "undefined")))

[[noreturn]] QF_CHILD_CODE void fail_in_child(int error_fd) {
  const int error = errno;
  syscall(SYS_write, error_fd, &error, sizeof error);
  syscall(SYS_exit_group, 127);
  __builtin_unreachable();
}

[[noreturn]] QF_CHILD_CODE void exit_child() {
  syscall(SYS_exit_group, 127);
  __builtin_unreachable();
}

struct ChildStart {
  const char* program;
  char* const* argv;
  const char* folder;
  int output_fd;
  int error_fd;
  pid_t parent;
};

// The kernel's form of a signal action, as the system call takes it.
struct KernelSignalAction {
  void (*handler)(int);
  unsigned long flags;
  void (*restorer)();
  unsigned long mask;
};

// Start-up of the child: default signal handling and an empty signal mask (nothing of
// this program's set-up leaks in), ended by the kernel when the thread that started it
// ends (so also when this program dies, however it dies), /dev/null as input, the pipe
// as output and error, the program's folder as working folder, every other descriptor
// closed.
[[noreturn]] QF_CHILD_CODE void run_child(const ChildStart& start) {
  int output_fd = start.output_fd;
  int error_fd = start.error_fd;
  const KernelSignalAction default_action{SIG_DFL, 0, nullptr, 0};
  for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
    syscall(SYS_rt_sigaction, signal_number, &default_action, nullptr, sizeof default_action.mask);
  }
  const unsigned long no_signals = 0;
  syscall(SYS_rt_sigprocmask, SIG_SETMASK, &no_signals, nullptr, sizeof no_signals);

  if (syscall(SYS_prctl, PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0) != 0) fail_in_child(error_fd);
  // The parent died before the request took effect: nobody is left to end this child.
  if (syscall(SYS_getppid) != start.parent) exit_child();

  // The two descriptors move above the standard three before those are set.
  if (error_fd < 3 && (error_fd = static_cast<int>(syscall(SYS_fcntl, error_fd, F_DUPFD_CLOEXEC, 3))) < 0) {
    exit_child();
  }
  if (output_fd < 3 && (output_fd = static_cast<int>(syscall(SYS_fcntl, output_fd, F_DUPFD_CLOEXEC, 3))) < 0) {
    fail_in_child(error_fd);
  }
  const int null_fd = static_cast<int>(syscall(SYS_openat, AT_FDCWD, "/dev/null", O_RDONLY | O_CLOEXEC));
  if (null_fd < 0) fail_in_child(error_fd);
  if (null_fd == 0) {
    if (syscall(SYS_fcntl, 0, F_SETFD, 0) != 0) fail_in_child(error_fd);
  } else if (syscall(SYS_dup3, null_fd, 0, 0) < 0) {
    fail_in_child(error_fd);
  }
  if (syscall(SYS_dup3, output_fd, 1, 0) < 0 || syscall(SYS_dup3, output_fd, 2, 0) < 0) fail_in_child(error_fd);
  if (syscall(SYS_chdir, start.folder) != 0) fail_in_child(error_fd);
  // Everything above the standard three goes, except the error pipe, which exec closes.
  if (error_fd > 3) syscall(SYS_close_range, 3, static_cast<unsigned>(error_fd) - 1, 0);
  syscall(SYS_close_range, static_cast<unsigned>(error_fd) + 1, ~0U, 0);
  syscall(SYS_execve, start.program, start.argv, environ);
  fail_in_child(error_fd);
}

// Starts the child as the C library's spawn does, with vfork: the child runs in this
// program's memory, with this thread held until it has called exec or ended, so no
// page of a large program is copied for it (a fork's cost grows with the program's
// memory). Unlike the library's spawn it lets the child ask to be ended with the thread
// that started it. The child's signal handlers are its own copies.
pid_t start_child(const ChildStart& start) {
  const pid_t pid = vfork();
  if (pid == 0) run_child(start);
  return pid;
}

}  // namespace

bool ChildProcess::start(const std::string& program_path, const std::string& command_line) {
  if (pid_ != 0) return false;
  std::string program, folder;
  if (!absolute_program_and_folder(program_path, program, folder)) return false;
  std::vector<std::string> arguments = split_command_line(command_line);
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  Registry& r = registry();
  // The lock is held over the start so that a shutdown either refuses this start or
  // finds the process registered.
  std::lock_guard lock(r.mutex);
  if (r.shutdown) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  int error_pipe[2];
  if (pipe2(error_pipe, O_CLOEXEC) != 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  // No signal handler of this program may run in the child before it has reset them.
  sigset_t all, old_mask;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &old_mask);
  const ChildStart child{program.c_str(), argv.data(), folder.c_str(), fds[1], error_pipe[1], getpid()};
  const pid_t pid = start_child(child);
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  close(fds[1]);
  close(error_pipe[1]);
  int child_error = 0;
  ssize_t got = -1;
  if (pid > 0) {
    // Nothing arrives once the exec has succeeded: the pipe closes with it.
    do {
      got = read(error_pipe[0], &child_error, sizeof child_error);
    } while (got < 0 && errno == EINTR);
  }
  close(error_pipe[0]);
  if (pid < 0 || got > 0) {
    if (pid > 0) {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    close(fds[0]);
    return false;
  }
  fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  // Room for a chatty program's output between two reads of a caller that reads only
  // now and then; where the system refuses, the pipe keeps its size.
  fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);
  pid_ = pid;
  output_fd_ = fds[0];
  // Close-on-exec like every pidfd; a process that has ended already still has one.
  process_fd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  r.running.push_back(pid);
  return true;
}

ChildProcess::~ChildProcess() {
  if (pid_ != 0 && !reaped_) {
    {
      Registry& r = registry();
      std::lock_guard lock(r.mutex);
      if (std::find(r.running.begin(), r.running.end(), pid_) != r.running.end()) kill(pid_, SIGKILL);
    }
    reap(true);
  }
  if (output_fd_ >= 0) close(output_fd_);
  if (process_fd_ >= 0) close(process_fd_);
}

ChildProcess::ReadResult ChildProcess::read_output(std::string& out, std::size_t max_bytes,
                                                   std::chrono::milliseconds timeout) {
  if (output_fd_ < 0) return ReadResult::end;
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
    pollfd entry{output_fd_, POLLIN, 0};
    const int wait_ms = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
    const int ready = poll(&entry, 1, wait_ms);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0) {
      const std::size_t old_size = out.size();
      out.resize(old_size + max_bytes);
      const ssize_t n = read(output_fd_, out.data() + old_size, max_bytes);
      out.resize(old_size + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
      if (n > 0) return ReadResult::data;
      if (n == 0) break;
      if (errno != EAGAIN && errno != EINTR) break;
    }
    if (clock::now() >= deadline) return ReadResult::timed_out;
  }
  close(output_fd_);
  output_fd_ = -1;
  return ReadResult::end;
}

bool ChildProcess::reap(bool block) {
  if (pid_ == 0 || reaped_) return true;
  // Wait without reaping: until the process is reaped its id stays taken, so the
  // registry can still signal it safely.
  siginfo_t info{};
  int options = WEXITED | WNOWAIT | (block ? 0 : WNOHANG);
  bool lost = false;  // someone else reaped it: no status to be had
  while (waitid(P_PID, static_cast<id_t>(pid_), &info, options) != 0) {
    if (errno == EINTR) continue;
    lost = true;
    break;
  }
  if (!lost && info.si_pid == 0) return false;  // still running
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.running.erase(std::remove(r.running.begin(), r.running.end(), pid_), r.running.end());
  int status = -1;
  while (!lost && waitpid(pid_, &status, 0) < 0) {
    if (errno != EINTR) {
      status = -1;
      break;
    }
  }
  reaped_ = true;
  exit_status_ = status == -1 ? -1 : status_from_wait(status);
  return true;
}

bool ChildProcess::has_exited() { return reap(false); }

bool ChildProcess::wait_for_end(std::chrono::milliseconds limit) {
  if (pid_ == 0 || reaped_) return true;
  if (process_fd_ < 0) return false;
  pollfd entry{process_fd_, POLLIN, 0};
  const int wait_ms = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(limit.count(), 0, INT_MAX));
  int ready;
  while ((ready = poll(&entry, 1, wait_ms)) < 0 && errno == EINTR) {
  }
  return ready > 0;
}

int ChildProcess::wait_for_exit() {
  reap(true);
  return exit_status_;
}

void end_all_converter_processes() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (const pid_t pid : r.running) kill(pid, SIGKILL);
}

bool end_converter_process(pid_t pid) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  if (pid <= 0 || std::find(r.running.begin(), r.running.end(), pid) == r.running.end()) return false;
  kill(pid, SIGKILL);
  return true;
}

void begin_converter_shutdown() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.shutdown = true;
}

bool converter_shutdown_begun() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.shutdown;
}

std::vector<pid_t> running_converter_ids() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.running;
}
