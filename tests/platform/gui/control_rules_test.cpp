// The state rules of each kind of control, driven by program writes.

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "tests/platform/gui/gui_test_window.h"

namespace {

struct RuleCase {
  const char* name;
  std::function<void(GuiModel&, WindowToken)> act;
  std::function<void(GuiModel&, WindowToken)> check;
};

class ControlRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ControlRules, Holds) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  GetParam().act(gui(), w);
  GetParam().check(gui(), w);
}

const RuleCase rule_cases[] = {
    {"progress bar clamps above and below its range",
     [](GuiModel& m, WindowToken w) {
       m.set_value({w, "file_progress_bar"}, 101);
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.value({w, "file_progress_bar"}), 100);
       m.set_value({w, "file_progress_bar"}, -5);
       EXPECT_EQ(m.value({w, "file_progress_bar"}), 0);
       m.set_value({w, "file_progress_bar"}, 28);
       EXPECT_EQ(m.value({w, "file_progress_bar"}), 28);
     }},
    {"shrinking a progress bar's range clamps its position",
     [](GuiModel& m, WindowToken w) {
       m.set_range({w, "file_progress_bar"}, 0, 12);
       m.set_value({w, "file_progress_bar"}, 12);
       m.set_range({w, "file_progress_bar"}, 0, 4);
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.value({w, "file_progress_bar"}), 4);
       EXPECT_EQ(m.range({w, "file_progress_bar"}), (GuiPoint{0, 4}));
     }},
    {"a disabled slider keeps its position, a new range clamps it",
     [](GuiModel& m, WindowToken w) {
       m.set_value({w, "strength_slider"}, 17);
       m.set_enabled({w, "strength_slider"}, false);
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.value({w, "strength_slider"}), 17);
       EXPECT_FALSE(m.effectively_enabled({w, "strength_slider"}));
       m.set_range({w, "strength_slider"}, 0, 3661);
       m.set_value({w, "strength_slider"}, 3661 / 2);
       EXPECT_EQ(m.value({w, "strength_slider"}), 1830);
       m.set_range({w, "strength_slider"}, 0, 0);
       EXPECT_EQ(m.value({w, "strength_slider"}), 0);
     }},
    {"radio buttons of one container exclude each other",
     [](GuiModel& m, WindowToken w) {
       m.set_checked({w, "before_radio"}, true);
       m.set_checked({w, "after_radio"}, true);
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_FALSE(m.checked({w, "before_radio"}));
       EXPECT_TRUE(m.checked({w, "after_radio"}));
       m.set_checked({w, "after_radio"}, false);  // unchecking leaves the group without a choice
       EXPECT_FALSE(m.checked({w, "before_radio"}));
       EXPECT_FALSE(m.checked({w, "after_radio"}));
     }},
    {"an explicit group name makes a group across containers",
     [](GuiModel& m, WindowToken w) {
       ControlSpec a = control_spec("save_beside_radio", ControlKind::radio_button, {0, 0, 10, 10});
       a.group = "save_mode";
       ControlSpec b = control_spec("save_folder_radio", ControlKind::radio_button, {0, 0, 10, 10}, "", "options_group");
       b.group = "save_mode";
       ASSERT_TRUE(m.add_control(w, a));
       ASSERT_TRUE(m.add_control(w, b));
       m.set_checked({w, "before_radio"}, true);
       m.set_checked({w, "save_beside_radio"}, true);
       m.set_checked({w, "save_folder_radio"}, true);
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_FALSE(m.checked({w, "save_beside_radio"}));
       EXPECT_TRUE(m.checked({w, "save_folder_radio"}));
       EXPECT_TRUE(m.checked({w, "before_radio"}));  // another group, untouched
     }},
    {"check boxes are independent",
     [](GuiModel& m, WindowToken w) { m.set_checked({w, "option_check"}, true); },
     [](GuiModel& m, WindowToken w) {
       EXPECT_TRUE(m.checked({w, "option_check"}));
       EXPECT_FALSE(m.checked({w, "before_radio"}));
     }},
    {"combo index -1 selects nothing and empties a drop-down list's text",
     [](GuiModel& m, WindowToken w) { m.set_selected_index({w, "mode_combo"}, -1); },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.selected_index({w, "mode_combo"}), -1);
       EXPECT_EQ(m.text({w, "mode_combo"}), "");
       m.set_selected_index({w, "mode_combo"}, 1);
       EXPECT_EQ(m.text({w, "mode_combo"}), "模式二");
       m.set_selected_index({w, "mode_combo"}, 7);  // out of range: nothing
       EXPECT_EQ(m.selected_index({w, "mode_combo"}), -1);
       EXPECT_EQ(m.text({w, "mode_combo"}), "");
     }},
    {"writing a drop-down list's text selects the item with exactly that text",
     [](GuiModel& m, WindowToken w) { m.set_text({w, "mode_combo"}, "模式二"); },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.selected_index({w, "mode_combo"}), 1);
       m.set_text({w, "mode_combo"}, "模式三");
       EXPECT_EQ(m.selected_index({w, "mode_combo"}), -1);
       EXPECT_EQ(m.text({w, "mode_combo"}), "");
     }},
    {"an editable combo keeps any text and selects an equal item",
     [](GuiModel& m, WindowToken w) {
       ControlSpec c = control_spec("size_combo", ControlKind::combo_box, {0, 0, 50, 20});
       c.editable = true;
       c.items = {"12", "24"};
       ASSERT_TRUE(m.add_control(w, c));
       m.set_text({w, "size_combo"}, "30");
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.text({w, "size_combo"}), "30");
       EXPECT_EQ(m.selected_index({w, "size_combo"}), -1);
       m.set_text({w, "size_combo"}, "24");
       EXPECT_EQ(m.selected_index({w, "size_combo"}), 1);
       m.set_items({w, "size_combo"}, {"24", "36"});
       EXPECT_EQ(m.text({w, "size_combo"}), "24");
       EXPECT_EQ(m.selected_index({w, "size_combo"}), 0);
     }},
    {"setting the items of a drop-down list clears its choice",
     [](GuiModel& m, WindowToken w) { m.set_items({w, "mode_combo"}, {"a", "b", "c"}); },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.selected_index({w, "mode_combo"}), -1);
       EXPECT_EQ(m.text({w, "mode_combo"}), "");
       m.add_item({w, "mode_combo"}, "d");
       EXPECT_EQ(m.items({w, "mode_combo"}), (std::vector<std::string>{"a", "b", "c", "d"}));
     }},
    {"enabled is inherited from containers and the window",
     [](GuiModel& m, WindowToken w) { m.set_enabled({w, "options_group"}, false); },
     [](GuiModel& m, WindowToken w) {
       EXPECT_TRUE(m.enabled({w, "inner_field"}));
       EXPECT_FALSE(m.effectively_enabled({w, "inner_field"}));
       EXPECT_FALSE(m.effectively_enabled({w, "before_radio"}));
       EXPECT_TRUE(m.effectively_enabled({w, "ok_button"}));
       m.set_enabled({w, "options_group"}, true);
       EXPECT_TRUE(m.effectively_enabled({w, "inner_field"}));
       m.set_enabled({w, "first_page"}, false);
       EXPECT_FALSE(m.effectively_enabled({w, "job_list"}));
       EXPECT_TRUE(m.effectively_enabled({w, "second_button"}));
       m.set_window_enabled(w, false);
       EXPECT_FALSE(m.effectively_enabled({w, "ok_button"}));
     }},
    {"tab control: pages are its items, the first page is current, other indexes are refused",
     [](GuiModel& m, WindowToken w) { m.set_selected_index({w, "job_tabs"}, 1); },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.selected_index({w, "job_tabs"}), 1);
       EXPECT_EQ(m.items({w, "job_tabs"}), (std::vector<std::string>{"第一页", "第二页"}));
       m.set_selected_index({w, "job_tabs"}, 2);
       EXPECT_EQ(m.selected_index({w, "job_tabs"}), 1);
       m.set_selected_index({w, "job_tabs"}, 0);
       EXPECT_EQ(m.selected_index({w, "job_tabs"}), 0);
     }},
    {"edit box: append puts the caret at the end, select all selects every byte",
     [](GuiModel& m, WindowToken w) {
       m.set_text({w, "name_field"}, "第一行");
       m.append_text({w, "name_field"}, "\r\n-i");
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.text({w, "name_field"}), "第一行\r\n-i");
       ControlState s = m.control_state({w, "name_field"});
       EXPECT_EQ(s.selection_start, static_cast<int>(s.text.size()));
       EXPECT_EQ(s.selection_length, 0);
       m.select_all_text({w, "name_field"});
       s = m.control_state({w, "name_field"});
       EXPECT_EQ(s.selection_start, 0);
       EXPECT_EQ(s.selection_length, static_cast<int>(s.text.size()));
       m.set_text({w, "name_field"}, "x");  // a shorter text pulls the selection in
       s = m.control_state({w, "name_field"});
       EXPECT_LE(s.selection_start + s.selection_length, 1);
     }},
    {"the program may write any text into a digits-only box",
     [](GuiModel& m, WindowToken w) { m.set_text({w, "count_field"}, "abc"); },
     [](GuiModel& m, WindowToken w) { EXPECT_EQ(m.text({w, "count_field"}), "abc"); }},
    {"geometry, positions relative to the window, frame colour and pictures",
     [](GuiModel& m, WindowToken w) {
       m.set_position({w, "inner_field"}, 20, 30);
       m.set_size({w, "drag_panel"}, -4, 12);
       m.set_frame_colour({w, "frame_picture"}, make_colour(1, 2, 3));
       m.set_picture({w, "frame_picture"}, picture_from_rgba(1, 1, {1, 2, 3, 4}));
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_EQ(m.window_position({w, "inner_field"}), (GuiPoint{320, 40}));
       EXPECT_EQ(m.window_position({w, "job_list"}), (GuiPoint{22, 254}));
       EXPECT_EQ(m.geometry({w, "drag_panel"}), (GuiRect{0, 0, 0, 12}));
       EXPECT_EQ(m.frame_colour({w, "frame_picture"}), 0x030201u);
       EXPECT_EQ(m.picture({w, "frame_picture"}).width, 1);
       m.set_frame_colour({w, "frame_picture"}, std::nullopt);
       EXPECT_FALSE(m.frame_colour({w, "frame_picture"}).has_value());
     }},
    {"animation box: objects from a template, ids, moves and read-back",
     [](GuiModel& m, WindowToken w) {
       m.set_picture({w, "overlay_template"}, picture_from_rgba(2, 1, std::vector<std::uint8_t>(8, 9)));
       m.set_size({w, "overlay_template"}, 100, 40);
       m.set_value({w, "overlay_template"}, 500);
     },
     [](GuiModel& m, WindowToken w) {
       const ControlRef box{w, "preview"};
       const int a = m.animation_add(box, "overlay_template", 50, 30);
       const int b = m.animation_add(box, "overlay_template", 0, 0);
       EXPECT_EQ(a, 1);
       EXPECT_EQ(b, 2);
       const std::vector<AnimationObject> objects = m.animation_objects(box);
       ASSERT_EQ(objects.size(), 2u);
       EXPECT_EQ(objects[0].width, 100);
       EXPECT_EQ(objects[0].height, 40);
       EXPECT_EQ(objects[0].scale, 500);
       EXPECT_EQ(objects[0].picture.width, 2);
       m.animation_move(box, a, 200, -5);
       m.animation_move(box, 99, 1, 1);  // unknown id: nothing
       EXPECT_EQ(m.animation_position(box, a), (GuiPoint{200, -5}));
       EXPECT_FALSE(m.animation_position(box, 99).has_value());
       m.animation_clear(box);
       EXPECT_TRUE(m.animation_objects(box).empty());
       EXPECT_EQ(m.animation_add(box, "overlay_template", 0, 0), 3);  // ids are not reused
       EXPECT_EQ(m.animation_add(box, "no_such_template", 0, 0), 0);
     }},
    {"a missing control reads as defaults and ignores writes",
     [](GuiModel& m, WindowToken w) {
       m.set_text({w, "no_such_control"}, "x");
       m.set_value({w, "no_such_control"}, 3);
     },
     [](GuiModel& m, WindowToken w) {
       EXPECT_FALSE(m.exists({w, "no_such_control"}));
       EXPECT_EQ(m.text({w, "no_such_control"}), "");
       EXPECT_EQ(m.selected_index({w, "no_such_control"}), -1);
       EXPECT_EQ(m.first_selected_row({w, "no_such_control"}), -1);
       EXPECT_FALSE(m.effectively_enabled({w, "no_such_control"}));
     }},
};

