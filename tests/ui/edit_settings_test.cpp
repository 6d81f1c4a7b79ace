// The edit page's settings: the key table against the window's design, the first start
// without a settings file, a file with unusual values, and the rule that nothing is
// saved before the settings load has been applied.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string_view>

#include "engine/common/globals.h"
#include "engine/common/transition_table.h"
#include "platform/files.h"
#include "tests/ui/settings_test_support.h"
#include "ui/edit_options.h"
#include "ui/main_window_design.h"
#include "ui/startup_tasks.h"

namespace {

std::string text(const char* role) { return gui().text(control(role)); }
bool checked(const char* role) { return gui().checked(control(role)); }
bool enabled(const char* role) { return gui().enabled(control(role)); }

// The 72 keys in table order with the values the designed controls give.
const std::vector<std::pair<std::string, std::string>> designed_entries = {
    {"x4", "n"},      {"y4", "3"},     {"x5", "n"},      {"y5", "2"},     {"x20", "n"},     {"y12", "25"},
    {"x14", "n"},     {"x15", "n"},    {"x10", "n"},     {"x11", "n"},    {"x6", "n"},      {"x7", "n"},
    {"x8", "n"},      {"x9", "n"},     {"x12", "n"},     {"x13", "n"},    {"x19", "n"},     {"x16", "n"},
    {"y6", ""},       {"z1", "DejaVu Sans(DejaVuSans)"}, {"z2", "35"},    {"z3", "向左"},   {"z4", "0"},
    {"z5", "2"},      {"ys", "65535"}, {"y11", "30"},    {"x17", "n"},    {"y7", ""},       {"x18", "n"},
    {"y8", ""},       {"y9", "10"},    {"y10", "10"},    {"x21", "n"},    {"y13", "10"},    {"y14", "10"},
    {"y15", "100"},   {"y16", "50"},   {"x22", "n"},     {"y17", "1280"}, {"y18", "720"},   {"x23", "n"},
    {"z8", "90%"},    {"x24", "n"},    {"y25", ""},      {"y26", ""},     {"x25", "n"},     {"x26", "n"},
    {"x27", "n"},     {"y27", ""},     {"z10", "背景图"}, {"z6", "95%"},   {"z9", "居中"},   {"y28", "0"},
    {"y29", "0"},     {"x28", "n"},    {"y30", "640"},   {"y31", "360"},  {"y32", "0"},     {"y33", "0"},
    {"x29", "n"},     {"z11", "模式二"}, {"h1", "10"},    {"x30", "n"},    {"z12", "1.1"},   {"x31", "n"},
    {"y34", "2"},     {"x32", "n"},    {"x33", "n"},     {"dd33", "b"},   {"x34", "n"},     {"y35", "48"},
    {"x36", "n"},
};

// The designer name a key stands for: xN 选择框N, yN 编辑框N, zN 组合框N, and the
// three special keys.
std::string designer_name_of_key(std::string_view key) {
  if (key == "ys") return "颜色选择器1";
  if (key == "h1") return "滑块条1";
  if (key == "dd33") return "单选框26";
  const std::string number(key.substr(1));
  switch (key.front()) {
    case 'x': return "选择框" + number;
    case 'y': return "编辑框" + number;
    case 'z': return "组合框" + number;
  }
  return {};
}

TEST(EditSettingsKeys, EveryKeyNamesItsDesignedControlAndTheLoadReadsEachOnce) {
  const auto& keys = edit_setting_keys();
  ASSERT_EQ(keys.size(), 72u);
  ASSERT_EQ(keys.size(), designed_entries.size());
  std::set<std::string> seen;
  for (size_t i = 0; i < keys.size(); ++i) {
    const EditSettingKey& key = keys[i];
    SCOPED_TRACE(key.key);
    EXPECT_EQ(key.key, designed_entries[i].first);
    EXPECT_TRUE(seen.insert(key.key).second);
    const ControlDesign* row = find_main_window_control_by_designer_name(designer_name_of_key(key.key));
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->role, key.role);
    if (key.kind == EditSettingKind::radio_pair) {
      const ControlDesign* other = find_main_window_control_by_designer_name("单选框27");
      ASSERT_NE(other, nullptr);
      EXPECT_STREQ(other->role, key.other_role);
    }
  }
  // The load reads every key but "z1" (the font list selects it) and "x36" (read after
  // the merge page's keys), each once.
  std::multiset<std::string> loaded(edit_settings_load_order().begin(), edit_settings_load_order().end());
  loaded.insert("x36");
  loaded.insert("z1");
  EXPECT_EQ(loaded, std::multiset<std::string>(seen.begin(), seen.end()));
}

