#pragma once
// A drawing panel: draws its text from its top left corner in its text colour, on
// its background colour unless it is transparent. It may hold other controls.

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

class DrawingPanelWidget final : public QWidget {
 public:
  explicit DrawingPanelWidget(QWidget* parent = nullptr);

  void set_drawing(const QString& text, std::optional<QColor> text_colour, std::optional<QColor> background,
                   bool transparent);
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  std::optional<QColor> text_colour_;
  std::optional<QColor> background_;
  bool transparent_ = false;
};
