#include "ui/main_window_design.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Area {
  int x, y, w, h;
};

// Where a control stands once the window's created handler has run: the window is
// 645 high and the merge page's output group has been moved down.
Area shown_area(const ControlDesign& c) {
  Area a{c.x, c.y, c.w, c.h};
  if (std::string(c.kind) == "window") a.h = main_window_created_height;
  if (std::string(c.role) == "merge_output_group") a.y = merge_output_group_created_top;
  return a;
}

bool is_container_kind(const std::string& kind) {
  return kind == "window" || kind == "tabs" || kind == "tab_page" || kind == "group" || kind == "menu";
}

const ControlDesign& control(const std::string& role) {
  const ControlDesign* c = find_main_window_control(role);
  if (!c) throw std::runtime_error("no control " + role);
  return *c;
}

std::string combo_text(const ControlDesign& c) {
  if (c.selected_index < 0 || c.selected_index >= static_cast<int>(c.items.size())) return "";
  return c.items[c.selected_index];
}

}  // namespace

TEST(MainWindowDesign, RolesAndDesignerNamesAreUniqueAndKindsKnown) {
  const std::set<std::string> kinds = {"window", "button", "edit", "check", "radio", "combo", "slider",
                                       "progress", "label", "tabs", "tab_page", "group", "list",
                                       "colour_picker", "drawing_panel", "menu", "menu_item", "menu_separator",
                                       "timer", "balloon_tip", "file_dialog", "drop_target"};
  std::set<std::string> roles, designer_names;
  for (const auto& c : main_window_design()) {
    EXPECT_TRUE(roles.insert(c.role).second) << "duplicate role " << c.role;
    if (*c.designer_name) {
      EXPECT_TRUE(designer_names.insert(c.designer_name).second) << c.designer_name;
    }
    EXPECT_TRUE(kinds.count(c.kind)) << c.role << " has kind " << c.kind;
  }
  // One window, first, and every lookup finds its own row.
  EXPECT_EQ(std::string(main_window_design().front().kind), "window");
  for (const auto& c : main_window_design()) {
    EXPECT_EQ(find_main_window_control(c.role), &c);
    if (*c.designer_name) {
      EXPECT_EQ(find_main_window_control_by_designer_name(c.designer_name), &c);
    }
  }
  EXPECT_EQ(find_main_window_control("no_such_control"), nullptr);
  EXPECT_EQ(find_main_window_control_by_designer_name(""), nullptr);
}

TEST(MainWindowDesign, EveryContainerExistsComesFirstAndHoldsFittingKinds) {
  std::map<std::string, size_t> index;
  const auto& design = main_window_design();
  for (size_t i = 0; i < design.size(); ++i) index[design[i].role] = i;
  for (size_t i = 1; i < design.size(); ++i) {
    const auto& c = design[i];
    ASSERT_TRUE(index.count(c.container)) << c.role << " in unknown container '" << c.container << "'";
    const auto& parent = design[index[c.container]];
    EXPECT_LT(index[c.container], i) << c.role << " comes before its container";
    const std::string kind = c.kind, parent_kind = parent.kind;
    EXPECT_TRUE(is_container_kind(parent_kind)) << c.role << " sits in a " << parent_kind;
    EXPECT_EQ(kind == "tab_page", parent_kind == "tabs") << c.role;
    EXPECT_EQ(kind == "menu_item" || kind == "menu_separator", parent_kind == "menu") << c.role;
  }
  // The pages keep their index order.
  const auto pages = main_window_children("job_tabs");
  ASSERT_EQ(pages.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pages[i]->value, i);
  // Drop targets name existing lists.
  for (const auto& c : design) {
    if (std::string(c.kind) == "drop_target") {
      EXPECT_EQ(std::string(control(c.target).kind), "list");
    }
  }
}

