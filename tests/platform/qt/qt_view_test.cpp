// The Qt view: widgets built from a window's model at the designed geometry, program
// writes from worker threads mirrored without echoing back as user input, and user
// input on the widgets reaching the model as the right events.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <QMovie>

#include <atomic>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

#include "platform/gui/picture.h"
#include "platform/qt/animation_box_widget.h"
#include "platform/qt/colour_swatch.h"
#include "platform/qt/drawing_panel_widget.h"
#include "platform/qt/picture_box_widget.h"
#include "platform/qt/report_list_widget.h"
#include "tests/platform/qt/qt_view_test_support.h"

TEST_F(QtViewTest, BuildsAWidgetOfTheRightKindAtTheDesignedGeometryForEveryControl) {
  const WindowToken w = open_sample();
  QWidget* top = view().window_widget(w);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->windowTitle(), QString::fromUtf8("示例"));
  EXPECT_EQ(top->size(), QSize(800, 600));

  struct Expected {
    const char* role;
    bool (*is_kind)(QWidget*);
  };
  const Expected table[] = {
      {"ok_button", [](QWidget* x) { return qobject_cast<QToolButton*>(x) != nullptr; }},
      {"name_field", [](QWidget* x) { return qobject_cast<QLineEdit*>(x) != nullptr; }},
      {"count_field", [](QWidget* x) { return qobject_cast<QLineEdit*>(x) != nullptr; }},
      {"option_check", [](QWidget* x) { return qobject_cast<QCheckBox*>(x) != nullptr; }},
      {"mode_combo", [](QWidget* x) { return qobject_cast<QComboBox*>(x) != nullptr; }},
      {"strength_slider", [](QWidget* x) { return qobject_cast<QSlider*>(x) != nullptr; }},
      {"file_progress_bar", [](QWidget* x) { return qobject_cast<QProgressBar*>(x) != nullptr; }},
      {"file_progress_label", [](QWidget* x) { return qobject_cast<QLabel*>(x) != nullptr; }},
      {"options_group", [](QWidget* x) { return qobject_cast<QGroupBox*>(x) != nullptr; }},
      {"before_radio", [](QWidget* x) { return qobject_cast<QRadioButton*>(x) != nullptr; }},
      {"inner_field", [](QWidget* x) { return qobject_cast<QLineEdit*>(x) != nullptr; }},
      {"job_tabs", [](QWidget* x) { return qobject_cast<QTabWidget*>(x) != nullptr; }},
      {"job_list", [](QWidget* x) { return dynamic_cast<ReportListWidget*>(x) != nullptr; }},
      {"text_colour", [](QWidget* x) { return dynamic_cast<ColourSwatch*>(x) != nullptr; }},
      {"drag_panel", [](QWidget* x) { return dynamic_cast<DrawingPanelWidget*>(x) != nullptr; }},
      {"preview", [](QWidget* x) { return dynamic_cast<AnimationBoxWidget*>(x) != nullptr; }},
      {"frame_picture", [](QWidget* x) { return dynamic_cast<PictureBoxWidget*>(x) != nullptr; }},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.role);
    QWidget* widget = widget_of(w, e.role);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(e.is_kind(widget));
    EXPECT_EQ(widget->geometry(), rect_of(model().geometry({w, e.role})));
  }
  // Children sit in their containers at container-relative positions.
  EXPECT_EQ(widget_of(w, "before_radio")->parentWidget(), widget_of(w, "options_group"));
  EXPECT_EQ(widget_of(w, "before_radio")->pos(), QPoint(10, 20));
  EXPECT_EQ(widget_of(w, "job_list")->parentWidget(), widget_of(w, "first_page"));
  EXPECT_EQ(widget_of(w, "job_list")->pos(), QPoint(10, 10));
  // Menus and animation templates are never shown.
  EXPECT_EQ(widget_of(w, "list_menu"), nullptr);
  EXPECT_EQ(widget_of(w, "overlay_template"), nullptr);

  // The designed state.
  auto* tabs = widget_of<QTabWidget>(w, "job_tabs");
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("第二页"));
  auto* list = widget_of<ReportListWidget>(w, "job_list");
  ASSERT_EQ(list->column_count(), 3);
  EXPECT_EQ(list->header_text(1), QString::fromUtf8("原视频地址"));
  EXPECT_EQ(list->columnWidth(1), 340);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
  auto* combo = widget_of<QComboBox>(w, "mode_combo");
  EXPECT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->currentText(), QString::fromUtf8("模式一"));
  auto* slider = widget_of<QSlider>(w, "strength_slider");
  EXPECT_EQ(slider->minimum(), 1);
  EXPECT_EQ(slider->maximum(), 20);
  EXPECT_EQ(slider->value(), 5);
  EXPECT_FALSE(widget_of<QRadioButton>(w, "before_radio")->autoExclusive());
  EXPECT_NE(widget_of<QLineEdit>(w, "count_field")->validator(), nullptr);
}

