#pragma once
// Real numbers as the program writes them into fields and command lines: at most 13
// significant digits, no trailing zeros, "." as the decimal sign whatever the locale
// (the "%.13g" form): 496.66666666666 gives "496.6666666667", 202.0 gives "202".

#include <string>

std::string decimal_text(double value);