TEST(MainWindowDesign, EveryControlLiesInsideItsContainer) {
  for (const auto& c : main_window_design()) {
    if (!*c.container || !is_visual_control_kind(c.kind)) continue;
    const Area a = shown_area(c), p = shown_area(control(c.container));
    EXPECT_TRUE(a.w >= 0 && a.h >= 0 && a.x >= 0 && a.y >= 0) << c.role;
    EXPECT_LE(a.x + a.w, p.w) << c.role << " leaves " << c.container << " on the right";
    EXPECT_LE(a.y + a.h, p.h) << c.role << " leaves " << c.container << " at the bottom";
    // A group box's children stay below its caption.
    if (std::string(control(c.container).kind) == "group") {
      EXPECT_GE(a.y, 16) << c.role;
    }
  }
  // Every non-visual member belongs to the window or to a menu.
  for (const auto& c : main_window_design()) {
    if (is_visual_control_kind(c.kind)) continue;
    const std::string parent_kind = control(c.container).kind;
    EXPECT_TRUE(parent_kind == "window" || parent_kind == "menu") << c.role;
  }
}

TEST(MainWindowDesign, SiblingsDoNotOverlapUnlessDesignedTo) {
  // Hidden controls count too: the progress strip is shown while a job runs.
  const auto& design = main_window_design();
  int checked_pairs = 0;
  for (size_t i = 0; i < design.size(); ++i) {
    for (size_t j = i + 1; j < design.size(); ++j) {
      const auto &a = design[i], &b = design[j];
      if (std::string(a.container) != b.container || !*a.container) continue;
      if (!is_visual_control_kind(a.kind) || !is_visual_control_kind(b.kind)) continue;
      if (std::string(a.kind) == "tab_page") continue;  // pages share the tab control's area
      if (std::string(a.overlaps) == b.role || std::string(b.overlaps) == a.role) continue;
      const Area p = shown_area(a), q = shown_area(b);
      if (p.w == 0 || p.h == 0 || q.w == 0 || q.h == 0) continue;
      ++checked_pairs;
      const bool apart = p.x + p.w <= q.x || q.x + q.w <= p.x || p.y + p.h <= q.y || q.y + q.h <= p.y;
      EXPECT_TRUE(apart) << a.role << " overlaps " << b.role;
    }
  }
  EXPECT_GT(checked_pairs, 1000);
  // The designed overlap is the output count standing inside its text label.
  const Area number = shown_area(control("merge_output_count_label"));
  const Area text = shown_area(control("merge_output_count_text_label"));
  EXPECT_TRUE(number.x >= text.x && number.x + number.w <= text.x + text.w && number.y >= text.y &&
              number.y + number.h <= text.y + text.h);
}

