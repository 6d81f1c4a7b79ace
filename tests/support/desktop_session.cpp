#include "tests/support/desktop_session.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

extern char** environ;

namespace test_env {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return done();
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// ---------------------------------------------------------------- BackgroundProcess

BackgroundProcess::~BackgroundProcess() {
  if (pid_ == 0 || status_) return;
  kill(pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
}

bool BackgroundProcess::start(const std::vector<std::string>& argv, const std::string& log_path, int keep_fd) {
  if (pid_ != 0 || argv.empty()) return false;
  log_path_ = log_path;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const int log_fd = open(log_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log_fd < 0) return false;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // Whatever becomes of the test, the process goes with it.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
    const int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd < 0 || dup2(null_fd, 0) < 0 || dup2(log_fd, 1) < 0 || dup2(log_fd, 2) < 0) _exit(127);
    if (keep_fd == 3 ? fcntl(3, F_SETFD, 0) < 0 : keep_fd >= 0 && dup2(keep_fd, 3) < 0) _exit(127);
    close_range(keep_fd >= 0 ? 4 : 3, ~0U, 0);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(log_fd);
  if (pid < 0) return false;
  pid_ = pid;
  return true;
}

bool BackgroundProcess::running() {
  if (pid_ == 0 || status_) return false;
  int status = 0;
  const pid_t got = waitpid(pid_, &status, WNOHANG);
  if (got == 0) return true;
  if (got == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  } else {
    status_ = -1;  // lost: someone else reaped it
  }
  return false;
}

std::optional<int> BackgroundProcess::wait_for_exit(std::chrono::milliseconds limit) {
  wait_until([this] { return !running(); }, limit);
  return status_;
}

void BackgroundProcess::send_signal(int signal_number) {
  if (running()) kill(pid_, signal_number);
}

std::string BackgroundProcess::log() const { return read_file(log_path_); }

// ---------------------------------------------------------------- XvfbDisplay

XvfbDisplay::XvfbDisplay(int screen_width, int screen_height) {
  // The server picks a free display number itself and writes it into a pipe once it
  // accepts connections.
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const std::string screen = std::to_string(screen_width) + "x" + std::to_string(screen_height) + "x24";
  const bool started = server_.start({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                                     temp_ / "xvfb.log", fds[1]);
  close(fds[1]);
  std::string number;
  const auto end = std::chrono::steady_clock::now() + 30s;
  while (started && number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
    pollfd entry{fds[0], POLLIN, 0};
    if (poll(&entry, 1, 100) <= 0) continue;
    char buffer[32];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) return;
  name_ = ":" + number.substr(0, number.find('\n'));
  setenv("DISPLAY", name_.c_str(), 1);
  // A client that can list the windows proves the server serves.
  if (!wait_until([] { return run_program({tools_dir() + "/x11_helper", "windows"}).exit_code == 0; }, 30s))
    name_.clear();
}

XvfbDisplay::~XvfbDisplay() { end(); }

bool XvfbDisplay::end() {
  server_.send_signal(SIGTERM);
  if (server_.wait_for_exit(30s)) return true;
  server_.send_signal(SIGKILL);
  return server_.wait_for_exit(30s).has_value();
}

// ---------------------------------------------------------------- windows and input

std::optional<std::vector<ScreenWindow>> screen_windows() {
  std::vector<ScreenWindow> windows;
  const ProgramResult listed = run_program({tools_dir() + "/x11_helper", "windows"});
  if (listed.exit_code != 0) return std::nullopt;
  std::istringstream lines(listed.output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    ScreenWindow w;
    int popup = 0;
    if (!(fields >> w.id >> w.x >> w.y >> w.width >> w.height >> popup)) continue;
    w.popup = popup != 0;
    std::getline(fields >> std::ws, w.title);
    windows.push_back(w);
  }
  return windows;
}

std::string describe_screen() {
  const auto windows = screen_windows();
  if (!windows) return "the screen cannot be asked\n";
  std::string text = "windows on the screen:\n";
  for (const ScreenWindow& w : *windows) {
    text += "  " + std::to_string(w.id) + " " + std::to_string(w.width) + "x" + std::to_string(w.height) + "+" +
            std::to_string(w.x) + "+" + std::to_string(w.y) + (w.popup ? " pop-up " : " ") + w.title + "\n";
  }
  return text;
}

std::optional<ScreenWindow> wait_for_window(const std::function<bool(const ScreenWindow&)>& match,
                                            std::chrono::milliseconds limit) {
  std::optional<ScreenWindow> found;
  wait_until(
      [&] {
        for (const ScreenWindow& w : screen_windows().value_or(std::vector<ScreenWindow>{})) {
          if (match(w)) {
            found = w;
            return true;
          }
        }
        return false;
      },
      limit);
  return found;
}

std::optional<ScreenWindow> wait_for_window_titled(const std::string& title, std::chrono::milliseconds limit) {
  return wait_for_window([&](const ScreenWindow& w) { return w.title == title; }, limit);
}

bool wait_for_window_gone(const std::string& title, std::chrono::milliseconds limit) {
  return wait_until(
      [&] {
        const auto windows = screen_windows();
        if (!windows) return false;
        for (const ScreenWindow& w : *windows)
          if (w.title == title) return false;
        return true;
      },
      limit);
}

bool xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_program(argv).exit_code == 0;
}

bool click_in_window(const ScreenWindow& window, int x, int y, int button) {
  // One connection: the server takes the move before the click.
  return xdotool({"mousemove", std::to_string(window.x + x), std::to_string(window.y + y), "click",
                  std::to_string(button)});
}

bool press_keys_in(const ScreenWindow& window, const std::vector<std::string>& keys) {
  if (!xdotool({"windowfocus", "--sync", std::to_string(window.id)})) return false;
  std::vector<std::string> args{"key", "--delay", "50"};
  args.insert(args.end(), keys.begin(), keys.end());
  return xdotool(args);
}

bool type_text_in(const ScreenWindow& window, const std::string& text) {
  return xdotool({"windowfocus", "--sync", std::to_string(window.id)}) &&
         xdotool({"type", "--delay", "30", text});
}

bool request_close(const ScreenWindow& window) {
  return run_program({tools_dir() + "/x11_helper", "close", std::to_string(window.id)}).exit_code == 0;
}

// ---------------------------------------------------------------- TrayHost

TrayHost::TrayHost() {
  if (!host_.start({tools_dir() + "/x11_helper", "tray-host"}, temp_ / "tray.log")) return;
  ok_ = wait_until([this] { return host_.log().find("ready\n") != std::string::npos || !host_.running(); }, 30s) &&
        host_.running();
}

std::optional<ScreenWindow> TrayHost::wait_for_icon(std::chrono::milliseconds limit) {
  std::optional<ScreenWindow> icon;
  wait_until(
      [&] {
        icon.reset();
        std::istringstream lines(host_.log());
        for (std::string line; std::getline(lines, line);) {
          std::istringstream fields(line);
          std::string what;
          ScreenWindow w;
          fields >> what >> w.id;
          if (what == "docked" && fields >> w.x >> w.y >> w.width >> w.height) icon = w;
          if (what == "undocked" && icon && icon->id == w.id) icon.reset();
        }
        return icon.has_value();
      },
      limit);
  return icon;
}

// ---------------------------------------------------------------- RealProgram

RealProgram::RealProgram()
    : folder_(temp_ / "run"), fonts_("QF_FONTS_FOLDER", (temp_ / "fonts").c_str()) {
  fs::create_directories(folder_ + "/bin");
  fs::create_directories(temp_ / "fonts");
  fs::copy_file(QF_BINARY_DIR "/run/videotool", folder_ + "/videotool");
  fs::create_symlink(QF_SYSTEM_FFMPEG, folder_ + "/bin/ffmpeg");
  fs::create_symlink(QF_BINARY_DIR "/run/resources", folder_ + "/resources");
}

void RealProgram::write_config(const std::string& text) const {
  fs::create_directories(folder_ + "/data");
  write_file(config(), text);
}

bool RealProgram::start() { return process_.start({folder_ + "/videotool"}, temp_ / "program.log"); }

std::vector<pid_t> RealProgram::converter_processes(const std::string& argument) const {
  std::vector<pid_t> found;
  std::error_code ec;
  const fs::path bin = fs::canonical(folder_ + "/bin", ec);
  DIR* proc = opendir("/proc");
  if (!proc) return found;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    const std::string base = std::string("/proc/") + entry->d_name;
    if (fs::read_symlink(base + "/cwd", ec) != bin || ec) continue;
    // A process that has ended but is not reaped yet (its parent gone) runs no more.
    const std::string stat = read_file(base + "/stat");
    const std::size_t close_paren = stat.rfind(')');
    if (close_paren == std::string::npos || close_paren + 2 >= stat.size() || stat[close_paren + 2] == 'Z') continue;
    if (!argument.empty() && (read_file(base + "/cmdline") + '\0').find('\0' + argument + '\0') == std::string::npos)
      continue;
    found.push_back(pid);
  }
  closedir(proc);
  return found;
}

}  // namespace test_env
