#include "platform/qt/animation_box_widget.h"

#include <QPainter>
#include <QRect>

#include "platform/qt/qt_conversions.h"

AnimationBoxWidget::AnimationBoxWidget(QWidget* parent) : QWidget(parent) {}

void AnimationBoxWidget::set_background(const GuiPicture& picture) {
  if (picture == background_picture_) return;
  background_picture_ = picture;
  background_ = to_qimage(picture);
  update();
}

void AnimationBoxWidget::set_objects(const std::vector<AnimationObject>& objects) {
  std::vector<Shown> shown;
  shown.reserve(objects.size());
  for (const AnimationObject& object : objects) {
    // Pictures are immutable and shared: decode each one once.
    QImage image;
    for (const Shown& old : objects_) {
      if (old.object.picture == object.picture) {
        image = old.image;
        break;
      }
    }
    if (image.isNull()) image = to_qimage(object.picture);
    shown.push_back(Shown{object, image});
  }
  objects_ = std::move(shown);
  update();
}

int AnimationBoxWidget::object_at(QPoint point) const {
  for (auto it = objects_.rbegin(); it != objects_.rend(); ++it) {
    const AnimationObject& object = it->object;
    if (!object.visible) continue;
    if (QRect(object.x, object.y, object.width, object.height).contains(point)) return object.id;
  }
  return 0;
}

void AnimationBoxWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  if (!background_.isNull()) painter.drawImage(rect(), background_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (const Shown& shown : objects_) {
    const AnimationObject& object = shown.object;
    if (!object.visible || shown.image.isNull() || object.width <= 0 || object.height <= 0) continue;
    const int scale = object.scale > 0 ? object.scale : 1000;
    const QRect target(object.x, object.y, shown.image.width() * scale / 1000, shown.image.height() * scale / 1000);
    painter.save();
    painter.setClipRect(QRect(object.x, object.y, object.width, object.height));
    painter.drawImage(target, shown.image);
    painter.restore();
  }
}
