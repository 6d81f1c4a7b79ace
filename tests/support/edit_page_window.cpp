#include "tests/support/edit_page_window.h"

#include <utility>

#include "engine/edit/edit_job.h"
#include "engine/window/main_window_token.h"

namespace test_env {

WindowSpec build_edit_page_window() {
  WindowSpec spec;
  spec.name = main_window_name;
  spec.width = 1020;
  spec.height = 645;
  auto add = [&](const char* role, ControlKind kind, const char* text = "") {
    spec.controls.push_back(control_spec(role, kind, {0, 0, 80, 24}, text));
    return &spec.controls.back();
  };
  for (const char* role : {"edit_add_videos_button", "edit_add_folder_button", "edit_delete_selected_button",
                           "edit_clear_button", "custom_command_edit_button", "convert_page_button",
                           "merge_page_button"}) {
    add(role, ControlKind::button, "x");
  }
  add("edit_options_group", ControlKind::group_box, "选项");
  add("custom_command_check", ControlKind::check_box, "高级自定义");
  add("custom_before_radio", ControlKind::radio_button, "在选项前执行")->group = "custom_command_order";
  add("custom_after_radio", ControlKind::radio_button, "在选项后执行")->group = "custom_command_order";
  add("edit_start_button", ControlKind::button, edit_start_caption);
  ControlSpec* list = add("edit_list", ControlKind::list_view);
  list->columns = {{"序号", 60}, {"原视频地址", 600}, {"时长", 100}, {"状态", 100}};
  list->multi_select = true;
  for (const char* role : {"edit_format_mp4_radio", "edit_format_flv_radio", "edit_format_mov_radio",
                           "edit_format_mkv_radio", "edit_format_ts_radio", "edit_format_wmv_radio"}) {
    add(role, ControlKind::radio_button)->group = "edit_format";
  }
  spec.controls[spec.controls.size() - 6].checked = true;  // MP4
  add("edit_output_folder_field", ControlKind::edit_box);
  // The boxes with their captions: a row's status names an option that was not applied.
  for (const auto& [role, caption] : {std::pair{"subtitle_check", "添加滚动字幕："},
                                      {"merge_audio_check", "合并音频文件："},
                                      {"picture_watermark_check", "添加图片水印："},
                                      {"top_bottom_pictures_check", "添加上下图片水印："},
                                      {"background_picture_check", "添加视频背景图片："},
                                      {"frame_rate_check", "帧速率："},
                                      {"compress_check", "压缩视频容量"},
                                      {"random_transition_check", "随机转场"},
                                      {"sharpen_check", "视频锐化"}}) {
    add(role, ControlKind::check_box, caption);
  }
  for (const char* role : {"subtitle_text_field", "audio_file_field", "watermark_picture_field", "top_picture_field",
                           "bottom_picture_field", "background_picture_field"}) {
    add(role, ControlKind::edit_box);
  }
  add("frame_rate_field", ControlKind::edit_box, "25");
  ControlSpec* size = add("subtitle_size_combo", ControlKind::combo_box, "35");
  size->items = {"20", "25", "30", "35", "40"};
  size->editable = true;
  size->selected = 3;
  add("subtitle_font_combo", ControlKind::combo_box);
  ControlSpec* mode = add("compress_mode_combo", ControlKind::combo_box, "模式二");
  mode->items = {"模式一", "模式二"};
  mode->selected = 1;
  ControlSpec* slider = add("compress_strength_slider", ControlKind::slider);
  slider->minimum = 1;
  slider->maximum = 20;
  slider->value = 10;
  add("overall_progress_bar", ControlKind::progress_bar)->visible = false;
  add("overall_progress_label", ControlKind::label, "0 / 0")->visible = false;
  add("file_progress_bar", ControlKind::progress_bar)->visible = false;
  add("file_progress_label", ControlKind::label, "0 %")->visible = false;
  return spec;
}

}  // namespace test_env
