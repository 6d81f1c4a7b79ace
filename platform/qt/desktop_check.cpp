#include "platform/qt/desktop_check.h"

#include <sys/stat.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool x_display_reachable() {
  if (environment("DISPLAY").empty()) return false;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = connection && xcb_connection_has_error(connection) == 0;
  if (connection) xcb_disconnect(connection);
  return reachable;
}

bool wayland_display_reachable() {
  const std::string name = environment("WAYLAND_DISPLAY");
  if (name.empty()) return false;
  std::string socket = name;
  if (name.front() != '/') {
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (runtime.empty()) return false;
    socket = runtime + "/" + name;
  }
  struct stat info {};
  return stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::string chosen_platform(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-platform" || argument == "--platform") return argv[i + 1];
  }
  return environment("QT_QPA_PLATFORM");
}

std::vector<std::string> platform_names(const std::string& list) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at <= list.size()) {
    const std::size_t end = std::min(list.find(';', at), list.size());
    std::string name = list.substr(at, end - at);
    name = name.substr(0, name.find(':'));
    if (!name.empty()) names.push_back(name);
    at = end + 1;
  }
  return names;
}

std::string what_is_missing() {
  const std::string display = environment("DISPLAY");
  if (display.empty()) return "no graphical desktop: DISPLAY is not set";
  return "no graphical desktop: cannot connect to the X display \"" + display + "\"";
}

}  // namespace

std::string missing_desktop_reason(int argc, char** argv) {
  const std::vector<std::string> names = platform_names(chosen_platform(argc, argv));
  if (names.empty()) {
    if (x_display_reachable() || wayland_display_reachable()) return "";
  } else {
    for (const std::string& name : names) {
      if (name == "xcb") {
        if (x_display_reachable()) return "";
      } else if (name.rfind("wayland", 0) == 0) {
        if (wayland_display_reachable()) return "";
      } else {
        return "";
      }
    }
  }
  return what_is_missing() +
         "; the program needs a desktop (start it in a desktop session) or QT_QPA_PLATFORM=offscreen to run without "
         "one";
}
