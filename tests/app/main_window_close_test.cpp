// Closing the real main window (Qt, offscreen): the close box asks the exit question;
// No keeps the window, Yes ends the program with exit code 0. Run in a child process,
// since shutdown cannot be undone.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "platform/gui/gui.h"
#include "tests/support/qt_app_environment.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

// Clicks the button with `text` of the first message box that shows.
void answer_message_box(const QString& text, QString* seen_title, QString* seen_text) {
  auto* timer = new QTimer();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [=] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      if (!box || !box->isVisible()) continue;
      timer->stop();
      timer->deleteLater();
      *seen_title = box->windowTitle();
      *seen_text = box->text();
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text) {
          button->click();
          return;
        }
      }
      ADD_FAILURE() << "no button " << text.toStdString();
      box->reject();
      return;
    }
  });
  timer->start();
}

void close_no_then_yes(const std::string& folder) {
  QtGui qt;
  QString title, text;
  bool stayed_after_no = false;
  QTimer::singleShot(50, [&] {
    QWidget* window = qt.view.window_widget(main_window());
    ASSERT_NE(window, nullptr);
    answer_message_box(QStringLiteral("否(&N)"), &title, &text);
    window->close();
    stayed_after_no = gui().window_exists(main_window()) && window->isVisible();
    answer_message_box(QStringLiteral("是(&Y)"), &title, &text);
    window->close();
  });
  // A test that hangs is ended after a while.
  QTimer::singleShot(20000, [] { ADD_FAILURE() << "still running"; gui().loop().quit(3); });
  EXPECT_EQ(program_start_in(folder), 0);
  EXPECT_TRUE(stayed_after_no);
  EXPECT_EQ(title.toStdString(), "友情提示：");
  EXPECT_EQ(text.toStdString(), "是否要退出软件？");
  EXPECT_FALSE(gui().window_exists(main_window()));
}

TEST(MainWindowClose, TheCloseBoxAsksAndOnlyYesEndsTheProgramWithExitCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(close_no_then_yes), ::testing::ExitedWithCode(0), "");
}

}  // namespace
