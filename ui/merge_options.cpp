#include "ui/merge_options.h"

#include <cmath>

#include "engine/globals.h"
#include "engine/text_helpers.h"
#include "engine/transition_table.h"
#include "platform/profile.h"
#include "ui/edit_options.h"
#include "ui/edit_settings.h"
#include "ui/list_counts.h"
#include "ui/main_window.h"

namespace {

// Writes one merge key, once the settings load has been applied.
void write_merge_setting(const char* key, const std::string& value) {
  if (!edit_settings_loaded()) return;
  write_profile_text(config_file_path.get(), edit_settings_section, key, value);
}

}  // namespace

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

void on_transition_option_clicked() {
  write_merge_setting(merge_transition_key, gui().checked(main_control("merge_transition_check")) ? "a" : "b");
  write_merge_setting(merge_transition_index_key,
                      std::to_string(gui().selected_index(main_control("merge_transition_combo"))));
  refresh_edit_options();
}

void on_transition_combo_changed() {
  write_merge_setting(merge_transition_index_key,
                      std::to_string(gui().selected_index(main_control("merge_transition_combo"))));
}

void on_title_from_source1_clicked() { write_merge_setting(merge_title_key, "a"); }

void on_title_from_source2_clicked() { write_merge_setting(merge_title_key, "b"); }

void on_merge_all_list1_clicked() { update_merge_counts(); }

void on_merge_all_list2_clicked() { update_merge_counts(); }

void bind_merge_option_handlers(WindowToken window) {
  GuiModel& model = gui();
  model.bind({window, "merge_transition_check"}, EventKind::clicked, [](const GuiEvent&) { on_transition_option_clicked(); });
  model.bind({window, "merge_transition_combo"}, EventKind::selection_changed,
             [](const GuiEvent&) { on_transition_combo_changed(); });
  model.bind({window, "merge_title_from_source1_radio"}, EventKind::clicked,
             [](const GuiEvent&) { on_title_from_source1_clicked(); });
  model.bind({window, "merge_title_from_source2_radio"}, EventKind::clicked,
             [](const GuiEvent&) { on_title_from_source2_clicked(); });
  model.bind({window, "merge_all_source1_check"}, EventKind::clicked, [](const GuiEvent&) { on_merge_all_list1_clicked(); });
  model.bind({window, "merge_all_source2_check"}, EventKind::clicked, [](const GuiEvent&) { on_merge_all_list2_clicked(); });
}
