#include "engine/common/text_encoding.h"

#include <cstring>
#include <random>
#include <utility>

#include "platform/codepage.h"

std::string text_to_utf16(const std::string& text, bool without_terminator) {
  const std::string_view zero_terminated(text.c_str(), std::strlen(text.c_str()));
  if (zero_terminated.empty()) return {};
  const std::string utf16 = utf8_to_utf16le(zero_terminated);
  return without_terminator ? utf16 : utf16 + std::string(2, '\0');
}

std::string utf16_to_text(const std::string& units) {
  size_t count = units.size() / 2;
  for (size_t i = 0; i < count; ++i) {
    if (units[2 * i] == '\0' && units[2 * i + 1] == '\0') {
      count = i;
      break;
    }
  }
  return utf16le_to_utf8(std::string_view(units.data(), count * 2));
}

std::string reverse_text(const std::string& text) {
  const std::string units = text_to_utf16(text, true);
  const size_t count = units.size() / 2;
  auto unit = [&](size_t i) {
    return static_cast<unsigned>(static_cast<unsigned char>(units[2 * i])) |
           static_cast<unsigned>(static_cast<unsigned char>(units[2 * i + 1])) << 8;
  };
  std::string reversed;
  reversed.reserve(units.size());
  // From the last unit to the first, a surrogate pair moved as one piece.
  for (size_t end = count; end > 0;) {
    size_t start = end - 1;
    if (start > 0 && unit(start) >= 0xDC00 && unit(start) <= 0xDFFF && unit(start - 1) >= 0xD800 &&
        unit(start - 1) <= 0xDBFF) {
      --start;
    }
    reversed.append(units, 2 * start, 2 * (end - start));
    end = start;
  }
  return utf16_to_text(reversed);
}

int random_int_between(int low, int high) {
  if (low > high) std::swap(low, high);
  thread_local std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(low, high)(generator);
}
