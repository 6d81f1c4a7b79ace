#pragma once
// A one-pixel coloured frame along the inside edge of a widget, drawn over the
// widget's own painting and its children. It covers its parent, follows its size,
// and lets every mouse event through.

#include <QColor>
#include <QWidget>

class FrameOverlay final : public QWidget {
 public:
  explicit FrameOverlay(QWidget* framed);

  void set_colour(const QColor& colour);
  QColor colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QColor colour_;
};
