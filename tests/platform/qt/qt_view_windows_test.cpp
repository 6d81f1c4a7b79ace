// The Qt view's windows: the close box, modal windows, the end of the main loop, and
// what pictures, frames, label texts, tab headers and button pictures show.

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

TEST_F(QtViewTest, TheCloseBoxAsksTheModelWhichDecides) {
  const WindowToken w = open_sample();
  int asked = 0;
  bool allow = false;
  model().bind_answer(window_ref(w), EventKind::may_close, [&](const GuiEvent&) {
    ++asked;
    return allow;
  });
  QWidget* top = view().window_widget(w);
  top->close();
  settle();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(model().window_exists(w));
  EXPECT_TRUE(top->isVisible());

  allow = true;
  top->close();
  settle();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(model().window_exists(w));
  EXPECT_EQ(view().window_widget(w), nullptr);
}

TEST_F(QtViewTest, AModalWindowBlocksItsOwnerUntilTheUserClosesIt) {
  const WindowToken owner = open_sample();
  WindowSpec dialog_spec;
  dialog_spec.name = "Dialog";
  dialog_spec.title = "对话框";
  dialog_spec.width = 300;
  dialog_spec.height = 200;
  dialog_spec.controls.push_back(control_spec("save_button", ControlKind::button, {10, 10, 80, 24}, "保存设置"));
  const WindowToken dialog = model().create_window(dialog_spec);
  model().bind({dialog, "save_button"}, EventKind::clicked, [&](const GuiEvent&) { model().destroy_window(dialog); });

  bool owner_clicked = false;
  model().bind({owner, "ok_button"}, EventKind::clicked, [&](const GuiEvent&) { owner_clicked = true; });
  Qt::WindowModality modality = Qt::NonModal;
  QWidget* parent = nullptr;
  QTimer::singleShot(20, [&] {
    view().apply_pending();
    QWidget* top = view().window_widget(dialog);
    modality = top->windowModality();
    parent = top->parentWidget();
    widget_of<QToolButton>(owner, "ok_button")->click();  // blocked: dropped by the model
    widget_of<QToolButton>(dialog, "save_button")->click();
  });
  EXPECT_TRUE(model().run_modal(dialog, owner));
  EXPECT_EQ(modality, Qt::WindowModal);
  EXPECT_EQ(parent, view().window_widget(owner));
  EXPECT_FALSE(owner_clicked);
  settle();
  EXPECT_EQ(view().window_widget(dialog), nullptr);
  widget_of<QToolButton>(owner, "ok_button")->click();
  EXPECT_TRUE(owner_clicked);
}

TEST_F(QtViewTest, DestroyingTheQuitWindowEndsTheMainLoopNotHidingIt) {
  WindowSpec spec = sample_window_spec();
  spec.name = "MainWindow";
  spec.quit_on_destroy = true;
  const WindowToken w = open(spec);
  QTimer::singleShot(10, [&] {
    model().set_window_visible(w, false);  // hidden to the tray: the program goes on
    QTimer::singleShot(30, [&] {
      EXPECT_FALSE(qt->loop.quitting());
      model().destroy_window(w);
    });
  });
  EXPECT_EQ(qt->loop.run(), 0);
  EXPECT_FALSE(model().window_exists(w));
}

TEST_F(QtViewTest, PicturesFramesAndLabelTextsShow) {
  const WindowToken w = open_sample();
  // A picture box scales its picture to the box.
  model().set_picture({w, "frame_picture"}, solid_picture(10, 4, 0, 0, 255));
  // A coloured frame over a label, drawn on top of it.
  model().set_frame_colour({w, "file_progress_label"}, make_colour(0, 200, 0));
  // Line breaks of the original platform.
  model().set_text({w, "file_progress_label"}, "一\r\n二");
  settle();

  QImage picture = widget_of(w, "frame_picture")->grab().toImage();
  EXPECT_EQ(picture.size(), QSize(100, 40));
  EXPECT_EQ(QColor(picture.pixel(90, 35)), QColor(0, 0, 255));

  QImage label = widget_of(w, "file_progress_label")->grab().toImage();
  EXPECT_EQ(QColor(label.pixel(0, 0)), QColor(0, 200, 0));
  EXPECT_EQ(QColor(label.pixel(label.width() - 1, label.height() - 1)), QColor(0, 200, 0));
  EXPECT_EQ(widget_of<QLabel>(w, "file_progress_label")->text(), QString::fromUtf8("一\n二"));

  // Multi-line boxes show and give back the original platform's line ends.
  WindowSpec spec;
  spec.name = "Notes";
  spec.width = 200;
  spec.height = 100;
  ControlSpec notes = control_spec("notes", ControlKind::edit_box, {0, 0, 200, 100});
  notes.multi_line = true;
  notes.vertical_scroll_bar = true;
  spec.controls.push_back(notes);
  const WindowToken n = open(spec);
  model().set_text({n, "notes"}, "a\r\nb");
  settle();
  auto* edit = widget_of<QPlainTextEdit>(n, "notes");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("a\nb"));
  edit->moveCursor(QTextCursor::End);
  edit->insertPlainText(QStringLiteral("\nc"));
  EXPECT_EQ(model().text({n, "notes"}), "a\r\nb\r\nc");
  model().append_text({n, "notes"}, "\r\nd");
  settle();
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("a\nb\nc\nd"));
}

TEST_F(QtViewTest, TabHeadersCanBeHiddenAndThePagesTakeTheirRoom) {
  WindowSpec spec = sample_window_spec();
  for (ControlSpec& c : spec.controls) {
    if (c.role == "job_tabs") c.tab_headers_visible = false;
  }
  const WindowToken w = open(spec);
  auto* tabs = widget_of<QTabWidget>(w, "job_tabs");
  QWidget* page = widget_of(w, "first_page");
  EXPECT_FALSE(tabs->tabBar()->isVisible());
  EXPECT_LT(page->mapTo(tabs, QPoint(0, 0)).y(), 6);

  model().set_tab_headers_visible({w, "job_tabs"}, true);
  settle();
  EXPECT_TRUE(tabs->tabBar()->isVisible());
  EXPECT_GE(page->mapTo(tabs, QPoint(0, 0)).y(), tabs->tabBar()->height());
}

TEST_F(QtViewTest, ButtonPicturesFitAndAnimatedPicturesPlay) {
  const WindowToken w = open_sample();
  // A picture the model keeps undecoded (an animated GIF) plays in a picture box.
  std::ifstream file(std::string(QF_SOURCE_DIR) + "/resources/busy.gif", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(bytes.empty());
  model().set_picture({w, "frame_picture"}, picture_from_bytes(bytes));
  settle();
  QMovie* movie = widget_of<PictureBoxWidget>(w, "frame_picture")->movie();
  ASSERT_NE(movie, nullptr);
  EXPECT_GT(movie->frameCount(), 1);
  EXPECT_EQ(movie->state(), QMovie::Running);

  // A button shows its picture beside a short caption, made to fit its height.
  model().set_picture({w, "ok_button"}, solid_picture(32, 32, 0, 128, 0));
  settle();
  auto* button = widget_of<QToolButton>(w, "ok_button");
  EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
  EXPECT_LE(button->iconSize().height(), 24 - 8);
  EXPECT_EQ(button->text(), QString::fromUtf8("确定"));
  // No picture any more: the caption alone.
  model().set_picture({w, "ok_button"}, GuiPicture{});
  settle();
  EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextOnly);
}