INSTANTIATE_TEST_SUITE_P(Kinds, ControlRules, ::testing::ValuesIn(rule_cases),
                         [](const ::testing::TestParamInfo<RuleCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return name;
                         });

TEST(ControlCreation, SkipsBrokenControlsAndKeepsTheRest) {
  HeadlessGui g;
  WindowSpec spec;
  spec.name = "Broken";
  spec.controls.push_back(control_spec("", ControlKind::button, {}));
  spec.controls.push_back(control_spec("orphan", ControlKind::button, {}, "", "missing_group"));
  spec.controls.push_back(control_spec("twice", ControlKind::button, {}, "first"));
  spec.controls.push_back(control_spec("twice", ControlKind::label, {}, "second"));
  ControlSpec bar = control_spec("bar", ControlKind::progress_bar, {});
  bar.value = 500;
  spec.controls.push_back(bar);
  const WindowToken w = gui().create_window(spec);
  EXPECT_EQ(gui().roles(w), (std::vector<std::string>{"twice", "bar"}));
  EXPECT_EQ(gui().text({w, "twice"}), "first");
  EXPECT_EQ(gui().value({w, "bar"}), 100);
  EXPECT_FALSE(gui().add_control(w, control_spec("twice", ControlKind::button, {})));
}

}  // namespace

