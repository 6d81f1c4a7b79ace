#include "platform/qt/window_widget.h"

#include <QCloseEvent>
#include <QResizeEvent>

WindowWidget::WindowWidget() : QWidget(nullptr, Qt::Window) {}

void WindowWidget::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  event->ignore();
  if (on_close_request) on_close_request();
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (on_resized) on_resized(event->size().width(), event->size().height());
}