TEST(MainWindowDesign, RadioGroupsHaveOneContainerAndOneCheckedRadio) {
  std::map<std::string, std::vector<const ControlDesign*>> groups;
  for (const auto& c : main_window_design()) {
    if (std::string(c.kind) != "radio") {
      EXPECT_FALSE(c.checked && std::string(c.kind) != "check") << c.role;
      continue;
    }
    ASSERT_TRUE(*c.radio_group) << c.role << " has no group";
    groups[c.radio_group].push_back(&c);
  }
  const std::map<std::string, std::string> checked_at_design = {
      {"convert_format", "convert_format_mp4_radio"},
      {"convert_save_mode", "convert_save_to_folder_radio"},
      {"merge_format", "merge_format_mp4_radio"},
      {"merge_title", "merge_title_from_source1_radio"},
      {"edit_format", "edit_format_mp4_radio"},
      {"custom_command_order", "custom_after_radio"}};
  EXPECT_EQ(groups.size(), checked_at_design.size());
  for (const auto& [group, radios] : groups) {
    EXPECT_EQ(main_window_radio_group(group), radios);
    std::vector<std::string> checked;
    for (const auto* r : radios) {
      EXPECT_EQ(std::string(r->container), radios.front()->container) << r->role;
      if (r->checked) checked.push_back(r->role);
    }
    ASSERT_EQ(checked.size(), 1u) << group;
    EXPECT_EQ(checked.front(), checked_at_design.at(group));
  }
  // The format radios keep the order the jobs read them in.
  const std::vector<std::string> convert_order = {"单选框1", "单选框2", "单选框3", "单选框4",
                                                  "单选框5", "单选框6", "单选框7"};
  const auto convert_radios = main_window_radio_group("convert_format");
  ASSERT_EQ(convert_radios.size(), convert_order.size());
  for (size_t i = 0; i < convert_order.size(); ++i)
    EXPECT_EQ(convert_radios[i]->designer_name, convert_order[i]);
  for (const auto& [group, first] : std::map<std::string, int>{{"merge_format", 10}, {"edit_format", 16}}) {
    const auto radios = main_window_radio_group(group);
    ASSERT_EQ(radios.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(radios[i]->designer_name, "单选框" + std::to_string(first + i));
  }
}

// Captions, designer names and kinds as the window's behaviour and the settings keys
// (x/y/z + designer number) expect them.
TEST(MainWindowDesign, NamedControlsCarryTheirCaptions) {
  struct Row {
    const char* role;
    const char* designer_name;
    const char* kind;
    const char* caption;
  };
  const Row rows[] = {
      {"MainWindow", "", "window", "栖枫视频剪辑工具"},
      {"convert_page_button", "超级按钮1", "button", "批量转换视频"},
      {"merge_page_button", "超级按钮2", "button", "批量合并视频"},
      {"edit_page_button", "超级按钮3", "button", "批量剪辑视频"},
      {"job_tabs", "选择夹1", "tabs", ""},
      {"convert_page", "", "tab_page", "视频转换"},
      {"merge_page", "", "tab_page", "合并视频"},
      {"edit_page", "", "tab_page", "剪辑视频"},
      {"overall_progress_bar", "进度条2", "progress", ""},
      {"overall_progress_label", "透明标签5", "label", "0 / 0"},
      {"file_progress_bar", "进度条1", "progress", ""},
      {"file_progress_label", "透明标签4", "label", "0 %"},
      {"multithread_check", "选择框31", "check", "多线程"},
      {"thread_count_field", "编辑框34", "edit", "2"},
      {"gpu_decode_check", "选择框32", "check", "GPU加速（用显卡解码）"},
      {"convert_start_button", "超级按钮13", "button", "开始转换"},
      {"merge_start_button", "超级按钮26", "button", "开始合并"},
      {"edit_start_button", "超级按钮37", "button", "开始剪辑"},
      {"convert_list", "超级列表框1", "list", ""},
      {"merge_list1", "超级列表框2", "list", ""},
      {"merge_list2", "超级列表框3", "list", ""},
      {"edit_list", "超级列表框4", "list", ""},
      {"convert_add_videos_button", "", "button", "添加视频"},
      {"convert_add_folder_button", "", "button", "添加视频文件夹"},
      {"convert_add_m3u8_button", "超级按钮55", "button", "添加m3u8视频地址"},
      {"convert_delete_selected_button", "", "button", "删除已选择的原视频地址"},
      {"convert_clear_button", "", "button", "清空表格"},
      {"convert_select_all_button", "超级按钮9", "button", "全选"},
      {"convert_invert_button", "超级按钮10", "button", "反选"},
      {"merge_add_videos1_button", "", "button", "添加视频"},
      {"merge_add_folder2_button", "", "button", "添加视频文件夹"},
      {"merge_delete_selected1_button", "", "button", "删除已选择的原视频１地址"},
      {"merge_delete_selected2_button", "", "button", "删除已选择的原视频２地址"},
      {"merge_select_all1_button", "超级按钮18", "button", "全选"},
      {"merge_invert1_button", "超级按钮19", "button", "反选"},
      {"merge_select_all2_button", "超级按钮24", "button", "全选"},
      {"merge_invert2_button", "超级按钮25", "button", "反选"},
      {"edit_delete_selected_button", "", "button", "删除已选择的原视频地址"},
      {"edit_select_all_button", "超级按钮33", "button", "全选"},
      {"edit_invert_button", "超级按钮34", "button", "反选"},
      {"merge_list1_count_label", "透明标签12", "label", "共 0 个视频"},
      {"merge_list2_count_label", "透明标签13", "label", "共 0 个视频"},
      {"edit_list_count_label", "透明标签35", "label", "共 0 个视频"},
      {"merge_output_count_label", "透明标签11", "label", "0"},
      {"merge_output_count_text_label", "透明标签10", "label", "可生成              个新视频"},
      {"convert_delete_source_check", "选择框1", "check", "转换成功后，删除原视频文件（删除后的文件不能恢复）"},
      {"convert_format_mp4_radio", "单选框1", "radio", "MP4视频"},
      {"convert_format_flv_radio", "单选框2", "radio", "FLV视频"},
      {"convert_format_mov_radio", "单选框3", "radio", "MOV视频"},
      {"convert_format_mkv_radio", "单选框4", "radio", "MKV视频"},
      {"convert_format_ts_radio", "单选框5", "radio", "TS视频"},
      {"convert_format_wmv_radio", "单选框6", "radio", "WMV视频"},
      {"convert_format_mp3_radio", "单选框7", "radio", "MP3音频"},
      {"convert_save_beside_source_radio", "单选框8", "radio", "保存在原视频相同位置"},
      {"convert_save_to_folder_radio", "单选框9", "radio", "指定位置"},
      {"merge_format_mp4_radio", "单选框10", "radio", "MP4"},
      {"merge_format_wmv_radio", "单选框15", "radio", "WMV"},
      {"merge_all_source1_check", "选择框2", "check", "合并所有原视频１"},
      {"merge_all_source2_check", "选择框3", "check", "合并所有原视频２"},
      {"merge_transition_check", "选择框35", "check", "添加转场特效："},
      {"merge_transition_combo", "组合框13", "combo", ""},
      {"merge_title_from_source1_radio", "单选框28", "radio", "以原视频１为新标题"},
      {"merge_title_from_source2_radio", "单选框29", "radio", "以原视频２为新标题"},
      {"merge_output_group", "分组框4", "group", "新视频保存位置"},
      {"list_drag_label", "画板1", "drawing_panel", ""},
      {"convert_output_folder_field", "编辑框1", "edit", ""},
      {"merge_output_folder_field", "编辑框2", "edit", ""},
      {"edit_output_folder_field", "编辑框3", "edit", ""},
      {"convert_browse_button", "超级按钮11", "button", "浏览"},
      {"convert_open_folder_button", "超级按钮12", "button", "打开文件夹"},
      {"merge_browse_button", "超级按钮27", "button", "浏览"},
      {"merge_open_folder_button", "超级按钮28", "button", "打开文件夹"},
      {"edit_browse_button", "超级按钮35", "button", "浏览"},
      {"edit_open_folder_button", "超级按钮36", "button", "打开文件夹"},
      {"head_trim_check", "选择框4", "check", "片头减时："},
      {"tail_trim_check", "选择框5", "check", "片尾减时："},
      {"frame_rate_check", "选择框20", "check", "帧速率："},
      {"sharpen_check", "选择框14", "check", "视频锐化"},
      {"decolour_check", "选择框15", "check", "视频去色"},
      {"mute_check", "选择框10", "check", "去除视频声音"},
      {"flash_halo_check", "选择框11", "check", "闪烁光晕"},
      {"portrait_to_landscape_check", "选择框25", "check", "竖屏改横屏"},
      {"landscape_to_portrait_check", "选择框26", "check", "横屏改竖屏"},
      {"hflip_check", "选择框6", "check", "水平翻转"},
      {"vflip_check", "选择框7", "check", "垂直翻转"},
      {"rotate_cw_check", "选择框8", "check", "顺时90度"},
      {"rotate_ccw_check", "选择框9", "check", "逆时90度"},
      {"random_transition_check", "选择框36", "check", "随机转场"},
      {"fade_in_check", "选择框12", "check", "渐入效果"},
      {"colour_cycle_check", "选择框13", "check", "色彩变幻效果"},
      {"halo_check", "选择框19", "check", "光晕效果"},
      {"speed_check", "选择框30", "check", "播放倍速："},
      {"audio_rate_check", "选择框34", "check", "音频采样率："},
      {"subtitle_check", "选择框16", "check", "添加滚动字幕："},
      {"merge_audio_check", "选择框17", "check", "合并音频文件："},
      {"delogo_check", "选择框21", "check", "去除视频水印，左距："},
      {"picture_watermark_check", "选择框18", "check", "添加图片水印："},
      {"top_bottom_pictures_check", "选择框24", "check", "添加上下图片水印："},
      {"resize_check", "选择框22", "check", "修改视频尺寸，宽度："},
      {"background_picture_check", "选择框27", "check", "添加视频背景图片："},
      {"crop_check", "选择框28", "check", "画面裁切为宽度："},
      {"blur_border_check", "选择框23", "check", "虚化边框背景，将原视频缩小到："},
      {"custom_command_check", "选择框33", "check", "高级自定义"},
      {"compress_check", "选择框29", "check", "压缩视频容量"},
      {"custom_before_radio", "单选框26", "radio", "在选项前执行"},
      {"custom_after_radio", "单选框27", "radio", "在选项后执行"},
      {"custom_command_edit_button", "超级按钮58", "button", "编辑"},
      {"reverse_subtitle_button", "超级按钮40", "button", "文字颠倒"},
      {"choose_audio_file_button", "超级按钮38", "button", "选择音频文件"},
      {"choose_watermark_picture_button", "超级按钮39", "button", "选择水印图片"},
      {"choose_top_picture_button", "超级按钮52", "button", "选择上图"},
      {"choose_bottom_picture_button", "超级按钮53", "button", "选择下图"},
      {"choose_background_picture_button", "超级按钮56", "button", "选择图片"},
      {"delogo_region_button", "超级按钮54", "button", "智能编辑水印位置"},
      {"watermark_position_button", "超级按钮59", "button", "智能编辑图片位置"},
      {"crop_region_button", "超级按钮57", "button", "智能编辑裁切区域"},
      {"subtitle_colour_picker", "颜色选择器1", "colour_picker", ""},
      {"compress_strength_slider", "滑块条1", "slider", ""},
      {"tray_menu", "菜单二", "menu", ""},
      {"list_context_menu", "菜单一", "menu", ""},
      {"init_splash_show_timer", "时钟7", "timer", ""},
      {"option_hint_tip", "气球提示框1", "balloon_tip", ""},
      {"audio_file_dialog", "通用对话框1", "file_dialog", ""},
      {"picture_file_dialog", "通用对话框2", "file_dialog", ""},
      {"convert_list_drop_target", "拖放对象1", "drop_target", ""},
      {"edit_list_drop_target", "拖放对象4", "drop_target", ""},
  };
  for (const auto& row : rows) {
    const ControlDesign* c = find_main_window_control(row.role);
    ASSERT_NE(c, nullptr) << row.role;
    EXPECT_EQ(std::string(c->designer_name), row.designer_name) << row.role;
    EXPECT_EQ(std::string(c->kind), row.kind) << row.role;
    EXPECT_EQ(std::string(c->caption), row.caption) << row.role;
  }
}

TEST(MainWindowDesign, EveryEditBoxAndComboOfTheSettingsKeysExists) {
  // Keys xN, yN and zN of the edit section name check box N, edit box N and combo box N.
  const int checks[] = {4, 5, 20, 14, 15, 10, 11, 6, 7, 8, 9, 12, 13, 19, 16, 17, 18,
                        21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 36};
  const int edits[] = {4, 5, 12, 6, 11, 7, 8, 9, 10, 13, 14, 15, 16, 17, 18, 25, 26, 27, 28, 29, 30, 31,
                       32, 33, 34, 35};
  const int combos[] = {1, 2, 3, 4, 5, 8, 10, 6, 9, 11, 12};
  for (int n : checks) {
    const auto* c = find_main_window_control_by_designer_name("选择框" + std::to_string(n));
    ASSERT_NE(c, nullptr) << n;
    EXPECT_EQ(std::string(c->kind), "check") << n;
    EXPECT_FALSE(c->checked) << n;
  }
  for (int n : edits) {
    const auto* c = find_main_window_control_by_designer_name("编辑框" + std::to_string(n));
    ASSERT_NE(c, nullptr) << n;
    EXPECT_EQ(std::string(c->kind), "edit") << n;
  }
  for (int n : combos) {
    const auto* c = find_main_window_control_by_designer_name("组合框" + std::to_string(n));
    ASSERT_NE(c, nullptr) << n;
    EXPECT_EQ(std::string(c->kind), "combo") << n;
  }
}

TEST(MainWindowDesign, ValueControlsHoldTheirItemsRangesAndFirstStartValues) {
  struct ComboRow {
    const char* role;
    size_t items;
    const char* first;
    const char* last;
    const char* text;
    bool editable;
  };
  const ComboRow combos[] = {
      {"speed_combo", 15, "0.5", "2.0", "1.1", false},
      {"subtitle_size_combo", 9, "20", "60", "35", true},
      {"subtitle_direction_combo", 2, "向左", "向右", "向左", false},
      {"subtitle_shadow_combo", 11, "-5", "5", "0", false},
      {"subtitle_speed_combo", 10, "1", "10", "2", false},
      {"blur_border_scale_combo", 10, "95%", "50%", "90%", false},
      {"background_size_combo", 2, "背景图", "原视频", "背景图", false},
      {"background_scale_combo", 11, "100%", "50%", "95%", false},
      {"background_position_combo", 2, "居中", "自定义", "居中", false},
      {"compress_mode_combo", 2, "模式一", "模式二", "模式二", false},
  };
  for (const auto& row : combos) {
    const auto& c = control(row.role);
    ASSERT_EQ(c.items.size(), row.items) << row.role;
    EXPECT_EQ(std::string(c.items.front()), row.first) << row.role;
    EXPECT_EQ(std::string(c.items.back()), row.last) << row.role;
    EXPECT_EQ(combo_text(c), row.text) << row.role;
    EXPECT_EQ(c.editable, row.editable) << row.role;
  }
  // 1.0 is no speed change, so it is not offered.
  for (const char* item : control("speed_combo").items) EXPECT_NE(std::string(item), "1.0");
  // Filled at run time: the transitions by the settings thread, the fonts by the font list.
  for (const char* role : {"merge_transition_combo", "subtitle_font_combo"}) {
    EXPECT_TRUE(control(role).items.empty()) << role;
    EXPECT_FALSE(control(role).editable) << role;
  }
  for (const auto& c : main_window_design()) {
    if (std::string(c.kind) == "combo") {
      EXPECT_TRUE(c.selected_index >= -1 && c.selected_index < static_cast<int>(c.items.size())) << c.role;
    }
  }

  const auto& slider = control("compress_strength_slider");
  EXPECT_EQ(slider.range_min, 1);
  EXPECT_EQ(slider.range_max, 20);
  EXPECT_EQ(slider.value, 10);
  EXPECT_EQ(control("subtitle_colour_picker").colour, 65535u);
  for (const char* role : {"overall_progress_bar", "file_progress_bar"}) {
    EXPECT_EQ(control(role).value, 0);
    EXPECT_LT(control(role).range_min, control(role).range_max);
  }
  EXPECT_EQ(control("init_splash_show_timer").value, 0);

  const std::map<std::string, std::string> field_texts = {
      {"head_trim_seconds_field", "3"},   {"tail_trim_seconds_field", "2"}, {"frame_rate_field", "25"},
      {"subtitle_bottom_field", "30"},    {"watermark_left_field", "10"},   {"watermark_top_field", "10"},
      {"delogo_left_field", "10"},        {"delogo_top_field", "10"},       {"delogo_width_field", "100"},
      {"delogo_height_field", "50"},      {"resize_width_field", "1280"},   {"resize_height_field", "720"},
      {"background_left_field", "0"},     {"background_top_field", "0"},    {"crop_width_field", "640"},
      {"crop_height_field", "360"},       {"crop_left_field", "0"},         {"crop_top_field", "0"},
      {"thread_count_field", "2"},        {"audio_rate_field", "48"},       {"subtitle_text_field", ""},
      {"audio_file_field", ""},           {"watermark_picture_field", ""},  {"top_picture_field", ""},
      {"bottom_picture_field", ""},       {"background_picture_field", ""}};
  for (const auto& [role, text] : field_texts) EXPECT_EQ(std::string(control(role).caption), text) << role;
  // The thread count goes onto converter command lines: typing takes digits only.
  EXPECT_TRUE(control("thread_count_field").digits_only);
}

TEST(MainWindowDesign, ListsHaveTheirColumnsAndFitThem) {
  const std::map<std::string, std::vector<std::pair<std::string, int>>> expected = {
      {"convert_list", {{"序号", 60}, {"原视频地址", 805}, {"状态", 100}}},
      {"merge_list1", {{"序号", 60}, {"原视频１的地址", 805}, {"视频时长", 100}}},
      {"merge_list2", {{"序号", 60}, {"原视频２的地址", 805}, {"视频时长", 100}}},
      {"edit_list", {{"序号", 60}, {"原视频地址", 703}, {"时长", 100}, {"状态", 100}}}};
  for (const auto& [role, columns] : expected) {
    const auto& list = control(role);
    ASSERT_EQ(list.columns.size(), columns.size()) << role;
    int total = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
      EXPECT_EQ(std::string(list.columns[i].title), columns[i].first) << role << " " << i;
      EXPECT_EQ(list.columns[i].width, columns[i].second) << role << " " << i;
      total += list.columns[i].width;
    }
    // Room for the columns and a vertical scroll bar.
    EXPECT_LE(total + 20, list.w) << role;
    EXPECT_TRUE(list.multi_select && list.full_row_select) << role;
    EXPECT_FALSE(list.check_boxes) << role;
  }
}

