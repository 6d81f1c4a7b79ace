// Events: user input updates the state and then runs handlers on the UI thread, in
// order; program writes fire no user events; the text-changed rule; keys, mouse
// capture, drops, tray and menus.

#include <gtest/gtest.h>

#include <thread>

#include "tests/platform/gui/gui_test_window.h"

namespace {

class Events : public ::testing::Test {
 protected:
  void SetUp() override {
    window = gui().create_window(sample_window_spec());
    gui().open_window(window);
  }

  // Records every event of `kind` on `role` as "<role>:<kind>[:value]".
  void record(const std::string& role, EventKind kind) {
    gui().bind({window, role}, kind, [this](const GuiEvent& e) {
      EXPECT_TRUE(gui().loop().is_ui_thread());
      std::string entry = e.target.role + ":" + event_kind_name(e.kind);
      if (e.kind == EventKind::text_changed || e.kind == EventKind::files_dropped) entry += ":" + e.text;
      else if (e.kind == EventKind::selection_changed || e.kind == EventKind::tray || e.kind == EventKind::menu_chosen)
        entry += ":" + std::to_string(e.value);
      else if (e.kind == EventKind::mouse_down || e.kind == EventKind::mouse_move || e.kind == EventKind::mouse_up)
        entry += ":" + std::to_string(e.x) + "," + std::to_string(e.y);
      log.push_back(entry);
    });
  }

