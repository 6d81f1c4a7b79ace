#include "engine/edit/edit_settings_saver.h"

#include <mutex>
#include <utility>

namespace {

std::mutex saver_mutex;
std::function<void()> saver;

}  // namespace

void set_edit_settings_saver(std::function<void()> save) {
  std::function<void()> old;  // destroyed outside the lock
  std::lock_guard lock(saver_mutex);
  old = std::exchange(saver, std::move(save));
}

bool save_edit_settings_now() {
  std::function<void()> save;
  {
    std::lock_guard lock(saver_mutex);
    save = saver;
  }
  if (!save) return false;
  save();
  return true;
}