TEST_F(QtViewTest, WorkerWritesReachTheWidgetsAndFireNoUserEvents) {
  const WindowToken w = open_sample();
  EventLog log;
  log.watch(model(), w, all_roles,
            {EventKind::clicked, EventKind::selection_changed, EventKind::value_changed, EventKind::slider_released,
             EventKind::row_checked, EventKind::double_clicked, EventKind::focus_gained, EventKind::mouse_down});

  std::thread worker([&] {
    GuiModel& m = model();
    m.set_title(w, "新标题");
    m.set_text({w, "file_progress_label"}, "42 %");
    m.set_text({w, "name_field"}, "工作线程");
    m.set_text({w, "ok_button"}, "停止转换");
    m.set_checked({w, "option_check"}, true);
    m.set_checked({w, "after_radio"}, true);
    m.set_selected_index({w, "mode_combo"}, 1);
    m.set_value({w, "strength_slider"}, 12);
    m.set_value({w, "file_progress_bar"}, 40);
    m.set_enabled({w, "options_group"}, false);
    for (int i = 0; i < 50; ++i) m.append_row({w, "job_list"}, {std::to_string(i + 1), "/视频/" + std::to_string(i) + ".mp4", ""});
    m.set_cell({w, "job_list"}, 3, 2, "正在转换");
    m.set_row_checked({w, "job_list"}, 4, true);
    m.set_row_selected({w, "job_list"}, 5, true);
    m.scroll_to_row({w, "job_list"}, 49);
    m.set_selected_index({w, "job_tabs"}, 1);
    m.set_text({w, "drag_panel"}, "  1  拖动");
  });
  worker.join();

  auto* list = widget_of<ReportListWidget>(w, "job_list");
  ASSERT_TRUE(process_until([&] {
    return list->row_count() == 50 && widget_of<QTabWidget>(w, "job_tabs")->currentIndex() == 1;
  }));
  settle();
  EXPECT_EQ(view().window_widget(w)->windowTitle(), QString::fromUtf8("新标题"));
  EXPECT_EQ(widget_of<QLabel>(w, "file_progress_label")->text(), QString::fromUtf8("42 %"));
  EXPECT_EQ(widget_of<QLineEdit>(w, "name_field")->text(), QString::fromUtf8("工作线程"));
  EXPECT_EQ(widget_of<QToolButton>(w, "ok_button")->text(), QString::fromUtf8("停止转换"));
  EXPECT_TRUE(widget_of<QCheckBox>(w, "option_check")->isChecked());
  EXPECT_TRUE(widget_of<QRadioButton>(w, "after_radio")->isChecked());
  EXPECT_FALSE(widget_of<QRadioButton>(w, "before_radio")->isChecked());
  EXPECT_EQ(widget_of<QComboBox>(w, "mode_combo")->currentIndex(), 1);
  EXPECT_EQ(widget_of<QSlider>(w, "strength_slider")->value(), 12);
  EXPECT_EQ(widget_of<QProgressBar>(w, "file_progress_bar")->value(), 40);
  // A disabled container disables its children.
  EXPECT_FALSE(widget_of(w, "inner_field")->isEnabled());
  EXPECT_EQ(list->cell_text(3, 2), QString::fromUtf8("正在转换"));
  EXPECT_EQ(list->check_state(4), Qt::Checked);
  EXPECT_EQ(list->selected_row_indexes(), std::vector<int>({5}));
  EXPECT_EQ(list->cell_text(49, 1), QString::fromUtf8("/视频/49.mp4"));
  // The last row was scrolled into view.
  EXPECT_TRUE(list->viewport()->rect().intersects(list->row_rect(49)));
  EXPECT_EQ(widget_of<DrawingPanelWidget>(w, "drag_panel")->text(), QString::fromUtf8("  1  拖动"));

  EXPECT_TRUE(log.events.empty()) << testing::PrintToString(log.names());
}

