#include "engine/converter/frame_size.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "engine/common/text_helpers.h"

namespace {

constexpr const char* full_width_blank = "\u3000";

// The leading decimal number of `text`, as a decimal reader takes it: leading blanks
// skipped, an optional sign, digits with an optional fraction or exponent, ending at
// the first character that cannot continue it; truncated toward zero and kept within
// the int range. 0 when there is no number.
int number_of(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  double value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) return negative ? INT_MIN : INT_MAX;
  if (result.ec != std::errc() || std::isnan(value) || std::isinf(value)) return 0;
  if (negative) value = -value;
  return static_cast<int>(std::clamp(std::trunc(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

std::string without_blanks(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  const std::string wide = full_width_blank;
  for (std::size_t at = text.find(wide); at != std::string::npos; at = text.find(wide, at)) text.erase(at, wide.size());
  return text;
}

}  // namespace

FrameSize parse_frame_size(std::string& console_text, FrameSizePasses passes) {
  std::string& t = console_text;
  t = replace_ignoring_ascii_case(t, "yuvj420p", "yuv420p");
  if (t.find("420p") != std::string::npos && t.find("yuv420p") == std::string::npos) {
    t = replace_ignoring_ascii_case(t, "420p", "yuv420p");
  }

  FrameSize size;
  size.width = number_of(text_between_markers(t, "yuv420p, ", "x"));
  if (size.width > 0) {
    size.height = number_of(text_between_markers(t, "yuv420p, " + std::to_string(size.width) + "x", ","));
  }
  if (size.width != 0 && size.height != 0) return size;

  std::string s = without_blanks(text_between_markers(t, "yuv420p", "["));
  size.width = number_of(text_between_markers(s, "),", "x"));
  size.height = number_of(text_after_marker(s, std::to_string(size.width) + "x"));
  if ((size.width != 0 && size.height != 0) || passes == FrameSizePasses::without_second_fallback) return size;

  s = without_blanks(text_between_markers(t, "yuv420p", "\r\n"));
  size.width = number_of(text_between_markers(s, "),", "x"));
  size.height = number_of(text_between_markers(s, std::to_string(size.width) + "x", ","));
  return size;
}
