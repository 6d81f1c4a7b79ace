#pragma once
// Small routines of the edit job that the edit page and the region editors share: a
// random number of a chosen parity, a colour as hex digits, and a pause that keeps
// events flowing.

#include <cstdint>
#include <string>

// The text returned when a bound given to `random_parity_text` is below 1.
inline constexpr const char* random_parity_bound_message = "起始数或结束数都必须≥1";

// A random whole number between `low` and `high` (either order, both included) in
// decimal: odd for `mode` 1, even for `mode` 2, of any parity otherwise. A drawn number
// of the wrong parity is raised by one, or lowered by one when it is the larger bound,
// so the result always lies in the range. Returns `random_parity_bound_message` when a
// bound is below 1, and "" when the range holds no number of the asked parity (both
// bounds equal and of the other parity).
std::string random_parity_text(int low, int high, int mode);

// Red (lowest byte), green and blue of `colour` as six upper-case hex digits, no "#":
// red 255, green 0, blue 10 gives "FF000A".
std::string colour_to_hex(std::uint32_t colour);

// Waits at least `amount` units (0 milliseconds, 1 seconds, 2 minutes, 3 hours; any
// other unit counts as milliseconds). On the UI thread pending events keep being
// processed meanwhile. A zero or negative amount returns at once.
void wait_pumping_messages(int amount, int unit = 0);