TEST_F(QtViewTest, ClicksTogglesTypingAndChoicesReachTheModel) {
  const WindowToken w = open_sample();
  EventLog log;
  log.watch(model(), w, all_roles,
            {EventKind::clicked, EventKind::selection_changed, EventKind::value_changed, EventKind::slider_released,
             EventKind::text_changed});

  widget_of<QToolButton>(w, "ok_button")->click();
  EXPECT_EQ(log.count("ok_button", EventKind::clicked), 1);

  widget_of<QCheckBox>(w, "option_check")->click();
  EXPECT_TRUE(model().checked({w, "option_check"}));
  EXPECT_EQ(log.count("option_check", EventKind::clicked), 1);

  // Radios: the model keeps the group; a click on the checked radio leaves it checked.
  model().set_checked({w, "before_radio"}, true);
  settle();
  widget_of<QRadioButton>(w, "after_radio")->click();
  EXPECT_TRUE(model().checked({w, "after_radio"}));
  EXPECT_FALSE(model().checked({w, "before_radio"}));
  widget_of<QRadioButton>(w, "after_radio")->click();
  settle();
  EXPECT_TRUE(widget_of<QRadioButton>(w, "after_radio")->isChecked());
  EXPECT_FALSE(widget_of<QRadioButton>(w, "before_radio")->isChecked());

  // Typing; the digits-only box refuses letters.
  type_text(widget_of(w, "name_field"), QString::fromUtf8("ab"));
  EXPECT_EQ(model().text({w, "name_field"}), "ab");
  ASSERT_NE(log.last("name_field", EventKind::text_changed), nullptr);
  EXPECT_EQ(log.last("name_field", EventKind::text_changed)->text, "ab");
  type_text(widget_of(w, "count_field"), QStringLiteral("1x5"));
  EXPECT_EQ(model().text({w, "count_field"}), "215");
  EXPECT_EQ(widget_of<QLineEdit>(w, "count_field")->text(), QStringLiteral("215"));
  // Its length is four characters; the program writes a longer text all the same.
  type_text(widget_of(w, "count_field"), QStringLiteral("99"));
  EXPECT_EQ(model().text({w, "count_field"}), "2159");
  model().set_text({w, "count_field"}, "123456.5");
  settle();
  EXPECT_EQ(widget_of<QLineEdit>(w, "count_field")->text(), QStringLiteral("123456.5"));

  // Choosing a combo item with the keyboard.
  send_key(widget_of(w, "mode_combo"), Qt::Key_Down);
  EXPECT_EQ(model().selected_index({w, "mode_combo"}), 1);
  EXPECT_EQ(model().text({w, "mode_combo"}), "模式二");
  ASSERT_NE(log.last("mode_combo", EventKind::selection_changed), nullptr);
  EXPECT_EQ(log.last("mode_combo", EventKind::selection_changed)->value, 1);

  // A key step moves and ends the move at once; a drag ends with the release.
  auto* slider = widget_of<QSlider>(w, "strength_slider");
  send_key(slider, Qt::Key_Right);
  EXPECT_EQ(model().value({w, "strength_slider"}), 6);
  EXPECT_EQ(log.count("strength_slider", EventKind::slider_released), 1);
  slider->setSliderDown(true);
  slider->setSliderPosition(15);
  slider->setSliderPosition(16);
  EXPECT_EQ(log.count("strength_slider", EventKind::slider_released), 1);
  slider->setSliderDown(false);
  EXPECT_EQ(model().value({w, "strength_slider"}), 16);
  EXPECT_EQ(log.count("strength_slider", EventKind::value_changed), 3);
  EXPECT_EQ(log.count("strength_slider", EventKind::slider_released), 2);

  // A page header.
  widget_of<QTabWidget>(w, "job_tabs")->tabBar()->setCurrentIndex(1);
  EXPECT_EQ(model().selected_index({w, "job_tabs"}), 1);
  EXPECT_EQ(log.count("job_tabs", EventKind::selection_changed), 1);

  // Input to a disabled control is dropped, and the widget goes back to the model.
  model().set_enabled({w, "option_check"}, false);
  settle();
  EXPECT_FALSE(widget_of(w, "option_check")->isEnabled());
}

