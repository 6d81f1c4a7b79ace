#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
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

// Start-up actions of the child: /dev/null as input, the pipe as output and error,
// every other descriptor closed, the program's folder as working folder, default
// signal handling and an empty signal mask (nothing of this program's setup leaks in).
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup(int write_end, const std::string& folder) {
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, write_end, 1);
    posix_spawn_file_actions_adddup2(&actions, write_end, 2);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

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
  pid_t pid = 0;
  int rc;
  {
    SpawnSetup setup(fds[1], folder);
    rc = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  }
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
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
