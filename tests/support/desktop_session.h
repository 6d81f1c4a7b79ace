#pragma once
// Test support for the real program on a real X server: an Xvfb server of the test's
// own, a notification area that docks icons by XEmbed, the windows on the screen,
// input through xdotool, and the built program run from a run folder of its own.
//
// Everything waits with generous limits: they only bound a hang, they time nothing.
// Whatever a test starts is ended when its object goes, also when the test fails.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

namespace test_env {

// Waits (real time) until `done` or `limit` has passed, looking every 50 ms.
bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit);

// A program started in the background, without a shell, standard input /dev/null,
// standard output and error appended to a log file.
class BackgroundProcess {
 public:
  BackgroundProcess() = default;
  // Kills (SIGKILL) and reaps the process if it still runs.
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // `keep_fd`, when not -1, reaches the program as descriptor 3. False when nothing
  // could be started or this object already started one.
  bool start(const std::vector<std::string>& argv, const std::string& log_path, int keep_fd = -1);
  pid_t id() const { return pid_; }
  // True while the process runs (reaps it once it has ended).
  bool running();
  // Waits at most `limit` for the end; its exit status (0 to 255, or 128 + the signal
  // number), nothing while it still runs.
  std::optional<int> wait_for_exit(std::chrono::milliseconds limit);
  void send_signal(int signal_number);
  std::optional<int> exit_status() const { return status_; }
  std::string log() const;

 private:
  pid_t pid_ = 0;
  std::string log_path_;
  std::optional<int> status_;
};

// An Xvfb server (1280 x 1024 unless given another screen size) on a display number
// that was free, up and accepting clients when the constructor returns (ok()). While
// the object lives, DISPLAY names it for this process and whatever it starts,
// QT_QPA_PLATFORM is unset (the program takes the X display) and no session bus is
// reachable (the tray docks by XEmbed). There is no window manager.
class XvfbDisplay {
 public:
  explicit XvfbDisplay(int screen_width = 1280, int screen_height = 1024);
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  bool ok() const { return !name_.empty(); }
  const std::string& name() const { return name_; }  // ":N"
  std::string log() const { return server_.log(); }
  // Ends the server, as when the X server of a desktop goes away. True once it has.
  bool end();

 private:
  TempDir temp_;
  BackgroundProcess server_;
  std::string name_;
  ScopedEnvironmentVariable display_{"DISPLAY", nullptr};
  ScopedEnvironmentVariable platform_{"QT_QPA_PLATFORM", nullptr};
  ScopedEnvironmentVariable bus_{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"};
};

// A window directly on the screen (a top-level window or a pop-up such as a menu).
struct ScreenWindow {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;
  bool popup = false;  // bypasses the window manager (menus, tool tips)
  std::string title;   // UTF-8
};

// The mapped windows on the screen of DISPLAY; nothing when it cannot be asked.
std::optional<std::vector<ScreenWindow>> screen_windows();

// The windows on the screen, one line each, for failure messages.
std::string describe_screen();

// Waits until a window that `match` accepts is on the screen.
std::optional<ScreenWindow> wait_for_window(const std::function<bool(const ScreenWindow&)>& match,
                                            std::chrono::milliseconds limit);

// The first window with this title, waited for.
std::optional<ScreenWindow> wait_for_window_titled(const std::string& title, std::chrono::milliseconds limit);

// Waits until no window with this title is on the screen.
bool wait_for_window_gone(const std::string& title, std::chrono::milliseconds limit);

// Runs xdotool with these arguments on DISPLAY; true on exit 0.
bool xdotool(const std::vector<std::string>& args);

// Clicks (left button unless `button` says otherwise) at a point of a window.
bool click_in_window(const ScreenWindow& window, int x, int y, int button = 1);

// Gives the keyboard to a window and types keys (xdotool key names) into it.
bool press_keys_in(const ScreenWindow& window, const std::vector<std::string>& keys);

// Types ASCII text into a window that has the keyboard.
bool type_text_in(const ScreenWindow& window, const std::string& text);

// Sends a window the close request a window manager sends for its close box.
bool request_close(const ScreenWindow& window);

// A notification area on the display (tests/tools/x11_helper tray-host).
class TrayHost {
 public:
  // Up and owning the notification area when ok().
  TrayHost();
  bool ok() const { return ok_; }
  // The screen rectangle of the icon docked last and still docked, waited for.
  std::optional<ScreenWindow> wait_for_icon(std::chrono::milliseconds limit);

 private:
  TempDir temp_;
  BackgroundProcess host_;
  bool ok_ = false;
};

// The program as built, copied into a run folder of its own (the program's run folder
// is the folder of its executable) with its pictures and `bin/ffmpeg`, the system's
// converter, beside it. Started with the test's HOME and an empty fonts folder.
class RealProgram {
 public:
  RealProgram();
  const std::string& folder() const { return folder_; }
  std::string config() const { return folder_ + "/data/qfconfig.ini"; }
  // Writes the settings file before the start.
  void write_config(const std::string& text) const;
  bool start();
  BackgroundProcess& process() { return process_; }
  std::string log() const { return process_.log(); }
  // The ids of the living converter processes of this run folder (whose working
  // folder is its `bin`), whoever their parent is now; with `argument`, only those
  // with that argument.
  std::vector<pid_t> converter_processes(const std::string& argument = {}) const;

 private:
  TempDir temp_;
  std::string folder_;
  ScopedEnvironmentVariable fonts_;
  BackgroundProcess process_;
};

// The main window's title once it has been created.
inline constexpr const char* main_window_title = "栖枫视频剪辑工具 V7.0";

}  // namespace test_env
