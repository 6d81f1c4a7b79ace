// The check before the toolkit starts: which platform the toolkit will take and
// whether its display can be reached.

#include "platform/qt/desktop_check.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/test_env.h"

namespace {

using test_env::ScopedEnvironmentVariable;

struct Environment {
  const char* platform;         // QT_QPA_PLATFORM
  const char* display;          // DISPLAY
  bool wayland;                 // WAYLAND_DISPLAY names a socket that exists
  std::vector<std::string> arguments;
  bool usable;
  const char* says;             // part of the line when it is not usable
};

TEST(DesktopCheck, NamesWhatIsMissingUnlessThePlatformCanShowWindows) {
  test_env::TempDir runtime;
  // A listening socket stands in for a Wayland compositor.
  const int compositor = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = runtime / "wayland-test";
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(compositor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ScopedEnvironmentVariable runtime_dir("XDG_RUNTIME_DIR", runtime.path().c_str());

  const Environment cases[] = {
      {nullptr, nullptr, false, {}, false, "DISPLAY is not set"},
      {nullptr, ":65531", false, {}, false, "cannot connect to the X display \":65531\""},
      {"xcb", ":65531", true, {}, false, "cannot connect"},
      {nullptr, nullptr, true, {}, true, ""},
      {"wayland", nullptr, true, {}, true, ""},
      {"wayland-egl", nullptr, false, {}, false, "DISPLAY is not set"},
      {"offscreen", nullptr, false, {}, true, ""},
      {"xcb:nomitshm", nullptr, false, {}, false, "DISPLAY is not set"},
      {"xcb;offscreen", nullptr, false, {}, true, ""},  // the next in the list will do
      {"xcb", nullptr, false, {"-platform", "minimal"}, true, ""},
      {"offscreen", nullptr, false, {"-platform", "xcb"}, false, "DISPLAY is not set"},
  };
  for (const Environment& c : cases) {
    ScopedEnvironmentVariable platform("QT_QPA_PLATFORM", c.platform);
    ScopedEnvironmentVariable display("DISPLAY", c.display);
    ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", c.wayland ? "wayland-test" : nullptr);
    std::vector<std::string> arguments{"videotool"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string reason = missing_desktop_reason(static_cast<int>(arguments.size()), argv.data());
    const std::string label = std::string(c.platform ? c.platform : "-") + " " + (c.display ? c.display : "-") +
                              (c.wayland ? " wayland" : "") + (c.arguments.empty() ? "" : " " + c.arguments[1]);
    if (c.usable) {
      EXPECT_EQ(reason, "") << label;
      continue;
    }
    EXPECT_NE(reason.find(c.says), std::string::npos) << label << ": " << reason;
    EXPECT_NE(reason.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << reason;
    EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
  }
  close(compositor);
}

}  // namespace
