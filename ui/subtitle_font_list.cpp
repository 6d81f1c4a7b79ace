#include "ui/subtitle_font_list.h"

#include <atomic>
#include <cstdint>

#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/subtitle_fonts.h"
#include "ui/main_window.h"
#include "ui/startup_tasks.h"
#include "ui/ui_globals.h"

namespace {

// The window whose font list has been filled (0: none yet).
std::atomic<std::uint64_t> filled_window_id{0};

}  // namespace

void fill_subtitle_font_list() {
  const WindowToken window = main_window();
  const std::vector<SubtitleFont> fonts = list_subtitle_fonts();
  if (worker_shutdown_requested()) return;

  std::vector<std::string> items, file_names;
  for (const SubtitleFont& font : fonts) {
    items.push_back(font.item_text);
    file_names.push_back(font.file_name);
  }
  // The file names first: whoever finds an item finds the file behind it.
  font_file_names.set(std::move(file_names));
  const ControlRef combo{window, "subtitle_font_combo"};
  gui().set_items(combo, std::move(items));
  const int index = subtitle_font_index(fonts, subtitle_font_name.get());
  if (index >= 0) gui().set_selected_index(combo, index);
  filled_window_id.store(window.id, std::memory_order_release);
}

bool subtitle_font_list_filled() {
  const WindowToken window = main_window();
  return window && filled_window_id.load(std::memory_order_acquire) == window.id;
}

void bind_subtitle_font_list(WindowToken window) {
  // A new window starts unfilled (window ids are unique only within one control model).
  (void)window;
  filled_window_id.store(0);
  set_startup_task(StartupTask::font_list, fill_subtitle_font_list);
}
