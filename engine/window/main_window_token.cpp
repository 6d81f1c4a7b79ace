#include "engine/window/main_window_token.h"

#include <atomic>

#include "platform/gui/gui.h"

namespace {
std::atomic<std::uint64_t> remembered{0};
}

void remember_main_window(WindowToken window) { remembered.store(window.id, std::memory_order_release); }

WindowToken main_window() {
  const WindowToken window{remembered.load(std::memory_order_acquire)};
  if (window && gui().window_exists(window)) return window;
  return gui().find_window(main_window_name);
}