TEST(EditSettings, FirstStartWritesExactlyTheSeventyTwoKeysWithTheDesignedValues) {
  HeadlessGui g;
  MainWindowRunFolder run;
  add_font(run, "DejaVuSans.ttf", "DejaVuSans.ttf");
  start_main_window(g, run);

  EXPECT_EQ(section_entries(run.config(), "批量剪辑视频"), designed_entries);
  // Only that section: the other pages write theirs when their jobs or folders say so.
  const std::string file = test_env::read_file(run.config());
  EXPECT_EQ(file.find("[批量剪辑视频]"), 0u);
  EXPECT_EQ(file.find('[', 1), std::string::npos);

  // What the first start shows.
  for (const char* box : {"head_trim_check", "sharpen_check", "multithread_check", "gpu_decode_check",
                          "random_transition_check", "custom_command_check"})
    EXPECT_FALSE(checked(box)) << box;
  EXPECT_TRUE(checked("custom_after_radio"));
  EXPECT_TRUE(checked("merge_title_from_source1_radio"));
  EXPECT_TRUE(checked("merge_transition_check"));
  EXPECT_EQ(gui().items(control("merge_transition_combo")), transition_combo_items());
  EXPECT_EQ(text("merge_transition_combo"), "随机特效");
  EXPECT_TRUE(enabled("merge_transition_combo"));
  EXPECT_FALSE(enabled("edit_start_button"));
  EXPECT_FALSE(enabled("head_trim_seconds_field"));
  EXPECT_EQ(ffmpeg_global_options.get(), "");
  EXPECT_EQ(gui().value(control("compress_strength_slider")), 10);
  EXPECT_EQ(gui().colour(control("subtitle_colour_picker")), 65535u);
}

