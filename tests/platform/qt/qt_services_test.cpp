// The Qt services: message boxes, file and folder dialogs, pop-up menus, balloons,
// clipboard, cursor shape, the tray and moving or resizing a control with the mouse.

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <fstream>
#include <thread>

#include "platform/gui/gui.h"
#include "platform/qt/qt_file_filter.h"
#include "tests/platform/qt/qt_test_support.h"
#include "tests/support/test_env.h"

namespace {

// Runs `act` on the first visible top-level widget of type W once it shows.
template <class W>
void when_shown(std::function<void(W*)> act) {
  auto* timer = new QTimer();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<W*>(widget); found && found->isVisible()) {
        timer->stop();
        timer->deleteLater();
        act(found);
        return;
      }
    }
  });
  timer->start();
}

// Types `selection` into the dialog's name field (selectFile leaves the field alone
// once it has the focus) and accepts it.
void accept_file_dialog(QFileDialog* dialog, const QString& selection) {
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(name, nullptr);
  name->setText(selection);
  QMetaObject::invokeMethod(dialog, "accept");
}

QPushButton* button_with_text(QMessageBox* box, const QString& text) {
  for (QAbstractButton* button : box->buttons()) {
    if (button->text() == text) return qobject_cast<QPushButton*>(button);
  }
  return nullptr;
}

WindowSpec small_window() {
  WindowSpec spec;
  spec.name = "Small";
  spec.title = "小窗口";
  spec.width = 400;
  spec.height = 300;
  ControlSpec box = control_spec("crop_box", ControlKind::label, {50, 40, 100, 60}, "裁切区域");
  box.transparent = true;
  spec.controls.push_back(box);
  return spec;
}

// A dialog or menu that a test leaves open would block it for good: after a while
// they are closed and the test fails.
class QtServicesTest : public QtGuiTest {
 protected:
  QtServicesTest() {
    QTimer::singleShot(std::chrono::seconds(10), watchdog_.get(), [] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible()) continue;
        if (auto* dialog = qobject_cast<QDialog*>(widget)) {
          ADD_FAILURE() << "left open: " << dialog->windowTitle().toStdString();
          dialog->reject();
        } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
          ADD_FAILURE() << "menu left open";
          menu->close();
        }
      }
    });
  }
  std::unique_ptr<QObject> watchdog_ = std::make_unique<QObject>();
};

}  // namespace

TEST(QtFileFilter, PairsBecomeQtNameFilters) {
  EXPECT_EQ(qt_name_filters("视频文件|*.mp4;*.wmv;*.flv|所有格式|*.*"),
            QStringList({QString::fromUtf8("视频文件 (*.mp4 *.wmv *.flv)"), QString::fromUtf8("所有格式 (*)")}));
  EXPECT_EQ(qt_name_filters("图片文件|*.jpg; *.png"), QStringList({QString::fromUtf8("图片文件 (*.jpg *.png)")}));
  EXPECT_EQ(qt_name_filters("文本 (txt)|*.txt"), QStringList({QString::fromUtf8("文本 （txt） (*.txt)")}));
  EXPECT_TRUE(qt_name_filters("").isEmpty());
  EXPECT_TRUE(qt_name_filters("名字").isEmpty());  // a name without patterns
}

TEST_F(QtServicesTest, MessageBoxesShowTitleTextAndChineseButtonsAndAnswer) {
  const WindowToken owner = open(small_window());
  QString title, text;
  Qt::WindowModality modality = Qt::NonModal;
  when_shown<QMessageBox>([&](QMessageBox* box) {
    title = box->windowTitle();
    text = box->text();
    modality = box->windowModality();
    ASSERT_NE(button_with_text(box, QStringLiteral("是(&Y)")), nullptr);
    button_with_text(box, QStringLiteral("否(&N)"))->click();
  });
  EXPECT_EQ(show_message_box("友情提示：", "是否要退出软件？", MessageButtons::yes_no, owner), MessageAnswer::no);
  EXPECT_EQ(title, QString::fromUtf8("友情提示："));
  EXPECT_EQ(text, QString::fromUtf8("是否要退出软件？"));
  EXPECT_EQ(modality, Qt::WindowModal);

  when_shown<QMessageBox>([&](QMessageBox* box) { button_with_text(box, QStringLiteral("是(&Y)"))->click(); });
  EXPECT_EQ(show_message_box("友情提示：", "是否要退出软件？", MessageButtons::yes_no), MessageAnswer::yes);

  // Escape on a Yes/No box answers No; an OK box answers OK.
  when_shown<QMessageBox>([&](QMessageBox* box) { send_key(box, Qt::Key_Escape); });
  EXPECT_EQ(show_message_box("温馨提示：", "请重新选择一张有效的图片。", MessageButtons::yes_no), MessageAnswer::no);
  when_shown<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    button_with_text(box, QStringLiteral("确定"))->click();
  });
  EXPECT_EQ(show_message_box("温馨提示：", "第一行\r\n第二行"), MessageAnswer::ok);
  EXPECT_EQ(text, QString::fromUtf8("第一行\n第二行"));

  // Not on the UI thread: no box, the cancel answer.
  MessageAnswer from_worker = MessageAnswer::yes;
  std::thread([&] { from_worker = show_message_box("t", "x", MessageButtons::yes_no); }).join();
  EXPECT_EQ(from_worker, MessageAnswer::no);
}

