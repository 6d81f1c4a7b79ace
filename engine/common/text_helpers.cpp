#include "engine/common/text_helpers.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

constexpr size_t not_found = std::string_view::npos;

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char fold_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `marker` lies at byte `pos` (0-based) of `text`; the caller makes sure
// it fits.
bool marker_at(std::string_view text, size_t pos, std::string_view marker, bool ignore_case) {
  if (!ignore_case) return text.compare(pos, marker.size(), marker) == 0;
  for (size_t i = 0; i < marker.size(); ++i) {
    if (fold_ascii(text[pos + i]) != fold_ascii(marker[i])) return false;
  }
  return true;
}

// The 0-based position of the first `marker` at a character boundary from `from` on.
// The library's searches find the candidates (a converter's console text is searched
// often, and is long); only the boundary and the folded case are tested here.
size_t find_first(std::string_view text, std::string_view marker, size_t from, bool ignore_case) {
  if (marker.empty() || marker.size() > text.size()) return not_found;
  if (!ignore_case) {
    for (size_t p = text.find(marker, from); p != not_found; p = text.find(marker, p + 1)) {
      if (!is_continuation_byte(text[p])) return p;
    }
    return not_found;
  }
  const char lower = fold_ascii(marker[0]);
  const char both_cases[2] = {lower, static_cast<char>(lower - 'a' + 'A')};
  const std::string_view first_bytes(both_cases, lower >= 'a' && lower <= 'z' ? 2 : 1);
  const size_t last = text.size() - marker.size();
  for (size_t p = text.find_first_of(first_bytes, from); p != not_found && p <= last;
       p = text.find_first_of(first_bytes, p + 1)) {
    if (!is_continuation_byte(text[p]) && marker_at(text, p, marker, true)) return p;
  }
  return not_found;
}

// The 0-based position of the last `marker` at a character boundary that ends at or
// before the 0-based byte offset `end` (its last byte lies before `end`).
size_t find_last(std::string_view text, std::string_view marker, std::int64_t end, bool ignore_case) {
  end = std::min<std::int64_t>(end, static_cast<std::int64_t>(text.size()));
  if (marker.empty() || end < static_cast<std::int64_t>(marker.size())) return not_found;
  for (size_t p = static_cast<size_t>(end) - marker.size() + 1; p-- > 0;) {
    if (!is_continuation_byte(text[p]) && marker_at(text, p, marker, ignore_case)) return p;
  }
  return not_found;
}

// A 1-based start position as a 0-based one (1 or less is the first byte).
std::int64_t first_byte_from(std::int64_t start) { return start <= 1 ? 0 : start - 1; }

// The n of a negative start position: its absolute value, with 1 counted as 0.
std::int64_t negative_start_amount(int start) {
  const std::int64_t n = -static_cast<std::int64_t>(start);
  return n == 1 ? 0 : n;
}

// `marker` with every "#引号" made a double quote.
std::string replace_quote_placeholder(std::string_view marker) {
  static constexpr std::string_view placeholder = "#引号";
  std::string out;
  out.reserve(marker.size());
  for (size_t p = marker.find(placeholder); p != std::string_view::npos; p = marker.find(placeholder)) {
    out.append(marker.substr(0, p)).push_back('"');
    marker.remove_prefix(p + placeholder.size());
  }
  return out.append(marker);
}

// `text` with the full-width forms U+FF01..U+FF5E made their ASCII twins and the
// full-width blank U+3000 an ASCII blank.
std::string to_half_width(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    if (i + 2 < text.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD)) {
      // U+FF00 + x is EF BC (80 + x) for x < 0x40 and EF BD (80 + x - 0x40) above.
      const unsigned x = (byte(1) == 0xBC ? 0 : 0x40) + (byte(2) - 0x80u);
      if (byte(2) >= 0x80 && byte(2) <= 0xBF && x >= 0x01 && x <= 0x5E) {
        out.push_back(static_cast<char>(x + 0x20));
        i += 2;
        continue;
      }
    }
    if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
      out.push_back(' ');
      i += 2;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