TEST(EditSettings, UnusualStoredValuesAreRestoredAndRewrittenByTheirRules) {
  HeadlessGui g;
  MainWindowRunFolder run;
  run.write_config(
      "; kept as it is\r\n"
      "[原视频]\r\n打开位置1=/srv/videos/\r\n"
      "[批量剪辑视频]\r\n"
      "x4=Y\r\nx5=y\r\ny4=  7  \r\nx14=yes\r\nx8=y\r\nx9=y\r\n"
      "y6=走马灯 = 文字\r\nz2=72\r\nz3=向右\r\nz4=-3\r\nz5=1\r\nys=２５５\r\n"
      "h1=21\r\nz8=85\r\nz6=85\r\nz10=xyz\r\nz9=自定义\r\nz11=模式一\r\nz12=3\r\n"
      "x31=y\r\ny34=2 -y\r\nx32=y\r\ndd33=a\r\n"
      "hbtitle=b\r\nzctx=A\r\nzctx1=3\r\n"
      "unknown=stays\r\n保存位置=\r\n"
      "[批量转换视频]\r\n保存方式=a\r\n");
  start_main_window(g, run);

  EXPECT_FALSE(checked("head_trim_check"));  // only a lower-case "y" checks a box
  EXPECT_TRUE(checked("tail_trim_check"));
  EXPECT_FALSE(checked("sharpen_check"));
  EXPECT_TRUE(checked("rotate_cw_check"));  // the load restores each rotation on its own
  EXPECT_TRUE(checked("rotate_ccw_check"));
  EXPECT_EQ(text("head_trim_seconds_field"), "7");
  EXPECT_EQ(text("subtitle_text_field"), "走马灯 = 文字");
  EXPECT_EQ(text("subtitle_size_combo"), "72");      // an editable combo takes any text
  EXPECT_EQ(text("subtitle_direction_combo"), "向右");
  EXPECT_EQ(text("subtitle_shadow_combo"), "-3");
  EXPECT_EQ(text("subtitle_speed_combo"), "1");
  EXPECT_EQ(gui().colour(control("subtitle_colour_picker")), 255u);
  EXPECT_EQ(gui().value(control("compress_strength_slider")), 10);
  EXPECT_EQ(text("blur_border_scale_combo"), "85%");    // a select key: the first item beginning with it
  EXPECT_EQ(text("background_scale_combo"), "95%");     // a percentage without "%" gives 95%
  EXPECT_EQ(text("background_size_combo"), "原视频");
  EXPECT_EQ(text("background_position_combo"), "自定义");
  EXPECT_EQ(text("compress_mode_combo"), "模式一");
  EXPECT_EQ(text("speed_combo"), "1.1");  // no item begins with "3": the selection stays
  EXPECT_TRUE(checked("custom_before_radio"));
  EXPECT_FALSE(checked("custom_after_radio"));
  EXPECT_TRUE(checked("merge_title_from_source2_radio"));
  EXPECT_FALSE(checked("merge_transition_check"));  // only "a" turns the transition on
  EXPECT_EQ(text("merge_transition_combo"), "渐白切换");
  EXPECT_FALSE(enabled("merge_transition_combo"));
  EXPECT_EQ(text("thread_count_field"), "2 -y");
  // An empty stored output folder counts as missing.
  EXPECT_EQ(text("edit_output_folder_field"), run.path() + "/新媒体");
  // A count that is no whole number never reaches a command.
  EXPECT_EQ(ffmpeg_global_options.get(), " -hwaccel auto");

  const auto entries = section_entries(run.config(), "批量剪辑视频");
  std::map<std::string, std::string> values(entries.begin(), entries.end());
  EXPECT_EQ(values["x4"], "n");
  EXPECT_EQ(values["x5"], "y");
  EXPECT_EQ(values["x14"], "n");
  EXPECT_EQ(values["y4"], "7");
  EXPECT_EQ(values["y6"], "走马灯 = 文字");
  EXPECT_EQ(values["z2"], "72");
  EXPECT_EQ(values["ys"], "255");
  EXPECT_EQ(values["h1"], "10");
  EXPECT_EQ(values["z8"], "85%");
  EXPECT_EQ(values["z6"], "95%");
  EXPECT_EQ(values["z10"], "原视频");
  EXPECT_EQ(values["z12"], "1.1");
  EXPECT_EQ(values["y34"], "2 -y");
  EXPECT_EQ(values["dd33"], "a");
  // The merge page's keys are left as they were; unknown keys and other sections stay.
  EXPECT_EQ(values["hbtitle"], "b");
  EXPECT_EQ(values["zctx"], "A");
  EXPECT_EQ(values["zctx1"], "3");
  EXPECT_EQ(values["unknown"], "stays");
  EXPECT_EQ(values["保存位置"], "");
  const std::string file = test_env::read_file(run.config());
  EXPECT_EQ(file.rfind("; kept as it is\r\n[原视频]\r\n打开位置1=/srv/videos/\r\n[批量剪辑视频]\r\n", 0), 0u);
  EXPECT_NE(file.find("[批量转换视频]\r\n保存方式=a\r\n"), std::string::npos);
  // The load's own keys come first in their stored order, the missing ones after them
  // in table order.
  EXPECT_EQ(entries.size(), 72u + 5u);
  EXPECT_EQ(entries.front().first, "x4");
  EXPECT_EQ(entries.back().first, "x36");
}