TEST_F(QtServicesTest, OpenFileDialogFiltersWithoutLetterCaseAndReturnsEveryChosenPath) {
  test_env::TempDir folder;
  for (const char* name : {"一.MP4", "two.mp4", "notes.txt"}) std::ofstream(folder.path() + "/" + name) << "x";
  OpenFileRequest request;
  request.title = "添加视频";
  request.filter = "视频文件|*.mp4;*.wmv|所有格式|*.*";
  request.initial_folder = folder.path();
  QStringList filters;
  QStringList listed;
  QString directory;
  when_shown<QFileDialog>([&](QFileDialog* dialog) {
    filters = dialog->nameFilters();
    directory = dialog->directory().absolutePath();
    // What the dialog lists under the first filter.
    auto* files = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    const QModelIndex root = files->index(directory);
    process_until([&] { return files->rowCount(root) >= 2; });
    for (int row = 0; row < files->rowCount(root); ++row) listed << files->index(row, 0, root).data().toString();
    listed.sort();
    accept_file_dialog(dialog, QString::fromUtf8("\"一.MP4\" \"two.mp4\""));
  });
  const std::vector<std::string> chosen = qt->services.choose_open_files(request);
  EXPECT_EQ(filters, QStringList({QString::fromUtf8("视频文件 (*.mp4 *.wmv)"), QString::fromUtf8("所有格式 (*)")}));
  EXPECT_EQ(listed, QStringList({QStringLiteral("two.mp4"), QString::fromUtf8("一.MP4")}));
  EXPECT_EQ(directory, QString::fromStdString(folder.path()));
  EXPECT_EQ(chosen, std::vector<std::string>({folder.path() + "/一.MP4", folder.path() + "/two.mp4"}));

  when_shown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_TRUE(qt->services.choose_open_files(request).empty());
}

TEST_F(QtServicesTest, ASelectionOfManyLongNamesComesBackWhole) {
  // More than the 8192 bytes the original dialog's buffer held, which made it fail.
  test_env::TempDir folder;
  QStringList quoted;
  std::vector<std::string> expected;
  for (int i = 0; i < 150; ++i) {
    const std::string name = "一段很长的视频文件名称用来测试多选的结果_" + std::to_string(1000 + i) + ".mp4";
    std::ofstream(folder.path() + "/" + name) << "x";
    quoted << QStringLiteral("\"%1\"").arg(QString::fromStdString(name));
    expected.push_back(folder.path() + "/" + name);
  }
  OpenFileRequest request;
  request.filter = "视频文件|*.mp4";
  request.initial_folder = folder.path();
  when_shown<QFileDialog>([&](QFileDialog* dialog) { accept_file_dialog(dialog, quoted.join(QLatin1Char(' '))); });
  std::vector<std::string> chosen = qt->services.choose_open_files(request);
  std::size_t bytes = 0;
  for (const std::string& path : chosen) bytes += path.size() + 1;
  EXPECT_GT(bytes, 8192u);
  std::sort(chosen.begin(), chosen.end());
  EXPECT_EQ(chosen, expected);
}