TEST(MainWindowDesign, MenusHoldTheirItemsInOrder) {
  const std::map<std::string, std::vector<std::string>> menus = {
      {"tray_menu", {"显示|隐藏", "软件官网", "-", "退出软件"}},
      {"list_context_menu", {"播放原视频", "打开原视频文件夹", "-", "删除已选择", "清空表格"}}};
  for (const auto& [menu, captions] : menus) {
    std::vector<std::string> got;
    for (const auto* item : main_window_children(menu))
      got.push_back(std::string(item->kind) == "menu_separator" ? "-" : item->caption);
    EXPECT_EQ(got, captions) << menu;
  }
}

TEST(MainWindowDesign, DesignedStatesBeforeAnySettingIsRead) {
  // The progress strip is hidden while no job runs.
  for (const char* role : {"overall_progress_bar", "overall_progress_label", "file_progress_bar",
                           "file_progress_label"})
    EXPECT_FALSE(control(role).visible) << role;
  // Disabled until the lists and options allow them.
  for (const char* role : {"merge_start_button", "merge_all_source1_check", "merge_all_source2_check",
                           "edit_start_button", "merge_transition_combo", "thread_count_field"})
    EXPECT_FALSE(control(role).enabled) << role;
  for (const char* role : {"convert_start_button", "convert_page_button", "merge_page_button",
                           "edit_page_button", "multithread_check", "gpu_decode_check", "custom_command_check"})
    EXPECT_TRUE(control(role).enabled) << role;

  // Each option box enables its value controls; all boxes start unchecked, so every value
  // control starts disabled and sits beside its box in the same container.
  const std::map<std::string, std::vector<std::string>> value_controls = {
      {"head_trim_check", {"head_trim_seconds_field"}},
      {"tail_trim_check", {"tail_trim_seconds_field"}},
      {"frame_rate_check", {"frame_rate_field"}},
      {"speed_check", {"speed_combo"}},
      {"audio_rate_check", {"audio_rate_field"}},
      {"subtitle_check",
       {"subtitle_text_field", "reverse_subtitle_button", "subtitle_font_combo", "subtitle_size_combo",
        "subtitle_colour_picker", "subtitle_direction_combo", "subtitle_shadow_combo", "subtitle_bottom_field",
        "subtitle_speed_combo"}},
      {"merge_audio_check", {"audio_file_field", "choose_audio_file_button"}},
      {"delogo_check",
       {"delogo_left_field", "delogo_top_field", "delogo_width_field", "delogo_height_field",
        "delogo_region_button"}},
      {"picture_watermark_check",
       {"watermark_picture_field", "choose_watermark_picture_button", "watermark_left_field",
        "watermark_top_field", "watermark_position_button"}},
      {"top_bottom_pictures_check",
       {"top_picture_field", "choose_top_picture_button", "choose_bottom_picture_button",
        "bottom_picture_field"}},
      {"resize_check", {"resize_width_field", "resize_height_field"}},
      {"background_picture_check",
       {"background_picture_field", "choose_background_picture_button", "background_size_combo",
        "background_scale_combo", "background_position_combo", "background_left_field",
        "background_top_field"}},
      {"crop_check",
       {"crop_width_field", "crop_height_field", "crop_left_field", "crop_top_field", "crop_region_button"}},
      {"blur_border_check", {"blur_border_scale_combo"}},
      {"custom_command_check", {"custom_command_edit_button", "custom_before_radio", "custom_after_radio"}},
      {"compress_check", {"compress_mode_combo", "compress_strength_slider"}},
      {"multithread_check", {"thread_count_field"}}};
  for (const auto& [box, values] : value_controls) {
    EXPECT_FALSE(control(box).checked) << box;
    for (const auto& role : values) {
      EXPECT_FALSE(control(role).enabled) << role;
      EXPECT_EQ(std::string(control(role).container), control(box).container) << role;
    }
  }
  // The edit job disables the options group as a whole and the custom-command row one by
  // one, so the row stands outside the group; the 30 option boxes stand inside it.
  int boxes_in_group = 0;
  for (const auto* c : main_window_children("edit_options_group"))
    if (std::string(c->kind) == "check") ++boxes_in_group;
  EXPECT_EQ(boxes_in_group, 29);  // the 30th, custom_command_check, heads the custom-command row
  EXPECT_EQ(std::string(control("custom_command_check").container), "edit_page");
  EXPECT_EQ(std::string(control("edit_start_button").container), "edit_page");
  // The merge page's output group is designed higher up and moved by the created handler.
  EXPECT_EQ(control("merge_output_group").y, 218);
  EXPECT_NE(merge_output_group_created_top, 218);
  EXPECT_EQ(control("list_drag_label").w, 0);
  EXPECT_EQ(control("list_drag_label").h, 0);
  EXPECT_EQ(std::string(control("list_drag_label").container), "merge_page");
}

