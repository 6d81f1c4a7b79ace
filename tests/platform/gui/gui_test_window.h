#pragma once
// A window with one control of every kind, for the control model's tests.

#include "platform/gui/gui.h"
#include "platform/gui/picture.h"

inline WindowSpec sample_window_spec() {
  WindowSpec spec;
  spec.name = "SampleWindow";
  spec.title = "示例";
  spec.width = 800;
  spec.height = 600;

  spec.controls.push_back(control_spec("ok_button", ControlKind::button, {10, 10, 80, 24}, "确定"));
  ControlSpec field = control_spec("name_field", ControlKind::edit_box, {10, 40, 200, 24});
  spec.controls.push_back(field);
  ControlSpec digits = control_spec("count_field", ControlKind::edit_box, {220, 40, 60, 24}, "2");
  digits.digits_only = true;
  digits.max_length = 4;
  spec.controls.push_back(digits);
  spec.controls.push_back(control_spec("option_check", ControlKind::check_box, {10, 70, 100, 20}, "选项"));

  ControlSpec combo = control_spec("mode_combo", ControlKind::combo_box, {10, 100, 100, 24});
  combo.items = {"模式一", "模式二"};
  combo.selected = 0;
  spec.controls.push_back(combo);

  ControlSpec slider = control_spec("strength_slider", ControlKind::slider, {10, 130, 200, 24});
  slider.minimum = 1;
  slider.maximum = 20;
  slider.value = 5;
  spec.controls.push_back(slider);
  spec.controls.push_back(control_spec("file_progress_bar", ControlKind::progress_bar, {10, 160, 200, 16}));
  ControlSpec label = control_spec("file_progress_label", ControlKind::label, {220, 160, 60, 16}, "0 %");
  label.transparent = true;
  spec.controls.push_back(label);

  spec.controls.push_back(control_spec("options_group", ControlKind::group_box, {300, 10, 300, 200}, "选项"));
  spec.controls.push_back(control_spec("before_radio", ControlKind::radio_button, {10, 20, 100, 20}, "之前", "options_group"));
  spec.controls.push_back(control_spec("after_radio", ControlKind::radio_button, {10, 50, 100, 20}, "之后", "options_group"));
  spec.controls.push_back(control_spec("inner_field", ControlKind::edit_box, {10, 80, 100, 24}, "", "options_group"));

  spec.controls.push_back(control_spec("job_tabs", ControlKind::tab_control, {10, 220, 780, 360}));
  spec.controls.push_back(control_spec("first_page", ControlKind::tab_page, {2, 24, 776, 334}, "第一页", "job_tabs"));
  spec.controls.push_back(control_spec("second_page", ControlKind::tab_page, {2, 24, 776, 334}, "第二页", "job_tabs"));

  ControlSpec list = control_spec("job_list", ControlKind::list_view, {10, 10, 500, 224}, "", "first_page");
  list.columns = {{"序号", 60}, {"原视频地址", 340}, {"状态", 100}};
  list.multi_select = true;
  list.drop_target = true;
  spec.controls.push_back(list);
  spec.controls.push_back(control_spec("second_button", ControlKind::button, {10, 10, 80, 24}, "第二", "second_page"));

  ControlSpec menu = control_spec("list_menu", ControlKind::popup_menu, {});
  menu.menu_items = {{"播放原视频"}, {"打开原视频文件夹"}, MenuItem::make_separator(), {"删除已选择"}};
  spec.controls.push_back(menu);
  spec.controls.push_back(control_spec("text_colour", ControlKind::colour_picker, {620, 10, 40, 24}));
  spec.controls.push_back(control_spec("drag_panel", ControlKind::drawing_panel, {0, 0, 0, 0}));
  spec.controls.push_back(control_spec("preview", ControlKind::animation_box, {620, 40, 160, 120}));
  ControlSpec templ = control_spec("overlay_template", ControlKind::animation_template, {0, 0, 40, 20}, "", "preview");
  spec.controls.push_back(templ);
  spec.controls.push_back(control_spec("frame_picture", ControlKind::picture_box, {620, 170, 100, 40}));
  return spec;
}
