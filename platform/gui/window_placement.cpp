#include "platform/gui/window_placement.h"

#include <algorithm>

namespace {

// The start of a span of `length` moved as little as needed into [low, high); a span
// longer than that starts at `low`.
int fit_into(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

GuiPoint centred_on(const GuiRect& area, int width, int height) {
  return {area.x + (area.width - width) / 2, area.y + (area.height - height) / 2};
}

}  // namespace

GuiPoint window_beside_owner(const GuiRect& owner, int width, int height, const GuiRect& screen) {
  const int owner_right = owner.x + owner.width;
  const int screen_right = screen.x + screen.width;
  const int x = screen_right - owner_right >= width ? owner_right : owner.x - width;
  return {fit_into(x, width, screen.x, screen_right), fit_into(owner.y, height, screen.y, screen.y + screen.height)};
}

GuiPoint window_opening_position(const WindowState& window, const std::optional<GuiRect>& owner_frame, int width,
                                 int height, const GuiRect& screen) {
  if (!owner_frame) return centred_on(screen, width, height);
  if (window.modal) return centred_on(*owner_frame, width, height);
  return window_beside_owner(*owner_frame, width, height, screen);
}