TEST(EditSettings, NumbersAndChoicesFallBackAsTheirKindsSay) {
  struct Case {
    const char* h1;     // nullptr: not stored
    int slider;
    const char* zctx1;
    int transition;
    const char* ys;
    GuiColour colour;
    const char* z6;
    const char* scale;
  };
  const Case cases[] = {
      {"0", 10, "abc", 0, "abc", 0, "80", "95%"},
      {"21", 10, "32", 0, "-1", 0, "80%", "80%"},
      {"20", 20, "3", 3, "６５５３５", 65535, "100", "95%"},
      {"5.9", 5, "31.9", 31, "255", 255, "33%", "95%"},
      {"１", 1, "-1", 0, "16777216", 0, "10%", "95%"},
      {"0.99999999", 1, "５", 5, "16777215", 16777215, "1", "95%"},
      {nullptr, 10, nullptr, 0, nullptr, 65535, nullptr, "95%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.h1 ? c.h1 : "(missing)");
    HeadlessGui g;
    MainWindowRunFolder run;
    std::string config = "[批量剪辑视频]\r\n";
    if (c.h1) config += std::string("h1=") + c.h1 + "\r\nzctx1=" + c.zctx1 + "\r\nys=" + c.ys + "\r\nz6=" + c.z6 + "\r\n";
    run.write_config(config);
    start_main_window(g, run);
    EXPECT_EQ(gui().value(control("compress_strength_slider")), c.slider);
    EXPECT_EQ(gui().selected_index(control("merge_transition_combo")), c.transition);
    EXPECT_EQ(gui().colour(control("subtitle_colour_picker")), c.colour);
    EXPECT_EQ(text("background_scale_combo"), c.scale);
    EXPECT_EQ(stored(run, "h1"), std::to_string(c.slider));
  }
}

TEST(EditSettings, NothingIsSavedBeforeTheLoadHasBeenApplied) {
  HeadlessGui g;
  MainWindowRunFolder run;
  const std::string original =
      "[批量剪辑视频]\r\nx14=n\r\ny4=9\r\nhbtitle=a\r\nzctx=a\r\nzctx1=7\r\nx36=y\r\n";
  run.write_config(original);
  Gate gate;
  open_main_window_in(run.path(), [&] {
    set_startup_task(StartupTask::settings, [&] {
      gate.wait();
      load_edit_settings();
    });
  });
  // While the load is held back: option clicks, a list change's apply, the merge page's
  // own handlers, and the closing save all leave the file alone.
  show_page(2);
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_TRUE(gui().input_click(control("multithread_check")));
  refresh_edit_options();
  show_page(1);
  EXPECT_TRUE(gui().input_click(control("merge_title_from_source2_radio")));
  EXPECT_TRUE(gui().input_click(control("merge_transition_check")));
  save_edit_settings();
  g.loop.run_until_idle();
  EXPECT_FALSE(edit_settings_loaded());
  EXPECT_EQ(test_env::read_file(run.config()), original);

  gate.release();
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  ASSERT_TRUE(g.loop.wait_until(edit_settings_loaded));
  // The load's own apply made the first save, from what the file held.
  EXPECT_EQ(stored(run, "x14"), "n");
  EXPECT_EQ(stored(run, "y4"), "9");
  EXPECT_EQ(stored(run, "x36"), "y");
  EXPECT_EQ(stored(run, "zctx1"), "7");
  EXPECT_EQ(stored(run, "hbtitle"), "a");
  EXPECT_EQ(section_entries(run.config(), "批量剪辑视频").size(), 72u + 3u);
  EXPECT_EQ(gui().selected_index(control("merge_transition_combo")), 7);
  // From now on a click saves.
  show_page(2);
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_EQ(stored(run, "x14"), "y");
}

TEST(EditSettings, AValueWithALineBreakIsNeverWrittenAndKeepsItsOldValue) {
  HeadlessGui g;
  MainWindowRunFolder run;
  run.write_config("[批量剪辑视频]\r\ny6=旧字幕\r\ny7=/a.mp3\r\n");
  start_main_window(g, run);
  gui().set_text(control("subtitle_text_field"), "第一行\r\n[批量转换视频]\r\n保存方式=a");
  gui().set_text(control("audio_file_field"), "/b.mp3\n");
  gui().set_text(control("head_trim_seconds_field"), "5");
  show_page(2);
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_EQ(stored(run, "y6"), "旧字幕");
  EXPECT_EQ(stored(run, "y7"), "/a.mp3");
  EXPECT_EQ(stored(run, "y4"), "5");
  EXPECT_EQ(stored(run, "x14"), "y");
  EXPECT_EQ(test_env::read_file(run.config()).find("批量转换视频"), std::string::npos);
}

}  // namespace
