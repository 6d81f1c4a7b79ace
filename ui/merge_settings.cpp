#include "ui/merge_settings.h"

#include <cmath>

#include "engine/common/text_helpers.h"
#include "engine/common/transition_table.h"

int transition_index_from_setting(const std::string& value) {
  const double number = std::trunc(text_to_number(value));
  return number >= 0 && number <= transition_count ? static_cast<int>(number) : 0;
}

void restore_merge_title(WindowToken window, const std::string& value) {
  gui().set_checked({window, value == "a" ? "merge_title_from_source1_radio" : "merge_title_from_source2_radio"}, true);
}

void fill_merge_transition_combo(WindowToken window) {
  gui().set_items({window, "merge_transition_combo"}, transition_combo_items());
}

void restore_merge_transition(WindowToken window, const std::string& on_value, const std::string& index_value) {
  gui().set_checked({window, "merge_transition_check"}, on_value == "a");
  gui().set_selected_index({window, "merge_transition_combo"}, transition_index_from_setting(index_value));
}
