#include "engine/common/decimal_text.h"

#include <gtest/gtest.h>

TEST(DecimalText, ThirteenSignificantDigitsWithoutTrailingZeros) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {149.0 / 30 * 100, "496.6666666667"}, {149.0 / 70 * 100, "212.8571428571"}, {101.0 / 50 * 100, "202"},
      {0.0, "0"},      {-2.5, "-2.5"},      {1234567890123456.0, "1.234567890123e+15"}, {0.1, "0.1"},
  };
  for (const auto& c : cases) EXPECT_EQ(decimal_text(c.value), c.text) << c.value;
}
