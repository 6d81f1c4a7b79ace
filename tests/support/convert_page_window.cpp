#include "tests/support/convert_page_window.h"

#include "engine/convert/convert_job.h"
#include "engine/converter/job_progress.h"

namespace test_env {

WindowSpec build_convert_page_window() {
  WindowSpec spec;
  spec.name = main_window_name;
  spec.width = 1020;
  spec.height = 645;
  auto add = [&](const char* role, ControlKind kind, const char* text = "") {
    spec.controls.push_back(control_spec(role, kind, {0, 0, 80, 24}, text));
    return &spec.controls.back();
  };
  for (const char* role :
       {"convert_add_videos_button", "convert_add_folder_button", "convert_delete_selected_button",
        "convert_clear_button", "convert_add_m3u8_button", "merge_page_button", "edit_page_button"}) {
    add(role, ControlKind::button, "x");
  }
  add("convert_start_button", ControlKind::button, convert_start_caption);
  ControlSpec* list = add("convert_list", ControlKind::list_view);
  list->columns = {{"序号", 60}, {"原视频地址", 805}, {"状态", 100}};
  list->multi_select = true;
  for (const char* role :
       {"convert_format_mp4_radio", "convert_format_flv_radio", "convert_format_mov_radio", "convert_format_mkv_radio",
        "convert_format_ts_radio", "convert_format_wmv_radio", "convert_format_mp3_radio"}) {
    add(role, ControlKind::radio_button)->group = "convert_format";
  }
  spec.controls[spec.controls.size() - 7].checked = true;  // MP4
  add("convert_save_beside_source_radio", ControlKind::radio_button)->group = "convert_save_mode";
  ControlSpec* to_folder = add("convert_save_to_folder_radio", ControlKind::radio_button);
  to_folder->group = "convert_save_mode";
  to_folder->checked = true;
  add("convert_output_folder_field", ControlKind::edit_box);
  add("convert_delete_source_check", ControlKind::check_box);
  add("overall_progress_bar", ControlKind::progress_bar)->visible = false;
  add("overall_progress_label", ControlKind::label, "0 / 0")->visible = false;
  add("file_progress_bar", ControlKind::progress_bar)->visible = false;
  add("file_progress_label", ControlKind::label, "0 %")->visible = false;
  return spec;
}

}  // namespace test_env