// The whole number at the start of an ASCII text: leading blanks and tabs, an
// optional sign, then digits (what follows them, such as a fraction, is ignored);
// 0 when there are no digits. Kept within the int range.
std::int64_t leading_whole_number(std::string_view text) {
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  if (i == text.size() || text[i] < '0' || text[i] > '9') return 0;
  std::int64_t value = 0;
  const std::errc error = std::from_chars(text.data() + i, text.data() + text.size(), value).ec;
  if (error == std::errc::result_out_of_range) {
    value = INT_MAX;
  } else if (error != std::errc()) {
    return 0;
  }
  value = std::min<std::int64_t>(value, INT_MAX);
  return negative ? -value : value;
}

int clamp_to_int(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

}  // namespace

std::string text_between_markers(const std::string& text, const std::string& left, const std::string& right,
                                 int start, bool ignore_case) {
  const std::string left_marker = replace_quote_placeholder(left);
  const std::string right_marker = replace_quote_placeholder(right);
  const std::int64_t from = first_byte_from(start);
  if (from > static_cast<std::int64_t>(text.size())) return {};
  const size_t left_at = find_first(text, left_marker, static_cast<size_t>(from), ignore_case);
  if (left_at == not_found) return {};
  const size_t begin = left_at + left_marker.size();
  const size_t right_at = find_first(text, right_marker, begin, ignore_case);
  if (right_at == not_found) return {};
  return text.substr(begin, right_at - begin);
}

std::string text_between_markers_ex(const std::string& text, const std::string& left, const std::string& right,
                                    bool from_end, int left_shift, int right_shift) {
  size_t begin = 0, end = text.size();
  if (!from_end) {
    if (!left.empty()) {
      const size_t left_at = find_first(text, left, 0, false);
      if (left_at == not_found) return {};
      begin = left_at + left.size();
    }
    if (!right.empty()) {
      end = find_first(text, right, begin, false);
      if (end == not_found) return {};
    }
  } else {
    if (!right.empty()) {
      end = find_first(text, right, 0, false);
      if (end == not_found) return {};
    }
    if (!left.empty()) {
      const size_t left_at = find_last(text, left, static_cast<std::int64_t>(end), false);
      if (left_at == not_found) return {};
      begin = left_at + left.size();
    }
  }
  // The shifted range, cut to the text.
  const auto size = static_cast<std::int64_t>(text.size());
  const std::int64_t first = std::clamp<std::int64_t>(static_cast<std::int64_t>(begin) + left_shift, 0, size);
  const std::int64_t last = std::clamp<std::int64_t>(static_cast<std::int64_t>(end) + right_shift, 0, size);
  if (last <= first) return {};
  return text.substr(static_cast<size_t>(first), static_cast<size_t>(last - first));
}

std::string text_left_of_marker(const std::string& text, const std::string& marker, int start, bool ignore_case) {
  const auto size = static_cast<std::int64_t>(text.size());
  size_t at = not_found;
  if (start >= 0) {
    const std::int64_t from = first_byte_from(start);
    if (from <= size) at = find_first(text, marker, static_cast<size_t>(from), ignore_case);
  } else {
    // Ending before byte (length - n), 1-based: its last byte's 0-based offset is below
    // length - n - 1.
    at = find_last(text, marker, size - negative_start_amount(start) - 1, ignore_case);
  }
  return at == not_found ? std::string() : text.substr(0, at);
}

std::string text_after_marker(const std::string& text, const std::string& marker, int start, bool ignore_case) {
  const auto size = static_cast<std::int64_t>(text.size());
  size_t at = not_found;
  if (start >= 0) {
    at = find_last(text, marker, size - start - 1, ignore_case);
  } else {
    const std::int64_t from = first_byte_from(negative_start_amount(start));
    if (from <= size) at = find_first(text, marker, static_cast<size_t>(from), ignore_case);
  }
  return at == not_found ? std::string() : text.substr(at + marker.size());
}

