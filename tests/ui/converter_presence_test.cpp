// The converter presence check at start and the first-use splash: nothing happens
// while the converter is there; without it the installer is fetched from a server on
// the loopback address (only there), written whole, opened through the shell, and the
// splash stays until the converter appears or the user closes it; a failed fetch
// writes nothing, closes the splash and says so.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "engine/common/globals.h"
#include "engine/common/system_info.h"
#include "engine/converter/worker_threads.h"
#include "platform/files.h"
#include "platform/gui/gui.h"
#include "tests/support/canned_http_server.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/converter_presence.h"
#include "ui/init_splash_window.h"
#include "ui/main_window.h"
#include "ui/program_start.h"
#include "ui/startup_tasks.h"

namespace {

namespace fs = std::filesystem;
using test_env::CannedHttpServer;
using test_env::ok_response;

constexpr const char* show_timer = "init_splash_show_timer";
constexpr const char* check_timer = "init_splash_check_timer";

// Waits in real time (up to 10 s) for another thread's doing.
bool eventually(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

WindowToken splash() { return gui().find_window(init_splash_window_name); }

// The fixture: a run folder without the converter (and without `bin`), a PATH without
// one either (the system has no converter package), and a server with both
// installers. The start-up task is pointed at the server, never anywhere else.
class ConverterPresence : public ::testing::Test {
 protected:
  ConverterPresence()
      : server_({{"/video_setup.exe", ok_response(installer_64)}, {"/video_setup32.exe", ok_response(installer_32)}}) {
    fs::remove_all(run_.path() + "/bin");
  }
  ~ConverterPresence() override { wait_for_worker_threads(std::chrono::seconds(10)); }

  WindowToken open_main_window() {
    const std::string url = server_.url();
    return open_main_window_in(run_.path(), [url] {
      set_startup_task(StartupTask::converter_check, [url] { ensure_ffmpeg_present(url); });
    });
  }
  // Waits until the check has started the splash's one-shot timer, or has ended.
  void wait_for_show_timer(WindowToken w) {
    EXPECT_TRUE(g_.loop.wait_until([&] {
      return gui().timer_interval(w, show_timer) > 0 || running_worker_threads(WorkerKind::startup) == 0;
    }));
  }
  std::string installer() const { return run_.path() + "/" + installer_file_name(windows_version_name()); }
  std::string other_installer() const {
    return run_.path() + "/" +
           (installer_file_name(windows_version_name()) == installer_64_file_name ? installer_32_file_name
                                                                                   : installer_64_file_name);
  }
  std::string expected_body() const {
    return installer_file_name(windows_version_name()) == installer_64_file_name ? installer_64 : installer_32;
  }
  void make_converter() const { ASSERT_EQ(::symlink(QF_SYSTEM_FFMPEG, (run_.path() + "/bin/ffmpeg").c_str()), 0); }

  test_env::TempDir no_programs_;
  test_env::ScopedEnvironmentVariable path_{"PATH", no_programs_.path().c_str()};
  const std::string installer_64 = std::string("MZ\0\x02 64-bit installer", 22);
  const std::string installer_32 = "MZ 32-bit installer";
  test_env::ScopedEnvironmentVariable no_proxy_{"no_proxy", "*"};
  test_env::ScopedEnvironmentVariable no_proxy_upper_{"NO_PROXY", "*"};
  HeadlessGui g_;
  MainWindowRunFolder run_;
  CannedHttpServer server_;
};

TEST(ConverterPresenceNames, TheInstallerFitsTheSystemsBitness) {
  const std::pair<const char*, const char*> cases[] = {
      {"Linux 6.1.0 x64", "video_setup.exe"},
      {"Linux 6.1.0 x86", "video_setup32.exe"},
      {"", "video_setup32.exe"},       // unknown counts as 32-bit
      {"Linux X64", "video_setup32.exe"},  // the test is case-sensitive
  };
  for (const auto& [name, installer] : cases) EXPECT_EQ(installer_file_name(name), installer) << name;
}

TEST_F(ConverterPresence, WithTheConverterPresentNothingHappens) {
  create_folders(run_.path() + "/bin");
  make_converter();
  const WindowToken w = open_main_window();
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  g_.loop.run_until_idle();

  EXPECT_EQ(ffmpeg_exe_path.get(), run_.path() + "/bin/ffmpeg");
  EXPECT_EQ(server_.requests(), 0);
  EXPECT_TRUE(g_.services.opened().empty());
  EXPECT_TRUE(g_.services.messages().empty());
  EXPECT_EQ(gui().timer_interval(w, show_timer), 0);
  EXPECT_FALSE(splash());
  EXPECT_FALSE(path_exists(installer()));
  EXPECT_FALSE(path_exists(other_installer()));
  std::vector<std::string> bin;
  for (const auto& entry : fs::directory_iterator(run_.path() + "/bin")) bin.push_back(entry.path().filename());
  EXPECT_EQ(bin, std::vector<std::string>{"ffmpeg"});
}

// The system's converter on PATH: linked into `bin` (a dangling link left there gives
// way), and nothing else happens.
class SystemConverter : public ConverterPresence, public ::testing::WithParamInterface<bool> {};

TEST_P(SystemConverter, IsLinkedIntoBinWithoutDownloadSplashOrInstaller) {
  const bool dangling_link_first = GetParam();
  test_env::TempDir system;
  create_folders(system / "bin");
  ASSERT_EQ(::symlink(QF_SYSTEM_FFMPEG, (system / "bin/ffmpeg").c_str()), 0);
  const std::string path = "relative/bin:" + no_programs_.path() + ":" + system / "bin";
  test_env::ScopedEnvironmentVariable with_converter("PATH", path.c_str());
  if (dangling_link_first) {
    create_folders(run_.path() + "/bin");
    ASSERT_EQ(::symlink("/nonexistent/ffmpeg", (run_.path() + "/bin/ffmpeg").c_str()), 0);
  }

  const WindowToken w = open_main_window();
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  g_.loop.run_until_idle();
  EXPECT_EQ(fs::read_symlink(run_.path() + "/bin/ffmpeg"), system / "bin/ffmpeg");
  EXPECT_TRUE(path_exists(ffmpeg_exe_path.get()));
  EXPECT_EQ(server_.requests(), 0);
  EXPECT_TRUE(g_.services.opened().empty());
  EXPECT_TRUE(g_.services.messages().empty());
  EXPECT_EQ(gui().timer_interval(w, show_timer), 0);
  EXPECT_FALSE(splash());
  EXPECT_FALSE(path_exists(installer()));
}

INSTANTIATE_TEST_SUITE_P(ConverterPresence, SystemConverter, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "OverADanglingLink" : "IntoAnEmptyBin"; });

TEST_F(ConverterPresence, MissingConverterFetchesAndOpensTheInstallerUnderTheSplashUntilTheConverterAppears) {
  const WindowToken w = open_main_window();
  wait_for_show_timer(w);
  ASSERT_EQ(gui().timer_interval(w, show_timer), 1);

  bool checked_during_splash = false;
  g_.loop.when_idle([&] {
    // Inside the splash's modal loop: the check has fetched and opened the installer.
    ASSERT_TRUE(eventually([&] { return !g_.services.opened().empty(); }));
    const WindowToken s = splash();
    ASSERT_TRUE(s);
    const WindowState state = gui().window_snapshot(s);
    EXPECT_EQ(state.title, "正在初始化程序");
    EXPECT_EQ(gui().window_size(s), (GuiPoint{645, 250}));
    const ControlState label = gui().control_state({s, "init_splash_label"});
    EXPECT_EQ(label.text, "首次使用，正在初始化程序，请稍等……");
    EXPECT_TRUE(label.transparent);
    EXPECT_EQ(gui().geometry({s, "init_splash_label"}).width, 432);
    // One line on what this system needs instead.
    const std::string package = gui().text({s, "init_splash_package_label"});
    EXPECT_NE(package.find("ffmpeg"), std::string::npos);
    EXPECT_EQ(package.find('\n'), std::string::npos);
    const GuiPicture busy = gui().picture({s, "init_splash_picture"});
    ASSERT_TRUE(busy.encoded);
    EXPECT_EQ(std::string(busy.encoded->begin(), busy.encoded->begin() + 6), "GIF89a");
    EXPECT_EQ(gui().geometry({s, "init_splash_picture"}).width, 100);
    EXPECT_EQ(gui().timer_interval(s, check_timer), 1000);
    EXPECT_EQ(gui().timer_interval(w, show_timer), 0);  // opened once

    EXPECT_TRUE(is_folder(run_.path() + "/bin"));
    EXPECT_EQ(test_env::read_file(installer()), expected_body());
    EXPECT_FALSE(path_exists(other_installer()));
    EXPECT_EQ(server_.paths(), std::vector<std::string>{"/" + installer_file_name(windows_version_name())});
    EXPECT_EQ(g_.services.opened(), std::vector<std::string>{installer()});
    // The main window waits under the modal splash.
    EXPECT_FALSE(gui().input_click(main_control("merge_page_button")));

    // Seconds pass without the converter: the splash stays and keeps looking.
    g_.loop.advance(std::chrono::milliseconds(3500));
    EXPECT_TRUE(gui().window_exists(s));
    EXPECT_EQ(gui().timer_interval(s, check_timer), 1000);
    make_converter();
    checked_during_splash = true;
  });
  const std::int64_t before = g_.loop.now_ms();
  g_.loop.advance(std::chrono::milliseconds(1));  // the one-shot timer opens the splash
  EXPECT_TRUE(checked_during_splash);
  // Closed by the first check after the converter appeared (at most a second later).
  EXPECT_FALSE(splash());
  EXPECT_LE(g_.loop.now_ms() - before, 1 + 3500 + 1000);
  EXPECT_TRUE(g_.services.messages().empty());
  EXPECT_TRUE(gui().input_click(main_control("merge_page_button")));
  EXPECT_EQ(server_.requests(), 1);
}

TEST_F(ConverterPresence, TheUserCanCloseTheSplashAtAnyTime) {
  const WindowToken w = open_main_window();
  wait_for_show_timer(w);
  g_.loop.when_idle([&] {
    ASSERT_TRUE(eventually([&] { return !g_.services.opened().empty(); }));
    ASSERT_TRUE(splash());
    EXPECT_TRUE(gui().input_close(splash()));
  });
  g_.loop.advance(std::chrono::milliseconds(1));
  EXPECT_FALSE(splash());
  EXPECT_FALSE(path_exists(run_.path() + "/bin/ffmpeg"));
  EXPECT_TRUE(gui().input_click(main_control("merge_page_button")));
  EXPECT_TRUE(g_.services.messages().empty());
}

TEST_F(ConverterPresence, AnInstallerFromAnEarlierStartIsOpenedAgainWithoutDownloadOrSplash) {
  test_env::write_file(installer(), "MZ kept");
  const WindowToken w = open_main_window();
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  g_.loop.run_until_idle();
  EXPECT_EQ(server_.requests(), 0);
  EXPECT_EQ(test_env::read_file(installer()), "MZ kept");
  EXPECT_EQ(g_.services.opened(), std::vector<std::string>{installer()});
  EXPECT_EQ(gui().timer_interval(w, show_timer), 0);
  EXPECT_FALSE(splash());
  EXPECT_TRUE(is_folder(run_.path() + "/bin"));
  EXPECT_TRUE(g_.services.messages().empty());
}

TEST_F(ConverterPresence, AnEmptyInstallerLeftByAnEarlierFailureIsFetchedAgain) {
  test_env::write_file(installer(), "");
  open_main_window();
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  EXPECT_EQ(server_.requests(), 1);
  EXPECT_EQ(test_env::read_file(installer()), expected_body());
  EXPECT_EQ(g_.services.opened(), std::vector<std::string>{installer()});
}

// A download that brings nothing: the server refuses, or answers with an empty body.
class FailedDownload : public ConverterPresence, public ::testing::WithParamInterface<std::string> {};

TEST_P(FailedDownload, WritesNothingOpensNothingAndEndsTheSplashWithAMessage) {
  CannedHttpServer failing({{"/video_setup.exe", GetParam()}, {"/video_setup32.exe", GetParam()}});
  failing.hold();
  const std::string url = failing.url();
  const WindowToken w = open_main_window_in(run_.path(), [url] {
    set_startup_task(StartupTask::converter_check, [url] { ensure_ffmpeg_present(url); });
  });
  wait_for_show_timer(w);

  bool splash_was_open = false;
  g_.loop.when_idle([&] {
    splash_was_open = static_cast<bool>(splash());
    failing.release();
    // The check reports back to the UI thread; that report closes the splash.
    ASSERT_TRUE(eventually([&] { return g_.loop.pending_tasks() > 0; }));
  });
  g_.loop.advance(std::chrono::milliseconds(1));
  EXPECT_TRUE(splash_was_open);
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  g_.loop.run_until_idle();

  EXPECT_FALSE(splash());
  EXPECT_EQ(failing.requests(), 1);
  EXPECT_FALSE(path_exists(installer()));
  EXPECT_FALSE(path_exists(other_installer()));
  EXPECT_TRUE(is_folder(run_.path() + "/bin"));
  EXPECT_TRUE(g_.services.opened().empty());
  const auto messages = g_.services.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, converter_setup_failed_title);
  EXPECT_EQ(messages[0].text, converter_setup_failed_text);
  EXPECT_EQ(messages[0].owner, w);
  EXPECT_TRUE(gui().input_click(main_control("merge_page_button")));
}

INSTANTIATE_TEST_SUITE_P(
    ConverterPresence, FailedDownload,
    ::testing::Values("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\nConnection: close\r\n\r\noops",
                      ok_response("")));

TEST_F(ConverterPresence, AFailureBeforeTheSplashOpensKeepsItFromOpening) {
  // Nothing listens at this server's address once it is gone.
  std::string url;
  {
    CannedHttpServer gone({});
    url = gone.url();
  }
  const WindowToken w = open_main_window_in(run_.path(), [url] {
    set_startup_task(StartupTask::converter_check, [url] { ensure_ffmpeg_present(url); });
  });
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  // The one-shot timer was stopped before it could open the splash.
  EXPECT_EQ(gui().timer_interval(w, show_timer), 0);
  g_.loop.advance(std::chrono::milliseconds(5000));
  EXPECT_FALSE(splash());
  EXPECT_EQ(g_.services.messages().size(), 1u);
  EXPECT_FALSE(path_exists(installer()));
  EXPECT_TRUE(g_.services.opened().empty());
}

}  // namespace
