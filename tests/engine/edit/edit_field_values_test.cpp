// The percentage texts of the scale boxes: what counts as a number and what it reads as.

#include "engine/edit/edit_field_values.h"

#include <gtest/gtest.h>

TEST(PercentText, TheSignIsDroppedAndWhatIsLeftMustBeADecimalNumber) {
  struct Case {
    const char* text;
    bool number;
    double value;
  } cases[] = {
      {"95%", true, 95}, {"85", true, 85},   {"12.5%", true, 12.5}, {"%85%", true, 85}, {"0%", true, 0},
      {"%", false, 0},   {"", false, 0},     {"-5%", false, -5},    {"9 5%", false, 9}, {"95%,x", false, 95},
      {"1e2%", false, 100}, {"50%:show=1", false, 50},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_percent_text(c.text), c.number) << c.text;
    EXPECT_DOUBLE_EQ(percent_value(c.text), c.value) << c.text;
  }
}