TEST(MainWindowDesign, WindowSizesAndPictures) {
  const auto& w = control("MainWindow");
  EXPECT_EQ(w.w, 1020);
  EXPECT_EQ(w.h, 658);
  EXPECT_EQ(main_window_created_height, 645);
  EXPECT_EQ(std::string(main_window_created_title), "栖枫视频剪辑工具 V7.0");
  EXPECT_EQ(std::string(tray_tip_text), "栖枫视频剪辑工具");
  EXPECT_EQ(std::string(w.picture), program_icon_path);
  for (const char* role : {"convert_page_button", "merge_page_button", "edit_page_button"}) {
    EXPECT_EQ(control(role).w, 96) << role;
    EXPECT_EQ(control(role).h, 88) << role;
  }
  EXPECT_EQ(control("reverse_subtitle_button").w, 24);
  EXPECT_EQ(control("reverse_subtitle_button").h, 24);
  EXPECT_EQ(std::string(control("convert_start_button").picture), convert_idle_picture_path);
  EXPECT_EQ(std::string(control("merge_start_button").picture), merge_idle_picture_path);
  EXPECT_EQ(std::string(control("edit_start_button").picture), edit_idle_picture_path);
  // Every picture the design names is one of the program's pictures.
  const std::set<std::string> pictures(resource_picture_paths.begin(), resource_picture_paths.end());
  for (const auto& c : main_window_design()) {
    if (*c.picture) {
      EXPECT_TRUE(pictures.count(c.picture)) << c.role << " " << c.picture;
    }
  }
}