TEST_F(QtViewTest, KeysFocusAndMouseReachTheModelWithPositionsRelativeToTheControl) {
  const WindowToken w = open_sample();
  EventLog log;
  log.watch(model(), w, all_roles,
            {EventKind::focus_gained, EventKind::mouse_down, EventKind::mouse_move, EventKind::mouse_up,
             EventKind::clicked, EventKind::double_clicked, EventKind::right_clicked});
  std::vector<GuiEvent> keys;
  model().bind_answer({w, "name_field"}, EventKind::key_down, [&](const GuiEvent& e) {
    keys.push_back(e);
    return e.key == 'Q';  // swallows Q
  });
  model().bind_answer(window_ref(w), EventKind::key_down, [&](const GuiEvent& e) {
    keys.push_back(e);
    return false;
  });

  QWidget* top = view().window_widget(w);
  top->activateWindow();
  auto* field = widget_of<QLineEdit>(w, "name_field");
  field->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(process_until([&] { return QApplication::focusWidget() == field; }));
  EXPECT_EQ(log.count("name_field", EventKind::focus_gained), 1);
  EXPECT_EQ(model().focused_role(w), "name_field");

  send_key(field, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(keys.size(), 2u);  // the field's handler, then the window's
  EXPECT_EQ(keys[0].key, 'A');
  EXPECT_EQ(keys[0].modifiers, key_modifiers::ctrl | key_modifiers::shift);
  EXPECT_EQ(keys[1].target.role, "");
  keys.clear();
  send_key(field, Qt::Key_Q, Qt::NoModifier, QStringLiteral("q"));
  EXPECT_EQ(keys.size(), 1u);
  EXPECT_EQ(field->text(), QString());  // swallowed: the field never saw it
  keys.clear();
  send_key(field, Qt::Key_Delete);
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys[0].key, key_codes::delete_key);

  // Program focus is no user focus.
  model().set_focus({w, "inner_field"});
  settle();
  EXPECT_EQ(log.count("inner_field", EventKind::focus_gained), 0);

  // Mouse on a label: positions relative to it; press and release make a click.
  QWidget* label = widget_of(w, "file_progress_label");
  press(label, QPoint(5, 6));
  move_mouse(label, QPoint(7, 8), Qt::LeftButton);
  release(label, QPoint(7, 8));
  EXPECT_EQ(log.names(), std::vector<std::string>({"name_field:focus_gained", "file_progress_label:mouse_down",
                                                    "file_progress_label:mouse_move", "file_progress_label:mouse_up",
                                                    "file_progress_label:clicked"}));
  const GuiEvent* down = log.last("file_progress_label", EventKind::mouse_down);
  EXPECT_EQ(down->x, 5);
  EXPECT_EQ(down->y, 6);
  EXPECT_EQ(down->button, mouse_buttons::left);
  EXPECT_EQ(log.last("file_progress_label", EventKind::mouse_move)->buttons, mouse_buttons::left);

  // A press on the window's free area is the window's own event; a press on a child
  // control never also reaches its container.
  log.events.clear();
  model().bind(window_ref(w), EventKind::mouse_down, [&](const GuiEvent& e) { log.events.push_back(e); });
  click(top, QPoint(700, 590));
  click(widget_of(w, "inner_field"), QPoint(3, 3));
  std::vector<std::string> downs;
  for (const GuiEvent& e : log.events) {
    if (e.kind == EventKind::mouse_down) downs.push_back(e.target.role);
  }
  EXPECT_EQ(downs, std::vector<std::string>({"", "inner_field"}));
}