int duration_text_to_seconds(const std::string& text) {
  if (text.find(':') == std::string::npos) return 0;
  std::vector<std::string_view> pieces;
  std::string_view rest = text;
  for (size_t colon; (colon = rest.find(':')) != std::string_view::npos; rest.remove_prefix(colon + 1)) {
    pieces.push_back(rest.substr(0, colon));
  }
  if (!rest.empty()) pieces.push_back(rest);  // a trailing empty piece is dropped
  if (pieces.size() < 3) return 0;
  const std::int64_t hours = leading_whole_number(to_half_width(pieces[0]));
  const std::int64_t minutes = leading_whole_number(to_half_width(pieces[1]));
  const std::int64_t seconds = leading_whole_number(to_half_width(pieces[2]));
  return clamp_to_int(hours * 3600 + minutes * 60 + seconds);
}

int fixed_hms_to_seconds(const std::string& text) {
  const std::string ascii = to_half_width(text);
  const std::string_view view = ascii;
  const auto piece = [&](size_t first, size_t count) {
    return first < view.size() ? view.substr(first, count) : std::string_view();
  };
  const std::int64_t hours = leading_whole_number(piece(0, 2));
  const std::int64_t minutes = leading_whole_number(piece(3, 2));
  const std::int64_t seconds = leading_whole_number(view.substr(view.size() - std::min<size_t>(view.size(), 2)));
  return clamp_to_int(hours * 3600 + minutes * 60 + seconds);
}

std::string fold_ascii_case(std::string text) {
  for (char& c : text) c = fold_ascii(c);
  return text;
}

std::string replace_ignoring_ascii_case(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  size_t copied = 0;
  for (size_t at = find_first(text, from, 0, true); at != not_found; at = find_first(text, from, copied, true)) {
    result.append(text, copied, at - copied);
    result += to;
    copied = at + from.size();
  }
  result.append(text, copied);
  return result;
}

double text_to_number(const std::string& text) {
  const std::string ascii = to_half_width(text);
  std::string_view view = ascii;
  const size_t first = view.find_first_not_of(" \t");
  if (first == std::string_view::npos) return 0.0;
  view.remove_prefix(first);
  bool negative = false;
  if (view.front() == '+' || view.front() == '-') {
    negative = view.front() == '-';
    view.remove_prefix(1);
  }
  // A digit, or a point followed by one, must come first: "inf", "nan" and hexadecimal
  // forms are no numbers here.
  const bool starts_number = !view.empty() && ((view[0] >= '0' && view[0] <= '9') ||
                                               (view[0] == '.' && view.size() > 1 && view[1] >= '0' && view[1] <= '9'));
  if (!starts_number) return 0.0;
  double value = 0.0;
  if (std::from_chars(view.data(), view.data() + view.size(), value).ec != std::errc()) return 0.0;
  return negative ? -value : value;
}

int first_text_starting_with(const std::vector<std::string>& texts, const std::string& prefix) {
  for (size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].size() >= prefix.size() && marker_at(texts[i], 0, prefix, true)) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::string> split_crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

namespace {

// The last two characters of "00" followed by `n` in decimal.
std::string last_two_of_padded(int n) {
  const std::string padded = "00" + std::to_string(n);
  return padded.substr(padded.size() - 2);
}

}  // namespace

std::string format_seconds_hms(int seconds) {
  int minutes = 0;
  if (seconds >= 60) {
    minutes = seconds / 60;
    seconds %= 60;
  }
  int hours = 0;
  if (minutes >= 60) {
    hours = minutes / 60;
    minutes %= 60;
  }
  return last_two_of_padded(hours) + ":" + last_two_of_padded(minutes) + ":" + last_two_of_padded(seconds);
}
