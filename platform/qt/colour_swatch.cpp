#include "platform/qt/colour_swatch.h"

#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent) : QPushButton(parent) {}

void ColourSwatch::set_colour(const QColor& colour) {
  if (colour == colour_) return;
  colour_ = colour;
  update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.setBrush(colour_);
  painter.drawRect(rect().adjusted(4, 4, -5, -5));
}
