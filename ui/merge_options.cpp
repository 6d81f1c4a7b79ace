#include "ui/merge_options.h"

#include "ui/edit_options.h"
#include "ui/edit_settings.h"
#include "ui/list_counts.h"
#include "ui/main_window.h"

void on_transition_option_clicked() {
  save_merge_setting(merge_transition_key, gui().checked(main_control("merge_transition_check")) ? "a" : "b");
  save_merge_setting(merge_transition_index_key,
                     std::to_string(gui().selected_index(main_control("merge_transition_combo"))));
  refresh_edit_options();
}

void on_transition_combo_changed() {
  save_merge_setting(merge_transition_index_key,
                     std::to_string(gui().selected_index(main_control("merge_transition_combo"))));
}

void on_title_from_source1_clicked() { save_merge_setting(merge_title_key, "a"); }

void on_title_from_source2_clicked() { save_merge_setting(merge_title_key, "b"); }

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