TEST_F(QtViewTest, AfterAChoiceInADropDownTheNextPressBelongsToTheControlUnderTheMouse) {
  const WindowToken w = open_sample();
  EventLog log;
  log.watch(model(), w, {"mode_combo", "preview"},
            {EventKind::mouse_down, EventKind::mouse_move, EventKind::mouse_up, EventKind::selection_changed});
  auto* combo = widget_of<QComboBox>(w, "mode_combo");
  QWidget* preview = widget_of(w, "preview");
  // The drop-down closed by a choice with the mouse, then by Escape without one.
  const std::function<void()> closings[] = {
      [&] { choose_by_mouse(combo, 1); },
      [&] {
        press(combo, combo->rect().center());
        ASSERT_TRUE(process_until([&] { return combo->view()->isVisible(); }));
        send_key(combo->view(), Qt::Key_Escape);
      },
  };
  for (const auto& close_drop_down : closings) {
    log.events.clear();
    close_drop_down();
    ASSERT_TRUE(process_until([&] { return !combo->view()->isVisible(); }));
    press(preview, QPoint(10, 20));
    move_mouse(preview, QPoint(40, 25), Qt::LeftButton);
    release(preview, QPoint(40, 25));
    std::vector<std::string> preview_events;
    for (const GuiEvent& e : log.events) {
      if (e.target.role == "preview") preview_events.push_back(std::string(event_kind_name(e.kind)) + ":" +
                                                               std::to_string(e.x) + "," + std::to_string(e.y));
    }
    EXPECT_EQ(preview_events, (std::vector<std::string>{"mouse_down:10,20", "mouse_move:40,25", "mouse_up:40,25"}));
    EXPECT_EQ(log.count("mode_combo", EventKind::mouse_down), 1);
    EXPECT_EQ(log.count("mode_combo", EventKind::mouse_up), 0);  // the list had the release
  }
  EXPECT_EQ(model().selected_index({w, "mode_combo"}), 1);
}

TEST_F(QtViewTest, AnimationBoxReportsTheBoxPressThenTheObjectAndTheObjectReleaseBeforeTheBoxRelease) {
  const WindowToken w = open_sample();
  model().set_picture({w, "overlay_template"}, solid_picture(40, 20, 255, 0, 0));
  const int id = model().animation_add({w, "preview"}, "overlay_template", 30, 40);
  ASSERT_GT(id, 0);
  EventLog log;
  log.watch(model(), w, {"preview"},
            {EventKind::mouse_down, EventKind::mouse_up, EventKind::object_pressed, EventKind::object_released,
             EventKind::clicked});
  auto* box = widget_of<AnimationBoxWidget>(w, "preview");
  ASSERT_TRUE(process_until([&] { return box->object_at(QPoint(35, 45)) == id; }));

  click(box, QPoint(35, 45));  // on the object
  click(box, QPoint(5, 5));    // beside it
  EXPECT_EQ(log.names(), std::vector<std::string>({"preview:mouse_down", "preview:object_pressed",
                                                    "preview:object_released", "preview:mouse_up", "preview:clicked",
                                                    "preview:mouse_down", "preview:mouse_up", "preview:clicked"}));
  EXPECT_EQ(log.last("preview", EventKind::object_pressed)->value, id);

  // The program moves the object; the box draws it there.
  model().animation_move({w, "preview"}, id, 100, 90);
  ASSERT_TRUE(process_until([&] { return box->object_at(QPoint(105, 95)) == id; }));
  EXPECT_EQ(box->object_at(QPoint(35, 45)), 0);
  const QImage shown = box->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(110, 100)), QColor(255, 0, 0));
}

