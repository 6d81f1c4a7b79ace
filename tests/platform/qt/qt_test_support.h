#pragma once
// Helpers of the Qt view's tests: a fixture with the whole Qt GUI (loop, services,
// model, view), waiting for queued work with a bound, and user input sent to widgets
// as Qt events.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt/qt_gui.h"
#include "tests/support/qt_app_environment.h"

// Processes Qt events until `done` holds or `timeout` passed; true when it holds.
inline bool process_until(const std::function<bool()>& done,
                          std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

// Processes what is queued now (tasks, notices, deferred deletes of finished loops).
inline void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Mouse events at a point relative to `widget`.
inline void send_mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                       Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
// The same at a screen position (for widgets that move while the mouse does).
inline void send_mouse_at_screen(QWidget* widget, QEvent::Type type, QPoint global, Qt::MouseButton button,
                                 Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
inline void press(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  send_mouse(widget, QEvent::MouseButtonPress, at, button, button);
}
inline void release(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  send_mouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}
inline void move_mouse(QWidget* widget, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
  send_mouse(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}
inline void click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  press(widget, at, button);
  release(widget, at, button);
}

// Chooses item `index` of a combo box as a user does with the mouse: a press on the
// combo opens its drop-down list, which takes that press's release (the combo never
// sees it); then a move onto the item and a click on it in the list, which closes it.
inline void choose_by_mouse(QComboBox* combo, int index) {
  const QPoint on_combo = combo->rect().center();
  press(combo, on_combo);
  QAbstractItemView* list = combo->view();
  QWidget* surface = list->viewport();
  send_mouse_at_screen(surface, QEvent::MouseButtonRelease, combo->mapToGlobal(on_combo), Qt::LeftButton,
                       Qt::NoButton);
  // The list takes no choice from a release just after it opened (its own timer).
  const auto later = std::chrono::steady_clock::now() + std::chrono::milliseconds(QApplication::doubleClickInterval() + 50);
  process_until([&] { return std::chrono::steady_clock::now() > later; });
  // The item's middle row, where the list shows it (an item may be wider than the list).
  const QPoint item(surface->width() / 2, list->visualRect(list->model()->index(index, 0)).center().y());
  move_mouse(surface, item);
  click(surface, item);
}

inline bool send_key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& text = {}) {
  QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &down);
  QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &up);
  return down.isAccepted();
}

// Types the characters one key at a time.
inline void type_text(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    const int key = ch.isDigit() ? Qt::Key_0 + ch.digitValue() : ch.toUpper().unicode();
    send_key(widget, key, Qt::NoModifier, QString(ch));
  }
}

// The whole Qt GUI, installed as the program's model for the test.
class QtGuiTest : public ::testing::Test {
 protected:
  QtGuiTest() : qt(std::make_unique<QtGui>()) {}
  ~QtGuiTest() override {
    qt.reset();
    settle();  // deferred deletes of the windows' widgets
  }

  GuiModel& model() { return qt->model; }
  QtView& view() { return qt->view; }

  // Creates and opens the window, then waits until its widget shows.
  WindowToken open(const WindowSpec& spec) {
    const WindowToken window = model().create_window(spec);
    model().open_window(window);
    EXPECT_TRUE(process_until([&] {
      QWidget* widget = view().window_widget(window);
      return widget && widget->isVisible();
    }));
    return window;
  }

  template <class W = QWidget>
  W* widget_of(WindowToken window, const std::string& role) {
    view().apply_pending();
    return dynamic_cast<W*>(view().control_widget({window, role}));
  }

  std::unique_ptr<QtGui> qt;
};
