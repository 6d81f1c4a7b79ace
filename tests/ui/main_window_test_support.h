#pragma once
// A run folder for the main window's tests: `bin/ffmpeg` links to the system's
// converter, `resources` to the built pictures, and no `data` folder yet (the program
// makes it). The current folder is restored when the object goes.

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "tests/support/test_env.h"

class MainWindowRunFolder {
 public:
  MainWindowRunFolder() : path_(temp_ / "run"), back_(std::filesystem::current_path().string()) {
    create_folders(path_ + "/bin");
    symlink(QF_SYSTEM_FFMPEG, (path_ + "/bin/ffmpeg").c_str());
    symlink(QF_BINARY_DIR "/run/resources", (path_ + "/resources").c_str());
  }
  const std::string& path() const { return path_; }
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
};
