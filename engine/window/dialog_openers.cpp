#include "engine/window/dialog_openers.h"

#include <array>
#include <mutex>
#include <utility>

namespace {

std::mutex openers_mutex;
// One opener per ProgramDialog value (mosaic_region is the last).
std::array<std::function<void()>, static_cast<std::size_t>(ProgramDialog::mosaic_region) + 1> openers;

std::function<void()>& opener_of(ProgramDialog dialog) { return openers[static_cast<std::size_t>(dialog)]; }

}  // namespace

void set_dialog_opener(ProgramDialog dialog, std::function<void()> open) {
  std::function<void()> old;  // destroyed outside the lock
  std::lock_guard lock(openers_mutex);
  old = std::exchange(opener_of(dialog), std::move(open));
}

bool has_dialog_opener(ProgramDialog dialog) {
  std::lock_guard lock(openers_mutex);
  return static_cast<bool>(opener_of(dialog));
}

bool open_program_dialog(ProgramDialog dialog) {
  std::function<void()> open;
  {
    std::lock_guard lock(openers_mutex);
    open = opener_of(dialog);
  }
  // Run outside the lock: a modal dialog's loop may register or ask again.
  if (!open) return false;
  open();
  return true;
}
