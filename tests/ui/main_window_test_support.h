#pragma once
// A run folder for the main window's tests: `bin/ffmpeg` links to the system's
// converter, `resources` to the built pictures, and no `data` folder yet (the program
// makes it). The subtitle font list reads `fonts` in it (empty unless the test puts
// fonts there). When the object goes it first waits for the program's worker threads
// (the start-up tasks among them) to end, so that none outlives the test's GUI, then
// restores the fonts folder variable and the current folder. Make it after the
// HeadlessGui.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/converter/worker_threads.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "tests/support/test_env.h"

class MainWindowRunFolder {
 public:
  MainWindowRunFolder()
      : path_(temp_ / "run"),
        back_(std::filesystem::current_path().string()),
        fonts_(fonts_folder_variable, (path_ + "/fonts").c_str()) {
    create_folders(path_ + "/bin");
    create_folders(path_ + "/fonts");
    symlink(QF_SYSTEM_FFMPEG, (path_ + "/bin/ffmpeg").c_str());
    symlink(QF_BINARY_DIR "/run/resources", (path_ + "/resources").c_str());
  }
  ~MainWindowRunFolder() { wait_for_worker_threads(std::chrono::seconds(10)); }
  MainWindowRunFolder(const MainWindowRunFolder&) = delete;
  MainWindowRunFolder& operator=(const MainWindowRunFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string fonts() const { return path_ + "/fonts"; }
  std::string config() const { return path_ + "/data/qfconfig.ini"; }
  // Writes the settings file (CRLF lines) before the program starts.
  void write_config(const std::string& text) const {
    create_folders(path_ + "/data");
    test_env::write_file(config(), text);
  }

 private:
  test_env::TempDir temp_;
  std::string path_;
  test_env::ScopedCurrentFolder back_;
  test_env::ScopedEnvironmentVariable fonts_;
};

// Ends the child process of a death test: prints the checks that failed for the parent
// (the child's failures reach it only through its standard error) and exits with 0 when
// every check passed.
[[noreturn]] inline void end_child_with_checks() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  for (int i = 0; i < result->total_part_count(); ++i) {
    const ::testing::TestPartResult& part = result->GetTestPartResult(i);
    if (part.failed()) std::fprintf(stderr, "%s:%d: %s\n", part.file_name(), part.line_number(), part.message());
  }
  std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
}

// For death tests of the whole program (shutdown cannot be undone in a process): runs
// `checks` in a run folder of its own (removed afterwards), then ends the child with 0
// when every check passed, printing the failures for the parent.
[[noreturn]] inline void run_in_child(const std::function<void(const std::string&)>& checks) {
  {
    MainWindowRunFolder run;
    checks(run.path());
  }
  end_child_with_checks();
}