TEST_F(QtServicesTest, FolderChooserWithoutOwnerLeavesTheWindowsUsable) {
  const WindowToken w = open(small_window());
  test_env::TempDir folder;
  QDir(QString::fromStdString(folder.path())).mkdir(QStringLiteral("新媒体"));
  bool modal = true;
  bool window_enabled = false;
  when_shown<QFileDialog>([&](QFileDialog* dialog) {
    modal = QApplication::activeModalWidget() != nullptr;
    window_enabled = view().window_widget(w)->isEnabled();
    accept_file_dialog(dialog, QString::fromStdString(folder.path() + "/新媒体"));
  });
  FolderRequest request;
  request.title = "新媒体保存位置";
  request.initial_folder = folder.path();
  EXPECT_EQ(qt->services.choose_folder(request), folder.path() + "/新媒体");
  EXPECT_FALSE(modal);
  EXPECT_TRUE(window_enabled);

  when_shown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  request.initial_folder = "/no/such/folder";
  EXPECT_EQ(qt->services.choose_folder(request), "");
}

TEST_F(QtServicesTest, PopupMenusReturnTheChosenItemAndTheModelRunsItsHandler) {
  WindowSpec spec = small_window();
  ControlSpec menu = control_spec("tray_menu", ControlKind::popup_menu, {});
  menu.menu_items = {{"显示|隐藏"}, {"软件官网"}, MenuItem::make_separator(), {"退出软件"}};
  menu.menu_items[1].enabled = false;
  spec.controls.push_back(menu);
  const WindowToken w = open(spec);
  int chosen_event = -1;
  model().bind({w, "tray_menu"}, EventKind::menu_chosen, [&](const GuiEvent& e) { chosen_event = e.value; });

  QStringList texts;
  bool second_enabled = true;
  when_shown<QMenu>([&](QMenu* shown) {
    for (QAction* action : shown->actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    second_enabled = shown->actions()[1]->isEnabled();
    shown->setActiveAction(shown->actions()[3]);
    send_key(shown, Qt::Key_Return);
  });
  EXPECT_EQ(model().popup_menu({w, "tray_menu"}, GuiPoint{100, 100}), 3);
  EXPECT_EQ(chosen_event, 3);
  EXPECT_EQ(texts, QStringList({QString::fromUtf8("显示|隐藏"), QString::fromUtf8("软件官网"), QStringLiteral("-"),
                                QString::fromUtf8("退出软件")}));
  EXPECT_FALSE(second_enabled);

  chosen_event = -1;
  when_shown<QMenu>([](QMenu* shown) { shown->close(); });
  EXPECT_EQ(model().popup_menu({w, "tray_menu"}), -1);
  EXPECT_EQ(chosen_event, -1);
}

TEST_F(QtServicesTest, BalloonsFromAnyThreadShowTitleAndLines) {
  std::thread([] { show_balloon_at_cursor("第一行\r\n第二行", "提示"); }).join();
  ASSERT_TRUE(process_until([] { return QToolTip::isVisible(); }));
  EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf8("<b>提示</b>")));
  EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf8("第一行<br>第二行")));
  QToolTip::hideText();
}

TEST_F(QtServicesTest, ClipboardIsReadAndWrittenFromAnyThread) {
  ClipboardService& clipboard = *model().services().clipboard;
  std::thread([&] { clipboard.set_clipboard_text("https://example.org/a.m3u8"); }).join();
  ASSERT_TRUE(process_until([] { return QGuiApplication::clipboard()->text() == QStringLiteral("https://example.org/a.m3u8"); }));
  EXPECT_EQ(clipboard.clipboard_text(), "https://example.org/a.m3u8");

  QGuiApplication::clipboard()->setText(QString::fromUtf8("别的程序"));
  std::string from_worker;
  std::thread([&] { from_worker = clipboard.clipboard_text(); }).join();
  EXPECT_EQ(from_worker, "别的程序");

  clipboard.clear_clipboard();
  EXPECT_EQ(clipboard.clipboard_text(), "");
}

TEST_F(QtServicesTest, TheNoDropCursorLastsUntilTheNextMouseMove) {
  const WindowToken w = open(small_window());
  CursorService& cursor = *model().services().cursor;
  cursor.set_cursor_shape(CursorShape::no_drop);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
  cursor.set_cursor_shape(CursorShape::no_drop);  // again: still one override
  move_mouse(view().window_widget(w), QPoint(5, 5));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // A mouse-move handler that sets it keeps it for that move.
  model().bind(window_ref(w), EventKind::mouse_move,
               [&](const GuiEvent&) { cursor.set_cursor_shape(CursorShape::no_drop); });
  move_mouse(view().window_widget(w), QPoint(6, 6));
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  cursor.set_cursor_shape(CursorShape::normal);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtServicesTest, WithoutANotificationAreaTheTrayShowsNothing) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this desktop has a notification area";
  const WindowToken w = open(small_window());
  TrayService& tray = *model().services().tray;
  EXPECT_FALSE(tray.tray_available());
  EXPECT_FALSE(tray.show_tray_icon(TrayIconRequest{w, {}, "栖枫"}));
  tray.remove_tray_icon(w);
  EXPECT_TRUE(view().window_widget(w)->isVisible());
}