TEST_F(QtViewTest, ListRowsChecksAndSelectionRoundTrip) {
  const WindowToken w = open_sample();
  const ControlRef list_ref{w, "job_list"};
  for (const char* name : {"A", "B", "C", "D"}) model().append_row(list_ref, {"", name, ""});
  EventLog log;
  log.watch(model(), w, {"job_list"},
            {EventKind::clicked, EventKind::selection_changed, EventKind::row_checked, EventKind::double_clicked,
             EventKind::right_clicked, EventKind::mouse_down, EventKind::mouse_up});
  auto* list = widget_of<ReportListWidget>(w, "job_list");
  ASSERT_TRUE(process_until([&] { return list->row_count() == 4; }));

  // Rows lie where the model lays them out: a header, then rows of the model's height.
  const int row_y = GuiModel::list_header_height + GuiModel::list_row_height + GuiModel::list_row_height / 2 + 2;
  EXPECT_EQ(model().hit_test_row(list_ref, 100, row_y), 1);
  EXPECT_EQ(model().hit_test_row(list_ref, 100, 10), -1);  // the header
  EXPECT_EQ(model().hit_test_row(list_ref, 100, 200), -1);  // below the rows

  // A click on row 1: selection, then the click without a drag before the release.
  QWidget* viewport = list->viewport();
  const QPoint row1 = viewport->mapFrom(list, QPoint(100, row_y));
  click(viewport, row1);
  EXPECT_EQ(model().selected_rows(list_ref), std::vector<int>({1}));
  EXPECT_EQ(log.names(), std::vector<std::string>({"job_list:mouse_down", "job_list:selection_changed",
                                                    "job_list:clicked", "job_list:mouse_up"}));
  const GuiEvent* down = log.last("job_list", EventKind::mouse_down);
  EXPECT_EQ(down->x, 100);
  EXPECT_EQ(down->y, row_y);

  // Pressing a row and dragging leaves the selection and makes no click.
  log.events.clear();
  const QPoint row3 = viewport->mapFrom(list, QPoint(100, row_y + 2 * GuiModel::list_row_height));
  press(viewport, row1);
  move_mouse(viewport, row3, Qt::LeftButton);
  release(viewport, row3);
  EXPECT_EQ(model().selected_rows(list_ref), std::vector<int>({1}));
  EXPECT_EQ(log.count("job_list", EventKind::clicked), 0);
  EXPECT_EQ(log.last("job_list", EventKind::mouse_up)->y, row_y + 2 * GuiModel::list_row_height);

  // More rows selected by the user (multi-select), a check box toggled.
  list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(model().selected_rows(list_ref), std::vector<int>({1, 2}));
  list->model()->setData(list->model()->index(3, 0), Qt::Checked, Qt::CheckStateRole);
  EXPECT_TRUE(model().row_checked(list_ref, 3));
  const GuiEvent* checked = log.last("job_list", EventKind::row_checked);
  ASSERT_NE(checked, nullptr);
  EXPECT_EQ(checked->value, 3);
  EXPECT_EQ(checked->row_id, model().row_id(list_ref, 3));

  // Double click and right click with positions.
  send_mouse(viewport, QEvent::MouseButtonDblClick, row3, Qt::LeftButton, Qt::LeftButton);
  release(viewport, row3);
  ASSERT_NE(log.last("job_list", EventKind::double_clicked), nullptr);
  EXPECT_EQ(log.last("job_list", EventKind::double_clicked)->y, row_y + 2 * GuiModel::list_row_height);
  const QPoint row0 = viewport->mapFrom(list, QPoint(50, row_y - GuiModel::list_row_height));
  click(viewport, row0, Qt::RightButton);
  ASSERT_NE(log.last("job_list", EventKind::right_clicked), nullptr);
  EXPECT_EQ(log.last("job_list", EventKind::right_clicked)->x, 50);
  EXPECT_EQ(model().first_selected_row(list_ref), 0);

  // The program moves and deletes rows; the widget follows, keeping checks.
  model().move_row(list_ref, 3, 0);
  model().delete_row(list_ref, 2);
  settle();
  ASSERT_EQ(list->row_count(), 3);
  EXPECT_EQ(list->cell_text(0, 1), QStringLiteral("D"));
  EXPECT_EQ(list->check_state(0), Qt::Checked);
  EXPECT_EQ(list->cell_text(1, 1), QStringLiteral("A"));
  EXPECT_EQ(list->cell_text(2, 1), QStringLiteral("C"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->row_id_at(i), model().row_id(list_ref, i));
  model().clear_rows(list_ref);
  settle();
  EXPECT_EQ(list->row_count(), 0);
}

TEST_F(QtViewTest, DroppedLocalFilesReachADropTargetAsOneText) {
  const WindowToken w = open_sample();
  std::vector<std::string> dropped;
  model().bind({w, "job_list"}, EventKind::files_dropped, [&](const GuiEvent& e) { dropped.push_back(e.text); });
  QWidget* viewport = widget_of<ReportListWidget>(w, "job_list")->viewport();
  EXPECT_TRUE(viewport->acceptDrops());

  const auto drop = [&](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
    return enter.isAccepted();
  };
  EXPECT_TRUE(drop({QUrl::fromLocalFile(QString::fromUtf8("/视频/一.mp4")), QUrl(QStringLiteral("https://example.org/a.mp4")),
                    QUrl::fromLocalFile(QStringLiteral("/v/b c.mkv"))}));
  EXPECT_TRUE(drop({QUrl::fromLocalFile(QStringLiteral("/v/one.mp4"))}));
  EXPECT_FALSE(drop({QUrl(QStringLiteral("https://example.org/a.mp4"))}));  // nothing local
  EXPECT_EQ(dropped, std::vector<std::string>({"/视频/一.mp4\r\n/v/b c.mkv\r\n", "/v/one.mp4"}));

  // A control that is no drop target takes nothing.
  model().set_drop_target({w, "job_list"}, false);
  settle();
  EXPECT_FALSE(viewport->acceptDrops());
}
