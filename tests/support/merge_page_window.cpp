#include "tests/support/merge_page_window.h"

#include "engine/common/transition_table.h"
#include "engine/merge/merge_job.h"
#include "engine/window/main_window_token.h"

namespace test_env {

WindowSpec build_merge_page_window() {
  WindowSpec spec;
  spec.name = main_window_name;
  spec.width = 1020;
  spec.height = 645;
  auto add = [&](const char* role, ControlKind kind, const char* text = "") {
    spec.controls.push_back(control_spec(role, kind, {0, 0, 80, 24}, text));
    return &spec.controls.back();
  };
  for (const char* role :
       {"merge_add_videos1_button", "merge_add_folder1_button", "merge_delete_selected1_button", "merge_clear1_button",
        "merge_add_videos2_button", "merge_add_folder2_button", "merge_delete_selected2_button", "merge_clear2_button",
        "convert_page_button", "edit_page_button"}) {
    add(role, ControlKind::button, "x");
  }
  add("merge_all_source1_check", ControlKind::check_box, "合并所有原视频１");
  add("merge_all_source2_check", ControlKind::check_box, "合并所有原视频２");
  add("merge_start_button", ControlKind::button, merge_start_caption);
  for (const char* role : {"merge_list1", "merge_list2"}) {
    ControlSpec* list = add(role, ControlKind::list_view);
    list->columns = {{"序号", 60}, {"原视频的地址", 805}, {"视频时长", 100}};
    list->multi_select = true;
  }
  add("merge_transition_check", ControlKind::check_box, "添加转场特效：");
  ControlSpec* combo = add("merge_transition_combo", ControlKind::combo_box);
  combo->items = {random_transition_item};
  for (const TransitionRow& row : transition_rows) combo->items.emplace_back(row.label);
  combo->selected = 0;
  add("merge_title_from_source1_radio", ControlKind::radio_button, "以原视频１为新标题")->group = "merge_title";
  spec.controls.back().checked = true;
  add("merge_title_from_source2_radio", ControlKind::radio_button, "以原视频２为新标题")->group = "merge_title";
  add("merge_output_count_label", ControlKind::label, "0");
  add("merge_output_folder_field", ControlKind::edit_box);
  for (const char* role : {"merge_format_mp4_radio", "merge_format_flv_radio", "merge_format_mov_radio",
                           "merge_format_mkv_radio", "merge_format_ts_radio", "merge_format_wmv_radio"}) {
    add(role, ControlKind::radio_button)->group = "merge_format";
  }
  spec.controls[spec.controls.size() - 6].checked = true;  // MP4
  add("overall_progress_bar", ControlKind::progress_bar)->visible = false;
  add("overall_progress_label", ControlKind::label, "0 / 0")->visible = false;
  add("file_progress_bar", ControlKind::progress_bar)->visible = false;
  add("file_progress_label", ControlKind::label, "0 %")->visible = false;
  return spec;
}

}  // namespace test_env
