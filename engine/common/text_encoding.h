#pragma once
// Conversions between texts and UTF-16, reversing a text, and random whole numbers.
//
// A UTF-16 byte array is a std::string of UTF-16LE code units, two bytes each, low
// byte first. Texts are UTF-8; text that is not valid UTF-8 (or units that are not
// valid UTF-16) come out with U+FFFD in place of the broken pieces.

#include <string>

// The UTF-16LE units of `text`, ending with a zero unit unless `without_terminator`.
// The text counts up to its first zero byte; an empty text gives an empty array.
std::string text_to_utf16(const std::string& text, bool without_terminator);

// The text of the UTF-16LE `units` up to the first zero unit (all of them when there
// is none); an odd last byte is ignored.
std::string utf16_to_text(const std::string& units);

// The characters of `text` in reverse order. Characters are Unicode code points, so a
// character outside the basic plane (an emoji) stays whole.
std::string reverse_text(const std::string& text);

// A random whole number from `low` to `high`, both included, drawn from a generator
// of the calling thread seeded from the system's random source. The bounds may come
// in either order.
int random_int_between(int low, int high);