  HeadlessGui g;
  WindowToken window;
  std::vector<std::string> log;
};

TEST_F(Events, UserInputUpdatesStateBeforeTheHandlerRuns) {
  bool seen_checked = false;
  gui().bind({window, "option_check"}, EventKind::clicked,
             [&](const GuiEvent&) { seen_checked = gui().checked({window, "option_check"}); });
  std::string seen_text;
  gui().bind({window, "name_field"}, EventKind::text_changed,
             [&](const GuiEvent& e) { seen_text = gui().text(e.target) + "|" + e.text; });
  int seen_index = -2;
  gui().bind({window, "mode_combo"}, EventKind::selection_changed,
             [&](const GuiEvent&) { seen_index = gui().selected_index({window, "mode_combo"}); });
  EXPECT_TRUE(gui().input_click({window, "option_check"}));
  EXPECT_TRUE(gui().input_text({window, "name_field"}, "abc"));
  EXPECT_TRUE(gui().input_select({window, "mode_combo"}, 1));
  EXPECT_TRUE(seen_checked);
  EXPECT_EQ(seen_text, "abc|abc");
  EXPECT_EQ(seen_index, 1);
  EXPECT_EQ(gui().text({window, "mode_combo"}), "模式二");
  // A second click unchecks; a radio click checks it and unchecks its group.
  gui().input_click({window, "option_check"});
  EXPECT_FALSE(gui().checked({window, "option_check"}));
  gui().set_checked({window, "before_radio"}, true);
  gui().input_click({window, "after_radio"});
  EXPECT_TRUE(gui().checked({window, "after_radio"}));
  EXPECT_FALSE(gui().checked({window, "before_radio"}));
}

TEST_F(Events, ProgramWritesFireNoUserEvents) {
  for (auto [role, kind] : std::vector<std::pair<std::string, EventKind>>{
           {"option_check", EventKind::clicked},
           {"after_radio", EventKind::clicked},
           {"mode_combo", EventKind::selection_changed},
           {"mode_combo", EventKind::text_changed},
           {"job_tabs", EventKind::selection_changed},
           {"job_list", EventKind::selection_changed},
           {"job_list", EventKind::row_checked},
           {"strength_slider", EventKind::value_changed},
           {"strength_slider", EventKind::slider_released},
           {"text_colour", EventKind::colour_changed},
           {"name_field", EventKind::focus_gained},
           {"file_progress_label", EventKind::text_changed}}) {
    record(role, kind);
  }
  const ControlRef list{window, "job_list"};
  gui().set_checked({window, "option_check"}, true);
  gui().set_checked({window, "after_radio"}, true);
  gui().set_selected_index({window, "mode_combo"}, 1);
  gui().set_text({window, "mode_combo"}, "模式一");
  gui().set_selected_index({window, "job_tabs"}, 1);
  gui().append_row(list, {"1", "a"});
  gui().set_row_selected(list, 0, true);
  gui().select_all_rows(list);
  gui().set_row_checked(list, 0, true);
  gui().set_value({window, "strength_slider"}, 9);
  gui().set_colour({window, "text_colour"}, 0xFF);
  gui().set_focus({window, "name_field"});
  gui().set_text({window, "file_progress_label"}, "100 %");
  g.loop.run_until_idle();
  EXPECT_TRUE(log.empty()) << log.front();
}

TEST_F(Events, ProgramTextWritesOfEditBoxesFireTextChangedSynchronouslyOnTheUiThread) {
  record("name_field", EventKind::text_changed);
  gui().set_text({window, "name_field"}, "10");
  EXPECT_EQ(log, (std::vector<std::string>{"name_field:text_changed:10"}));
  gui().set_text({window, "name_field"}, "10");  // the same text fires again, as the original did
  gui().append_text({window, "name_field"}, "0");
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(log.back(), "name_field:text_changed:100");
}

TEST_F(Events, ProgramTextWritesFromAWorkerArePostedToTheUiThread) {
  record("name_field", EventKind::text_changed);
  std::thread worker([&] { gui().set_text({window, "name_field"}, "from worker"); });
  worker.join();
  EXPECT_TRUE(log.empty());  // not yet: it waits for the UI thread
  EXPECT_EQ(gui().text({window, "name_field"}), "from worker");
  g.loop.run_until_idle();
  EXPECT_EQ(log, (std::vector<std::string>{"name_field:text_changed:from worker"}));

  // A window destroyed before the UI thread gets to it gets no event.
  std::thread late([&] { gui().set_text({window, "name_field"}, "late"); });
  late.join();
  gui().destroy_window(window);
  g.loop.run_until_idle();
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(Events, HandlersRunOneAtATimeInTheOrderOfTheInput) {
  record("ok_button", EventKind::clicked);
  record("name_field", EventKind::text_changed);
  // A handler that writes a field: the field's handler runs inside it, before the
  // next input.
  gui().bind({window, "option_check"}, EventKind::clicked, [&](const GuiEvent&) {
    log.push_back("option_check:clicked:begin");
    gui().set_text({window, "name_field"}, "from handler");
    log.push_back("option_check:clicked:end");
  });
  std::vector<std::thread> posters;
  for (int i = 0; i < 3; ++i) {
    posters.emplace_back([&] { gui().input_click({window, "ok_button"}); });  // handed to the UI thread
  }
  for (auto& t : posters) t.join();
  gui().input_click({window, "option_check"});
  gui().input_text({window, "name_field"}, "typed");
  g.loop.run_until_idle();
  EXPECT_EQ(log, (std::vector<std::string>{"option_check:clicked:begin", "name_field:text_changed:from handler",
                                           "option_check:clicked:end", "name_field:text_changed:typed",
                                           "ok_button:clicked", "ok_button:clicked", "ok_button:clicked"}));
}

TEST_F(Events, InputToDisabledHiddenOrOtherPageControlsIsDropped) {
  record("ok_button", EventKind::clicked);
  record("inner_field", EventKind::text_changed);
  record("second_button", EventKind::clicked);
  gui().set_enabled({window, "ok_button"}, false);
  EXPECT_FALSE(gui().input_click({window, "ok_button"}));
  gui().set_enabled({window, "options_group"}, false);
  EXPECT_FALSE(gui().input_text({window, "inner_field"}, "x"));
  EXPECT_EQ(gui().text({window, "inner_field"}), "");
  EXPECT_FALSE(gui().input_click({window, "second_button"}));  // its page is not the current one
  gui().set_selected_index({window, "job_tabs"}, 1);
  EXPECT_TRUE(gui().input_click({window, "second_button"}));
  gui().set_window_visible(window, false);
  EXPECT_FALSE(gui().input_click({window, "second_button"}));
  EXPECT_EQ(log, (std::vector<std::string>{"second_button:clicked"}));
}

TEST_F(Events, DigitsOnlyAndReadOnlyBoxesRefuseTyping) {
  EXPECT_FALSE(gui().input_text({window, "count_field"}, "4a"));
  EXPECT_EQ(gui().text({window, "count_field"}), "2");
  EXPECT_TRUE(gui().input_text({window, "count_field"}, "16"));
  EXPECT_TRUE(gui().input_text({window, "count_field"}, ""));
  // No more characters than the box's length; the program may write more.
  EXPECT_TRUE(gui().input_text({window, "count_field"}, "1234"));
  EXPECT_FALSE(gui().input_text({window, "count_field"}, "12345"));
  EXPECT_EQ(gui().text({window, "count_field"}), "1234");
  gui().set_text({window, "count_field"}, "123456.5");
  EXPECT_EQ(gui().text({window, "count_field"}), "123456.5");
  gui().set_read_only({window, "name_field"}, true);
  EXPECT_FALSE(gui().input_text({window, "name_field"}, "x"));
  EXPECT_FALSE(gui().input_text({window, "mode_combo"}, "x"));  // a drop-down list takes no typing
}

TEST_F(Events, KeysGoToTheControlThenToTheWindowUnlessSwallowed) {
  std::vector<std::string> keys;
  gui().bind_answer({window, "name_field"}, EventKind::key_down, [&](const GuiEvent& e) {
    keys.push_back("field:" + std::to_string(e.key) + ":" + std::to_string(e.modifiers));
    return e.key == key_codes::a && e.modifiers == key_modifiers::ctrl;  // swallow Ctrl+A only
  });
  gui().bind({window, ""}, EventKind::key_down,
             [&](const GuiEvent& e) { keys.push_back("window:" + std::to_string(e.key)); });
  EXPECT_TRUE(gui().input_key({window, "name_field"}, key_codes::a, key_modifiers::ctrl));
  EXPECT_FALSE(gui().input_key({window, "name_field"}, key_codes::a, key_modifiers::ctrl | key_modifiers::shift));
  EXPECT_FALSE(gui().input_key({window, ""}, key_codes::left, key_modifiers::shift));
  EXPECT_EQ(keys, (std::vector<std::string>{"field:65:1", "field:65:3", "window:65", "window:37"}));
}

TEST_F(Events, MouseIsCapturedByThePressedControlUntilReleased) {
  const ControlRef list{window, "job_list"};
  record("job_list", EventKind::mouse_down);
  record("job_list", EventKind::mouse_move);
  record("job_list", EventKind::mouse_up);
  record("", EventKind::mouse_move);
  record("", EventKind::mouse_up);
  record("job_tabs", EventKind::mouse_move);
  gui().input_mouse_down(list, 5, 30);
  // The view reports the moves over other controls; the list keeps them, in its own
  // coordinates (list at 22, 254 in the window).
  gui().input_mouse_move({window, ""}, 30, 300, mouse_buttons::left);
  gui().input_mouse_up({window, ""}, 30, 300);
  // Released: moves go where they happen; a tab page's surface reports as the tab control.
  gui().input_mouse_move({window, "first_page"}, 600, 100);
  gui().input_mouse_move({window, ""}, 1, 2);
  EXPECT_EQ(log, (std::vector<std::string>{"job_list:mouse_down:5,30", "job_list:mouse_move:8,46",
                                           "job_list:mouse_up:8,46", "job_tabs:mouse_move:602,124",
                                           ":mouse_move:1,2"}));
}

TEST_F(Events, APopUpThatClosesEndsTheCaptureOfThePressThatOpenedIt) {
  const ControlRef combo{window, "mode_combo"};
  const ControlRef preview{window, "preview"};
  for (const char* role : {"mode_combo", "preview"}) {
    for (EventKind kind : {EventKind::mouse_down, EventKind::mouse_move, EventKind::mouse_up}) record(role, kind);
  }
  // The press opens the drop-down list, which takes its release: the combo holds the
  // mouse until the list reports that it has closed.
  ASSERT_TRUE(gui().input_mouse_down(combo, 5, 5));
  EXPECT_FALSE(gui().input_popup_closed(preview));  // not the control that holds it
  ASSERT_TRUE(gui().input_select(combo, 1));
  ASSERT_TRUE(gui().input_popup_closed(combo));
  EXPECT_FALSE(gui().input_popup_closed(combo));  // nothing held any more
  // A drag on the preview is the preview's own.
  ASSERT_TRUE(gui().input_mouse_down(preview, 10, 20));
  ASSERT_TRUE(gui().input_mouse_move(preview, 40, 20, mouse_buttons::left));
  ASSERT_TRUE(gui().input_mouse_up(preview, 40, 20));
  EXPECT_EQ(log, (std::vector<std::string>{"mode_combo:mouse_down:5,5", "preview:mouse_down:10,20",
                                           "preview:mouse_move:40,20", "preview:mouse_up:40,20"}));

  // A pop-up closing while another control holds the mouse leaves that capture alone.
  log.clear();
  ASSERT_TRUE(gui().input_mouse_down(preview, 1, 1));
  EXPECT_FALSE(gui().input_popup_closed(combo));
  ASSERT_TRUE(gui().input_mouse_move({window, "mode_combo"}, 2, 2, mouse_buttons::left));
  ASSERT_TRUE(gui().input_mouse_up(preview, 1, 1));
  // The move over the combo belongs to the preview, in the preview's coordinates.
  EXPECT_EQ(log, (std::vector<std::string>{"preview:mouse_down:1,1", "preview:mouse_move:-608,62",
                                           "preview:mouse_up:1,1"}));
}

TEST_F(Events, RightClickSelectsTheRowUnderTheCursorUnlessItIsSelected) {
  const ControlRef list{window, "job_list"};
  for (int i = 0; i < 4; ++i) gui().append_row(list, {std::to_string(i + 1), "v"});
  gui().set_row_selected(list, 0, true);
  gui().set_row_selected(list, 1, true);
  record("job_list", EventKind::selection_changed);
  record("job_list", EventKind::right_clicked);
  const int y_row1 = GuiModel::list_header_height + GuiModel::list_row_height + 2;
  gui().input_right_click(list, 10, y_row1);  // on a selected row: selection stays
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{0, 1}));
  gui().input_right_click(list, 10, y_row1 + 2 * GuiModel::list_row_height);  // row 3
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{3}));
  gui().input_right_click(list, 10, 200);  // empty space: nothing changes
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{3}));
  EXPECT_EQ(log, (std::vector<std::string>{"job_list:right_clicked", "job_list:selection_changed:0",
                                           "job_list:right_clicked", "job_list:right_clicked"}));
}

