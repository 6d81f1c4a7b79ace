#pragma once
// Checks of the edit page's typed values before they go into a converter command: a
// field's text reaches a command only when it is a plain number of the kind the
// command expects, so no typed text can add arguments or filter options of its own.

#include <string>

// A positive frame rate as the converter's "-r" takes it: digits with an optional
// fraction ("25", "29.97"; not "25.") or a ratio of two whole numbers ("30000/1001"),
// never zero.
bool is_frame_rate_text(const std::string& text);

// A decimal number as typed: an optional "-" (when `allow_negative`), digits, and an
// optional fraction after ".", with at least one digit before the dot ("12", "-3",
// "0.5"; not "", "+1", ".5", "1e3", "1 ").
bool is_decimal_text(const std::string& text, bool allow_negative = false);

// A whole number as typed: an optional "-" (when `allow_negative`) and digits.
bool is_whole_number_text(const std::string& text, bool allow_negative = false);

// A percentage as the scale boxes hold it: a decimal number as `is_decimal_text` takes
// it once every "%" is removed ("95%", "85", "12.5%"; not "%", "-5%", "9 5%").
bool is_percent_text(const std::string& text);

// The number of a percentage text: every "%" removed, then read by `text_to_number`.
double percent_value(const std::string& text);
