#pragma once
// Support for the tests of the settings file, the options and the font list: starting
// the main window and waiting for its start-up tasks, holding a start-up task back,
// reading a section of the settings file in file order, and fonts for the fonts folder.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/converter/worker_threads.h"
#include "platform/gui/gui.h"
#include "tests/support/test_env.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/edit_settings.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

// Opens the main window in the run folder, waits until its start-up tasks have ended and
// the settings load has been applied on the UI thread, and returns the window.
inline WindowToken start_main_window(HeadlessGui& g, const MainWindowRunFolder& run,
                                     const std::function<void()>& after_binding = {}) {
  const WindowToken window = open_main_window_in(run.path(), after_binding);
  EXPECT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  EXPECT_TRUE(g.loop.wait_until(edit_settings_loaded));
  return window;
}

// Holds a thread back until released (from any thread).
class Gate {
 public:
  void wait() {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
  }
  void release() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

// The key and value of every "key=value" line of `section` in the file, in file order.
inline std::vector<std::pair<std::string, std::string>> section_entries(const std::string& path,
                                                                         const std::string& section) {
  std::vector<std::pair<std::string, std::string>> entries;
  const std::string text = test_env::read_file(path);
  bool inside = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    const size_t eq = line.find('=');
    if (inside && eq != std::string::npos) entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return entries;
}

// The value of a key of section "批量剪辑视频" as the file holds it; "(missing)" when absent.
inline std::string stored(const MainWindowRunFolder& run, const std::string& key) {
  for (const auto& [name, value] : section_entries(run.config(), edit_settings_section))
    if (name == key) return value;
  return "(missing)";
}

// Copies one of Debian's DejaVu fonts into the run folder's fonts folder under `name`.
inline void add_font(const MainWindowRunFolder& run, const std::string& dejavu_file, const std::string& name) {
  std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/" + dejavu_file, run.fonts() + "/" + name);
}

inline ControlRef control(const char* role) { return main_control(role); }

// Shows a page of the main window as its page button does (input goes only to the
// controls of the page shown): 0 convert, 1 merge, 2 edit.
inline void show_page(int page) {
  static const char* const buttons[] = {"convert_page_button", "merge_page_button", "edit_page_button"};
  EXPECT_TRUE(gui().input_click(main_control(buttons[page])));
}
