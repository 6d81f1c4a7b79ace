#include "platform/qt/drawing_panel_widget.h"

#include <QPainter>

DrawingPanelWidget::DrawingPanelWidget(QWidget* parent) : QWidget(parent) {}

void DrawingPanelWidget::set_drawing(const QString& text, std::optional<QColor> text_colour,
                                     std::optional<QColor> background, bool transparent) {
  if (text == text_ && text_colour == text_colour_ && background == background_ && transparent == transparent_) return;
  text_ = text;
  text_colour_ = text_colour;
  background_ = background;
  transparent_ = transparent;
  update();
}

void DrawingPanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), background_.value_or(palette().color(QPalette::Window)));
  if (text_.isEmpty()) return;
  painter.setPen(text_colour_.value_or(palette().color(QPalette::WindowText)));
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text_);
}
