#include "platform/qt/frame_overlay.h"

#include <QEvent>
#include <QPainter>

FrameOverlay::FrameOverlay(QWidget* framed) : QWidget(framed) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(framed->rect());
  framed->installEventFilter(this);
  raise();
  show();
}

void FrameOverlay::set_colour(const QColor& colour) {
  if (colour == colour_) return;
  colour_ = colour;
  update();
}

bool FrameOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent()) {
    if (event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    if (event->type() == QEvent::ChildAdded) raise();  // stays above controls added later
  }
  return false;
}

void FrameOverlay::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  QPainter painter(this);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour_);
  // The four one-pixel edges, as a frame drawn along the inside of the rectangle.
  painter.drawRect(0, 0, width(), 1);
  painter.drawRect(0, height() - 1, width(), 1);
  painter.drawRect(0, 0, 1, height());
  painter.drawRect(width() - 1, 0, 1, height());
}
