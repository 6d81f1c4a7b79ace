// The control model's animation boxes: the objects made from template controls, moved
// and read back by their ids.

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

void GuiModel::animation_clear(const ControlRef& box) {
  impl_->change_control(box, [&](Window&, ControlState& c, Batch& b) {
    if (c.objects.empty()) return;
    c.objects.clear();
    b.add(c.role, ChangeKind::animation_objects);
  });
}

int GuiModel::animation_add(const ControlRef& box, const std::string& template_role, int x, int y) {
  int id = 0;
  impl_->change_control(box, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::animation_box) return;
    const ControlState* t = w.find(template_role);
    if (!t) return;
    AnimationObject o;
    int& next = w.next_object_id[c.role];
    if (next < 1) next = 1;
    o.id = next++;
    o.x = x;
    o.y = y;
    o.width = t->geometry.width;
    o.height = t->geometry.height;
    o.scale = t->value > 0 ? t->value : 1000;
    o.picture = t->picture;
    o.visible = true;
    c.objects.push_back(std::move(o));
    id = c.objects.back().id;
    b.add(c.role, ChangeKind::animation_objects, 0, -1, id);
  });
  return id;
}

void GuiModel::animation_move(const ControlRef& box, int object_id, int x, int y) {
  impl_->change_control(box, [&](Window&, ControlState& c, Batch& b) {
    for (AnimationObject& o : c.objects) {
      if (o.id != object_id) continue;
      if (o.x == x && o.y == y) return;
      o.x = x;
      o.y = y;
      b.add(c.role, ChangeKind::animation_objects, 0, -1, object_id);
      return;
    }
  });
}

std::optional<GuiPoint> GuiModel::animation_position(const ControlRef& box, int object_id) const {
  return impl_->read_control(box, std::optional<GuiPoint>{}, [&](const Window&, const ControlState& c) {
    for (const AnimationObject& o : c.objects) {
      if (o.id == object_id) return std::optional<GuiPoint>(GuiPoint{o.x, o.y});
    }
    return std::optional<GuiPoint>{};
  });
}

std::vector<AnimationObject> GuiModel::animation_objects(const ControlRef& box) const {
  return impl_->read_control(box, std::vector<AnimationObject>{}, [](const Window&, const ControlState& c) { return c.objects; });
}