TEST_F(Events, DroppedFilesArriveAsOneText) {
  record("job_list", EventKind::files_dropped);
  gui().input_drop_files({window, "job_list"}, {"/v/a.mp4"});
  gui().input_drop_files({window, "job_list"}, {"/v/a.mp4", "/v/b c.mkv"});
  EXPECT_FALSE(gui().input_drop_files({window, "name_field"}, {"/v/a.mp4"}));  // not a drop target
  EXPECT_EQ(log, (std::vector<std::string>{"job_list:files_dropped:/v/a.mp4",
                                           "job_list:files_dropped:/v/a.mp4\r\n/v/b c.mkv\r\n"}));
}

TEST_F(Events, TrayMenusSlidersAndAnimationObjects) {
  record("", EventKind::tray);
  record("list_menu", EventKind::menu_chosen);
  EXPECT_TRUE(gui().input_tray(window, 1));
  EXPECT_TRUE(gui().input_tray(window, 3));
  EXPECT_FALSE(gui().input_tray(window, 4));
  gui().set_window_visible(window, false);
  EXPECT_TRUE(gui().input_tray(window, 2));  // a hidden window still hears its tray icon
  gui().set_window_visible(window, true);
  EXPECT_FALSE(gui().input_menu_choice({window, "list_menu"}, 2));  // a separator
  EXPECT_TRUE(gui().input_menu_choice({window, "list_menu"}, 3));
  g.services.answer_popup_menu(1);
  g.services.set_cursor_position({300, 200});
  EXPECT_EQ(gui().popup_menu({window, "list_menu"}), 1);
  EXPECT_EQ(g.services.popup_menus().back().at, (GuiPoint{300, 200}));
  EXPECT_EQ(gui().popup_menu({window, "list_menu"}, GuiPoint{1, 2}), -1);  // dismissed
  EXPECT_EQ(log, (std::vector<std::string>{":tray:1", ":tray:3", ":tray:2", "list_menu:menu_chosen:3",
                                           "list_menu:menu_chosen:1"}));

  int released_at = -1;
  gui().bind({window, "strength_slider"}, EventKind::slider_released, [&](const GuiEvent& e) { released_at = e.value; });
  gui().input_slider_moved({window, "strength_slider"}, 50);
  gui().input_slider_released({window, "strength_slider"});
  EXPECT_EQ(released_at, 20);

  const int id = gui().animation_add({window, "preview"}, "overlay_template", 0, 0);
  std::vector<int> objects;
  gui().bind({window, "preview"}, EventKind::object_pressed, [&](const GuiEvent& e) { objects.push_back(e.value); });
  gui().bind({window, "preview"}, EventKind::object_released, [&](const GuiEvent& e) { objects.push_back(-e.value); });
  EXPECT_TRUE(gui().input_object_pressed({window, "preview"}, id));
  EXPECT_FALSE(gui().input_object_pressed({window, "preview"}, id + 1));
  EXPECT_TRUE(gui().input_object_released({window, "preview"}, id));
  EXPECT_EQ(objects, (std::vector<int>{id, -id}));
}

