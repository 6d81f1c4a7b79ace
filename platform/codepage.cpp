#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

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

// ---------------------------------------------------------------- code page 936

namespace {

// The length of the valid UTF-8 sequence at the start of `bytes`, 0 when there is none.
std::size_t utf8_sequence_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const std::uint8_t first = byte(0);
  if (first < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    if (first == 0xE0) low = 0xA0;   // no overlong form
    if (first == 0xED) high = 0x9F;  // no surrogate
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// An iconv conversion that stops at the first piece it cannot convert.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts from the start of `input` onto `out` up to the end or the first piece it
  // cannot convert; the number of input bytes converted.
  std::size_t convert(std::string_view input, std::string& out) {
    char* in_ptr = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char buffer[4096];
    while (in_left > 0) {
      char* out_ptr = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t rc = ::iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
      out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return input.size() - in_left;
  }

 private:
  iconv_t cd_;
};

// Converts `input` with `main`; where it stops, `wider` converts the piece `piece`
// says (its length at that place; 0: none), and where that fails too one byte is
// kept as it is.
template <typename Piece>
std::string convert_keeping_bytes(std::string_view input, const char* to, const char* from, const char* wider_from,
                                  const char* wider_to, Piece piece) {
  Converter main(to, from);
  Converter wider(wider_to, wider_from);
  std::string out;
  out.reserve(input.size() * 3 / 2);
  if (!main.ok() || !wider.ok()) return std::string(input);
  while (!input.empty()) {
    input.remove_prefix(main.convert(input, out));
    if (input.empty()) break;
    const std::size_t length = std::min(piece(input), input.size());
    const std::size_t done = length > 0 ? wider.convert(input.substr(0, length), out) : 0;
    if (done > 0) {
      input.remove_prefix(done);
    } else {
      out += input.front();
      input.remove_prefix(1);
    }
  }
  return out;
}

}  // namespace

bool is_valid_utf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = utf8_sequence_length(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

std::string gbk_to_utf8(std::string_view gbk) {
  // Where code page 936 stops, a four-byte GB18030 sequence may stand.
  return convert_keeping_bytes(gbk, "UTF-8", "CP936", "GB18030", "UTF-8",
                               [](std::string_view) { return std::size_t{4}; });
}

std::string utf8_to_gbk(std::string_view utf8) {
  // Where code page 936 stops on a character it lacks, GB18030 writes it; a byte that
  // is no UTF-8 stays.
  return convert_keeping_bytes(utf8, "CP936", "UTF-8", "UTF-8", "GB18030", utf8_sequence_length);
}

FileText decode_file_text(std::string_view bytes) {
  if (is_valid_utf8(bytes)) return {std::string(bytes), FileTextEncoding::utf8};
  return {gbk_to_utf8(bytes), FileTextEncoding::gbk};
}

std::string encode_file_text(std::string_view text, FileTextEncoding encoding) {
  return encoding == FileTextEncoding::gbk ? utf8_to_gbk(text) : std::string(text);
}
