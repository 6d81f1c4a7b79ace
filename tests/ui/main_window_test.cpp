// The main window built from its design: every visual control with its state, the
// menus with their items, the pictures and icons read from the run folder.

#include <gtest/gtest.h>

#include <string_view>

#include "engine/common/globals.h"
#include "platform/gui/gui.h"
#include "tests/support/test_env.h"
#include "ui/main_window.h"
#include "ui/main_window_design.h"

namespace {

const std::string built_run_folder = QF_BINARY_DIR "/run";

ControlKind expected_kind(std::string_view kind) {
  if (kind == "button") return ControlKind::button;
  if (kind == "edit") return ControlKind::edit_box;
  if (kind == "check") return ControlKind::check_box;
  if (kind == "radio") return ControlKind::radio_button;
  if (kind == "combo") return ControlKind::combo_box;
  if (kind == "slider") return ControlKind::slider;
  if (kind == "progress") return ControlKind::progress_bar;
  if (kind == "label") return ControlKind::label;
  if (kind == "tabs") return ControlKind::tab_control;
  if (kind == "tab_page") return ControlKind::tab_page;
  if (kind == "group") return ControlKind::group_box;
  if (kind == "list") return ControlKind::list_view;
  if (kind == "colour_picker") return ControlKind::colour_picker;
  if (kind == "drawing_panel") return ControlKind::drawing_panel;
  ADD_FAILURE() << "unexpected kind " << kind;
  return ControlKind::label;
}

TEST(MainWindow, EveryDesignedControlExistsWithItsDesignedState) {
  HeadlessGui g;
  run_folder.set(built_run_folder);
  const WindowToken w = create_main_window();
  ASSERT_TRUE(w);
  EXPECT_EQ(main_window(), w);
  EXPECT_EQ(gui().find_window("MainWindow"), w);
  EXPECT_EQ(gui().title(w), "栖枫视频剪辑工具");
  EXPECT_EQ(gui().window_size(w), (GuiPoint{1020, 658}));
  EXPECT_FALSE(gui().window_visible(w));
  EXPECT_TRUE(gui().window_state(w).quit_on_destroy);

  int visual = 0;
  for (const ControlDesign& row : main_window_design()) {
    const std::string_view kind = row.kind;
    if (kind == "window" || !is_visual_control_kind(kind)) continue;
    ++visual;
    SCOPED_TRACE(row.role);
    const ControlRef ref{w, row.role};
    ASSERT_TRUE(gui().exists(ref));
    const ControlState state = gui().control_state(ref);
    EXPECT_EQ(state.kind, expected_kind(kind));
    EXPECT_EQ(state.container, std::string_view(row.container) == "MainWindow" ? "" : row.container);
    EXPECT_EQ(state.geometry, (GuiRect{row.x, row.y, row.w, row.h}));
    EXPECT_EQ(state.visible, row.visible);
    EXPECT_EQ(state.enabled, row.enabled);
    if (kind == "check" || kind == "radio") {
      EXPECT_EQ(state.checked, row.checked);
    }
    if (kind == "radio") {
      EXPECT_EQ(state.group, row.radio_group);
    }
    if (kind == "combo") {
      ASSERT_EQ(state.items.size(), row.items.size());
      for (std::size_t i = 0; i < row.items.size(); ++i) EXPECT_EQ(state.items[i], row.items[i]);
      EXPECT_EQ(state.selected, row.selected_index);
      EXPECT_EQ(state.editable, row.editable);
      EXPECT_EQ(state.text, row.selected_index >= 0 ? row.items[static_cast<std::size_t>(row.selected_index)] : "");
    } else {
      EXPECT_EQ(state.text, row.caption);
    }
    if (kind == "slider" || kind == "progress") {
      EXPECT_EQ(state.minimum, row.range_min);
      EXPECT_EQ(state.maximum, row.range_max);
      EXPECT_EQ(state.value, row.value);
    }
    if (kind == "edit") {
      EXPECT_EQ(state.digits_only, row.digits_only);
      EXPECT_EQ(state.multi_line, row.multi_line);
      EXPECT_EQ(state.read_only, row.read_only);
    }
    if (kind == "label") {
      EXPECT_EQ(state.transparent, row.transparent);
    }
    if (kind == "list") {
      ASSERT_EQ(state.columns.size(), row.columns.size());
      for (std::size_t i = 0; i < row.columns.size(); ++i) {
        EXPECT_EQ(state.columns[i].title, row.columns[i].title);
        EXPECT_EQ(state.columns[i].width, row.columns[i].width);
      }
      EXPECT_EQ(state.multi_select, row.multi_select);
      EXPECT_EQ(state.check_boxes, row.check_boxes);
      EXPECT_TRUE(state.rows.empty());
      EXPECT_FALSE(state.drop_target);  // registered by the created handler
    }
    if (kind == "colour_picker") {
      EXPECT_EQ(state.colour, row.colour);
    }
    // Every designed picture is in resources/ and decodes.
    if (*row.picture) {
      EXPECT_TRUE(state.picture.decoded());
    }
  }
  EXPECT_GT(visual, 150);

  // The tab control shows page 0 without headers of its own, its pages in order.
  EXPECT_EQ(gui().selected_index({w, "job_tabs"}), 0);
  EXPECT_FALSE(gui().control_state({w, "job_tabs"}).tab_headers_visible);
  EXPECT_EQ(gui().items({w, "job_tabs"}), (std::vector<std::string>{"视频转换", "合并视频", "剪辑视频"}));

  // The icon in its four sizes.
  const WindowState window = gui().window_state(w);
  ASSERT_EQ(window.icons.size(), 4u);
  EXPECT_EQ(window.icons[0].width, 16);
  EXPECT_EQ(window.icons[3].width, 64);
}

TEST(MainWindow, MenusCarryTheirItemsAndServicesAreNoControls) {
  HeadlessGui g;
  run_folder.set(built_run_folder);
  const WindowToken w = create_main_window();
  EXPECT_EQ(gui().kind({w, "tray_menu"}), ControlKind::popup_menu);
  const std::vector<MenuItem> tray = gui().menu_items({w, "tray_menu"});
  ASSERT_EQ(tray.size(), 4u);
  EXPECT_EQ(tray[0].text, "显示|隐藏");
  EXPECT_EQ(tray[1].text, "软件官网");
  EXPECT_TRUE(tray[2].separator);
  EXPECT_EQ(tray[3].text, "退出软件");
  const std::vector<MenuItem> list_menu = gui().menu_items({w, "list_context_menu"});
  ASSERT_EQ(list_menu.size(), 5u);
  EXPECT_EQ(list_menu[0].text, "播放原视频");
  EXPECT_TRUE(list_menu[2].separator);
  EXPECT_EQ(list_menu[4].text, "清空表格");

  for (const char* role : {"tray_show_hide_menu_item", "init_splash_show_timer", "option_hint_tip",
                           "audio_file_dialog", "convert_list_drop_target"})
    EXPECT_FALSE(gui().exists({w, role})) << role;
  EXPECT_EQ(gui().timer_interval(w, "init_splash_show_timer"), 0);

  register_main_window_drop_targets(w);
  for (const char* list : {"convert_list", "merge_list1", "merge_list2", "edit_list"})
    EXPECT_TRUE(gui().control_state({w, list}).drop_target) << list;
}

TEST(MainWindow, MissingPicturesLeaveControlsWithoutOne) {
  HeadlessGui g;
  test_env::TempDir empty;
  const WindowSpec spec = main_window_spec(empty.path());
  EXPECT_TRUE(spec.icons.empty());
  for (const ControlSpec& control : spec.controls) EXPECT_TRUE(control.picture.empty()) << control.role;
  const WindowToken w = gui().create_window(spec);
  EXPECT_TRUE(gui().exists({w, "convert_start_button"}));
}

}  // namespace