TEST_F(Events, DraggingAControlAppliesTheNewGeometry) {
  const ControlRef box{window, "frame_picture"};
  g.services.answer_drag(GuiRect{600, 180, 100, 40});
  EXPECT_TRUE(gui().drag_control(box, DragMode::move));
  EXPECT_EQ(gui().geometry(box), (GuiRect{600, 180, 100, 40}));
  EXPECT_FALSE(gui().drag_control(box, DragMode::bottom_right));  // no scripted drag: nothing moves
  ASSERT_EQ(g.services.drags().size(), 2u);
  EXPECT_EQ(g.services.drags()[1].mode, DragMode::bottom_right);
  EXPECT_EQ(g.services.drags()[1].start, (GuiRect{600, 180, 100, 40}));
}

TEST_F(Events, BindingReplacesAndAnEmptyHandlerUnbinds) {
  int first = 0, second = 0;
  gui().bind({window, "ok_button"}, EventKind::clicked, [&](const GuiEvent&) { ++first; });
  gui().bind({window, "ok_button"}, EventKind::clicked, [&](const GuiEvent&) { ++second; });
  gui().input_click({window, "ok_button"});
  gui().bind({window, "ok_button"}, EventKind::clicked, nullptr);
  EXPECT_FALSE(gui().has_handler({window, "ok_button"}, EventKind::clicked));
  gui().input_click({window, "ok_button"});
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
}

}  // namespace
