#pragma once
// Small routines of the edit job that other jobs and the region editors share: a
// file's size, seconds as HH:MM:SS, a random number of a chosen parity, a colour as
// hex digits, a pause that keeps events flowing, and deleting a file.

#include <cstdint>
#include <string>

// What `get_file_size` answers when there is no file: the size query's failure value
// taken as a size. Callers test that the file exists as well.
inline constexpr std::int64_t file_size_query_failed = 4294967295;

// The length in bytes of the file at `path` (the full 64-bit length, also for a
// sparse file), or `file_size_query_failed` when nothing exists there.
std::int64_t get_file_size(const std::string& path);

// Whole seconds as "HH:MM:SS", each field the last two characters of "00" followed by
// the number: 3725 gives "01:02:05"; hours from 100 on keep their last two digits, and
// a negative value is not corrected (-5 gives "00:00:-5").
std::string format_seconds_hms(int seconds);

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

// Deletes the file at `path` (a link itself, never its target; never a folder). A
// missing file is no error for any caller; true when a file was deleted.
bool delete_file(const std::string& path);