TEST(ControlAt, TheInnermostVisibleControlInFrontAndATabPageAsItsTabControl) {
  HeadlessGui g;
  WindowSpec spec;
  spec.name = "W";
  spec.width = 400;
  spec.height = 300;
  spec.controls.push_back(control_spec("tabs", ControlKind::tab_control, {10, 10, 300, 200}));
  spec.controls.push_back(control_spec("page1", ControlKind::tab_page, {2, 2, 296, 196}, "一", "tabs"));
  spec.controls.push_back(control_spec("page2", ControlKind::tab_page, {2, 2, 296, 196}, "二", "tabs"));
  spec.controls.push_back(control_spec("list", ControlKind::list_view, {10, 10, 100, 100}, "", "page1"));
  spec.controls.push_back(control_spec("over", ControlKind::label, {50, 50, 100, 20}, "", "page1"));
  spec.controls.push_back(control_spec("hidden", ControlKind::button, {150, 150, 40, 20}, "", "page1"));
  spec.controls.push_back(control_spec("other_page", ControlKind::button, {10, 10, 40, 20}, "", "page2"));
  const WindowToken w = gui().create_window(spec);
  gui().set_visible({w, "hidden"}, false);
  gui().open_window(w);
  // Page 1 lies at 12, 12 in the window; its list at 22, 22.
  EXPECT_EQ(gui().control_at(w, {25, 25}), "list");
  EXPECT_EQ(gui().control_at(w, {70, 70}), "over");  // created later: in front of the list
  gui().bring_to_front({w, "list"});
  EXPECT_EQ(gui().control_at(w, {70, 70}), "list");
  EXPECT_EQ(gui().control_at(w, {170, 170}), "tabs");  // the page's free surface
  EXPECT_EQ(gui().control_at(w, {350, 250}), "");      // the window's own
  EXPECT_EQ(gui().control_at(w, {121, 25}), "list");   // the list's last column
  EXPECT_EQ(gui().control_at(w, {122, 25}), "tabs");   // one past it
  gui().set_selected_index({w, "tabs"}, 1);
  EXPECT_EQ(gui().control_at(w, {25, 25}), "other_page");
  EXPECT_EQ(gui().control_at(WindowToken{}, {25, 25}), "");
}
