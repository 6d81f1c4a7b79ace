#include "engine/common/decimal_text.h"

#include <charconv>

std::string decimal_text(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return std::string(buffer, result.ptr);
}
