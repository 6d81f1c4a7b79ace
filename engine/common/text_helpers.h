#pragma once
// Cutting texts between markers, duration texts into whole seconds, numbers, ASCII
// case and CR LF lines. The workers and editors read what they need from the
// converter's console text with these. They depend on nothing else in the program
// (taking a path apart is in engine/common/file_helpers.h).
//
// Texts are UTF-8 byte strings. Positions and lengths are in bytes and 1-based; a
// search never matches starting on a UTF-8 continuation byte (inside a multibyte
// character), so a marker is only found at a character boundary. Ignoring case folds
// the ASCII letters only. An empty marker is never found (the `_ex` variant gives an
// empty marker its own meaning). Nothing here fails: a missing marker gives an empty
// text, an unreadable number 0.

#include <string>
#include <vector>

// The text between the first `left` found from byte `start` on (1 or less: from the
// first byte) and the first `right` after it; empty when either is missing. "#引号"
// in either marker stands for a double quote, so a marker can hold one:
// text_between_markers("abc\"def\"ghi", "#引号", "#引号") gives "def".
std::string text_between_markers(const std::string& text, const std::string& left, const std::string& right,
                                 int start = 0, bool ignore_case = false);

// The text between two markers, compared with case.
// Forward: the cut begins right after the first `left` (byte 1 when `left` is empty)
// and ends at the first `right` found from there (the end of the text when `right`
// is empty).
// `from_end`: the cut ends at the first `right` of the whole text (the end of the text
// when `right` is empty) and begins right after the last `left` that ends before it
// (byte 1 when `left` is empty).
// A marker given but not found gives an empty text. `left_shift` and `right_shift`
// are added to the beginning and the end; what of the shifted range lies outside the
// text is cut off, and an empty or inverted range gives an empty text.
std::string text_between_markers_ex(const std::string& text, const std::string& left, const std::string& right = "",
                                    bool from_end = false, int left_shift = 0, int right_shift = 0);

// The text in front of `marker`.
// `start` 0 or more: the first `marker` found from byte `start` on (0 counts as 1).
// `start` negative: let n be its absolute value (n = 1 counts as 0); the last
// `marker` that ends before byte (text length - n).
// Empty when the marker is not found.
std::string text_left_of_marker(const std::string& text, const std::string& marker, int start = 0,
                                bool ignore_case = false);

// The text behind `marker`; the direction rule is the reverse of `text_left_of_marker`.
// `start` 0 or more: the last `marker` that ends before byte (text length - start),
// so with 0 an occurrence ending on the last byte does not count:
// text_after_marker("a/b/", "/") gives "b/".
// `start` negative: n as above; the first `marker` found from byte n on (0 counts as 1).
// Empty when the marker is not found.
std::string text_after_marker(const std::string& text, const std::string& marker, int start = 0,
                              bool ignore_case = false);

// Whole seconds of a duration text by its separators: the text split at every ":"
// (a trailing empty piece dropped) must give at least three pieces, read as hours,
// minutes and seconds; each is the whole part of the number at its start (blanks and
// a sign allowed, full-width digits read as ASCII digits, 0 when there is none).
// "00:01:23.45" gives 83, "1:2:3" 3723, "12:34" 0. Saturates at the int range.
int duration_text_to_seconds(const std::string& text);

// Whole seconds of a duration text by fixed byte positions, after full-width
// characters are made ASCII: hours from bytes 1-2, minutes from bytes 4-5, seconds
// from the last two bytes, each the leading whole number there (blanks and a sign
// allowed, 0 when there is none). "00:01:05" gives 65 and "1:02:03" 3723, but
// "00:01:23.45" gives 105: this rule is only for texts of the form HH:MM:SS.
int fixed_hms_to_seconds(const std::string& text);

// `text` with the ASCII letters lower-cased; every other byte unchanged, so byte
// positions stay the same.
std::string fold_ascii_case(std::string text);

// `text` with every occurrence of `from` (ASCII letters matched without regard to case,
// at character boundaries, left to right, never overlapping) replaced by `to`. An empty
// `from` replaces nothing.
std::string replace_ignoring_ascii_case(const std::string& text, const std::string& from, const std::string& to);

// The number at the start of `text`, after full-width characters are made ASCII:
// leading blanks and tabs, an optional sign, then digits with an optional fraction and
// exponent; what follows is ignored. 0 when the text does not begin with a number or
// the number lies beyond the range of a double.
// "12.5kHz" gives 12.5, "６５５３５" 65535, "-3" -3, "abc" and "" 0.
double text_to_number(const std::string& text);

// The index of the first of `texts` that begins with `prefix`, ASCII letters compared
// without regard to case; -1 when none does. An empty prefix is the beginning of every
// text.
int first_text_starting_with(const std::vector<std::string>& texts, const std::string& prefix);

// The lines of `text` split at every "\r\n": the last line is taken also without a
// line end, and no empty line follows a final line end ("" gives no line, "a\r\n"
// one, "\r\n" one empty line). A lone LF is part of its line.
std::vector<std::string> split_crlf_lines(const std::string& text);

// Whole seconds as "HH:MM:SS", each field the last two characters of "00" followed by
// the number: 3725 gives "01:02:05"; hours from 100 on keep their last two digits, and
// a negative value is not corrected (-5 gives "00:00:-5").
std::string format_seconds_hms(int seconds);
