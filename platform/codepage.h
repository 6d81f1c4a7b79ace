#pragma once
// Conversions between the program's texts (UTF-8) and UTF-16, with iconv.
//
// UTF-16 is handled as bytes: two per code unit (UTF-16LE low byte first, UTF-16BE
// high byte first), no byte-order mark and no terminator unless the input holds one.
// Input that is not valid in its encoding (a stray byte, a truncated or overlong
// sequence, an unpaired surrogate) comes out as U+FFFD, one per offending piece, and
// the rest is converted normally.

#include <string>
#include <string_view>

// The UTF-16LE form of the UTF-8 text `utf8`.
std::string utf8_to_utf16le(std::string_view utf8);

// The UTF-8 form of the UTF-16LE bytes `utf16le`; an odd last byte counts as an
// incomplete unit and becomes U+FFFD.
std::string utf16le_to_utf8(std::string_view utf16le);

// The UTF-8 form of the UTF-16BE bytes `utf16be` (the byte order of font name tables),
// with the same replacements as `utf16le_to_utf8`.
std::string utf16be_to_utf8(std::string_view utf16be);
