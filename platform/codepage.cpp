#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Converts `input` from `from` to `to`. `unit` is the size of the input's smallest
// piece (skipped when it cannot be converted) and `replacement` the target encoding's
// U+FFFD.
std::string convert(std::string_view input, const char* from, const char* to, size_t unit,
                    std::string_view replacement) {
  std::string out;
  if (input.empty()) return out;
  const iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  out.reserve(input.size() * 2);
  char* in_ptr = const_cast<char*>(input.data());
  size_t in_left = input.size();
  char buffer[4096];
  while (in_left > 0) {
    char* out_ptr = buffer;
    size_t out_left = sizeof buffer;
    const size_t rc = ::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, static_cast<size_t>(out_ptr - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;  // the buffer is full: go on with an empty one
    out.append(replacement);
    if (errno == EILSEQ) {
      const size_t skip = in_left < unit ? in_left : unit;
      in_ptr += skip;
      in_left -= skip;
      ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
      continue;
    }
    break;  // EINVAL: an incomplete piece at the end, now replaced
  }
  ::iconv_close(cd);
  return out;
}

}  // namespace

std::string utf8_to_utf16le(std::string_view utf8) {
  return convert(utf8, "UTF-8", "UTF-16LE", 1, std::string_view("\xFD\xFF", 2));
}

std::string utf16le_to_utf8(std::string_view utf16le) {
  return convert(utf16le, "UTF-16LE", "UTF-8", 2, "\xEF\xBF\xBD");
}

std::string utf16be_to_utf8(std::string_view utf16be) {
  return convert(utf16be, "UTF-16BE", "UTF-8", 2, "\xEF\xBF\xBD");
}
