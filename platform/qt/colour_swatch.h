#pragma once
// A colour picker control: a button that shows its colour. Clicking it lets the
// user choose another colour (the view does that through the colour dialog).

#include <QColor>
#include <QPushButton>

class ColourSwatch final : public QPushButton {
 public:
  explicit ColourSwatch(QWidget* parent = nullptr);

  void set_colour(const QColor& colour);
  QColor colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_ = Qt::black;
};