TEST_F(QtServicesTest, AControlFollowsTheMouseUntilReleaseAndEscapeCancels) {
  const WindowToken w = open(small_window());
  const ControlRef box{w, "crop_box"};
  DragMode mode = DragMode::move;
  std::vector<bool> results;
  std::vector<GuiRect> seen_during_drag;
  model().bind(box, EventKind::mouse_down, [&](const GuiEvent&) { results.push_back(model().drag_control(box, mode)); });
  QWidget* label = widget_of(w, "crop_box");

  // Drives one drag: press on the label, then (from inside the drag) moves and the end.
  const auto drag = [&](QPoint by, bool cancel) {
    const QPoint start = label->mapToGlobal(QPoint(0, 0));
    QCursor::setPos(start);
    settle();  // the platform's own move to that point comes before the press
    QTimer::singleShot(5, [&, start, by, cancel] {
      send_mouse_at_screen(label, QEvent::MouseMove, start + by / 2, Qt::NoButton, Qt::LeftButton);
      seen_during_drag.push_back(model().geometry(box));
      send_mouse_at_screen(label, QEvent::MouseMove, start + by, Qt::NoButton, Qt::LeftButton);
      if (cancel) {
        send_key(label, Qt::Key_Escape);
      } else {
        send_mouse_at_screen(label, QEvent::MouseButtonRelease, start + by, Qt::LeftButton, Qt::NoButton);
      }
    });
    send_mouse_at_screen(label, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  };

  drag(QPoint(30, 20), false);
  EXPECT_EQ(model().geometry(box), (GuiRect{80, 60, 100, 60}));
  EXPECT_EQ(label->geometry(), QRect(80, 60, 100, 60));
  ASSERT_EQ(seen_during_drag.size(), 1u);
  EXPECT_EQ(seen_during_drag[0], (GuiRect{65, 50, 100, 60}));  // the model follows while dragging

  mode = DragMode::bottom_right;
  drag(QPoint(-20, 10), false);
  EXPECT_EQ(model().geometry(box), (GuiRect{80, 60, 80, 70}));

  mode = DragMode::top_left;
  drag(QPoint(200, 200), false);  // edges never cross
  EXPECT_EQ(model().geometry(box), (GuiRect{159, 129, 1, 1}));

  mode = DragMode::move;
  drag(QPoint(5, 5), true);
  EXPECT_EQ(model().geometry(box), (GuiRect{159, 129, 1, 1}));
  EXPECT_EQ(label->geometry(), QRect(159, 129, 1, 1));
  EXPECT_EQ(results, std::vector<bool>({true, true, true, false}));
}

TEST_F(QtServicesTest, TheColourPickerControlChoosesThroughTheColourDialog) {
  WindowSpec spec = small_window();
  ControlSpec picker = control_spec("frame_colour", ControlKind::colour_picker, {200, 10, 40, 24});
  picker.colour = make_colour(1, 2, 3);
  spec.controls.push_back(picker);
  const WindowToken w = open(spec);
  int chosen_value = -1;
  model().bind({w, "frame_colour"}, EventKind::colour_changed, [&](const GuiEvent& e) { chosen_value = e.value; });

  QColor initial;
  when_shown<QColorDialog>([&](QColorDialog* dialog) {
    initial = dialog->currentColor();
    dialog->setCurrentColor(QColor(10, 20, 30));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  widget_of<QPushButton>(w, "frame_colour")->click();
  EXPECT_EQ(initial, QColor(1, 2, 3));
  EXPECT_EQ(model().colour({w, "frame_colour"}), std::optional<GuiColour>(make_colour(10, 20, 30)));
  EXPECT_EQ(chosen_value, 10 + 20 * 256 + 30 * 65536);

  chosen_value = -1;
  when_shown<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
  widget_of<QPushButton>(w, "frame_colour")->click();
  EXPECT_EQ(chosen_value, -1);
  EXPECT_EQ(model().colour({w, "frame_colour"}), std::optional<GuiColour>(make_colour(10, 20, 30)));
}
