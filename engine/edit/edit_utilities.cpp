#include "engine/edit/edit_utilities.h"

#include <algorithm>
#include <chrono>

#include "engine/common/text_encoding.h"
#include "platform/event_pump.h"
#include "platform/files.h"

std::string random_parity_text(int low, int high, int mode) {
  if (low < 1 || high < 1) return random_parity_bound_message;
  const int smaller = std::min(low, high), larger = std::max(low, high);
  int c = random_int_between(smaller, larger);
  const bool wrong_parity = (mode == 1 && c % 2 == 0) || (mode == 2 && c % 2 == 1);
  if (wrong_parity) {
    if (smaller == larger) return "";
    // Step towards the inside of the range: down from the larger bound, else up.
    c = c == larger ? c - 1 : c + 1;
  }
  return std::to_string(c);
}

std::string colour_to_hex(std::uint32_t colour) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (int byte = 0; byte < 3; ++byte) {
    const unsigned value = (colour >> (8 * byte)) & 0xFF;
    hex.push_back(digits[value >> 4]);
    hex.push_back(digits[value & 15]);
  }
  return hex;
}

void wait_pumping_messages(int amount, int unit) {
  if (amount <= 0) return;
  static constexpr std::int64_t milliseconds_per_unit[] = {1, 1000, 60000, 3600000};
  const std::int64_t per_unit = (unit >= 0 && unit <= 3) ? milliseconds_per_unit[unit] : 1;
  pause_processing_events(std::chrono::milliseconds(static_cast<std::int64_t>(amount) * per_unit));
}
