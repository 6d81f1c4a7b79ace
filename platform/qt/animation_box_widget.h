#pragma once
// The animation box: a background picture scaled to the box, with picture objects
// drawn over it in the order they were added (later ones on top). Each object is
// drawn at its left and top, its picture at the object's scale (thousandths of the
// picture's own size), clipped to the object's width and height. It may hold other
// controls.
//
// The widget only draws. Pressing and moving are reported to the model by the view,
// which asks object_at for the object under the mouse; the program moves objects.

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <vector>

#include "platform/gui/gui_types.h"

class AnimationBoxWidget final : public QWidget {
 public:
  explicit AnimationBoxWidget(QWidget* parent = nullptr);

  void set_background(const GuiPicture& picture);
  void set_objects(const std::vector<AnimationObject>& objects);

  // The id of the topmost visible object whose rectangle holds the point, 0 for none.
  int object_at(QPoint point) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Shown {
    AnimationObject object;
    QImage image;
  };

  GuiPicture background_picture_;
  QImage background_;
  std::vector<Shown> objects_;
};
