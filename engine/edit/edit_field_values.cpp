#include "engine/edit/edit_field_values.h"

#include <algorithm>

#include "engine/common/text_helpers.h"

namespace {

bool all_digits(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool has_non_zero_digit(const std::string& text) { return text.find_first_of("123456789") != std::string::npos; }

std::string without_percent_signs(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '%'), text.end());
  return text;
}

std::string without_sign(const std::string& text, bool allow_negative) {
  return allow_negative && text.starts_with('-') ? text.substr(1) : text;
}

}  // namespace

bool is_frame_rate_text(const std::string& text) {
  if (const auto slash = text.find('/'); slash != std::string::npos) {
    const std::string num = text.substr(0, slash), den = text.substr(slash + 1);
    return all_digits(num) && all_digits(den) && has_non_zero_digit(num) && has_non_zero_digit(den);
  }
  return is_decimal_text(text) && has_non_zero_digit(text);
}

bool is_decimal_text(const std::string& text, bool allow_negative) {
  const std::string unsigned_text = without_sign(text, allow_negative);
  if (const auto dot = unsigned_text.find('.'); dot != std::string::npos) {
    return all_digits(unsigned_text.substr(0, dot)) && all_digits(unsigned_text.substr(dot + 1));
  }
  return all_digits(unsigned_text);
}

bool is_whole_number_text(const std::string& text, bool allow_negative) {
  return all_digits(without_sign(text, allow_negative));
}

bool is_percent_text(const std::string& text) { return is_decimal_text(without_percent_signs(text)); }

double percent_value(const std::string& text) { return text_to_number(without_percent_signs(text)); }
