// Turning mouse, key, focus and drop events of the widgets into the model's input.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cstdint>

#include "platform/qt/animation_box_widget.h"
#include "platform/qt/qt_conversions.h"
#include "platform/qt/qt_key_codes.h"
#include "platform/qt/qt_view.h"
#include "platform/qt/report_list_widget.h"

namespace {

// Controls whose click the view makes from a press and release of the left button.
bool clicks_by_mouse(ControlKind kind) {
  return kind == ControlKind::label || kind == ControlKind::picture_box || kind == ControlKind::animation_box;
}

// Local files among dropped items, in the order given; at most `most` of them.
std::vector<std::string> dropped_files(const QMimeData* data, std::size_t most) {
  std::vector<std::string> names;
  if (!data || !data->hasUrls()) return names;
  const QList<QUrl> urls = data->urls();
  names.reserve(std::min<std::size_t>(most, static_cast<std::size_t>(urls.size())));
  for (const QUrl& url : urls) {
    if (names.size() == most) break;
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (!path.isEmpty()) names.push_back(to_utf8(path));
  }
  return names;
}

}  // namespace

bool QtView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide) {
    // However the pop-up closed (a choice, Escape, a press outside it), the press that
    // opened it is over: the pop-up had its release.
    if (const auto popup = popups_.find(watched); popup != popups_.end()) {
      const ControlRef control = popup->second;
      model_.input_popup_closed(control);
      return false;
    }
  }
  const auto it = targets_.find(watched);
  if (it == targets_.end()) return false;
  const Target target = it->second;  // a handler may change targets_
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      return filter_mouse(watched, target, event);
    case QEvent::KeyPress:
      return filter_key(watched, target, event);
    case QEvent::FocusIn:
      report_focus(target, event);
      return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return filter_drop(target, event);
    default:
      return false;
  }
}

bool QtView::filter_mouse(QObject* watched, const Target& target, QEvent* event) {
  if (!reporting_allowed()) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  const ControlRef ref{target.window, target.role};
  // Positions relative to the control (or the window), also for events of its
  // viewport or inner line edit.
  QWidget* control = control_widget(ref);
  auto* receiver = qobject_cast<QWidget*>(watched);
  if (!control || !receiver) return false;
  const QPoint point = receiver == control ? mouse->position().toPoint()
                                           : receiver->mapTo(control, mouse->position().toPoint());
  const int x = point.x();
  const int y = point.y();
  const int button = mouse_button_mask(mouse->button());

  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const bool first_press = event->type() == QEvent::MouseButtonPress;
      if (first_press) {
        pressed_ = watched;
        pressed_at_ = point;
        pressed_on_row_ = false;
        if (auto* list = dynamic_cast<ReportListWidget*>(control)) pressed_on_row_ = list->row_at(point) >= 0;
      }
      model_.input_mouse_down(ref, x, y, button);
      if (target.kind == ControlKind::animation_box && button == mouse_buttons::left) {
        pressed_object_ = static_cast<AnimationBoxWidget*>(control)->object_at(point);
        if (pressed_object_) model_.input_object_pressed(ref, pressed_object_);
      }
      if (!first_press && button == mouse_buttons::left) model_.input_double_click(ref, x, y);
      return false;
    }
    case QEvent::MouseMove:
      model_.input_mouse_move(ref, x, y, mouse_button_mask(mouse->buttons()));
      return false;
    case QEvent::MouseButtonRelease: {
      const bool same_control = pressed_ == watched;
      if (button == mouse_buttons::left && same_control) {
        // A list's click is a press and release on a row without a drag; it comes
        // before the release itself, as the list reports it on the original platform.
        if (target.kind == ControlKind::list_view && pressed_on_row_ &&
            (point - pressed_at_).manhattanLength() < QApplication::startDragDistance()) {
          model_.input_click(ref);
        }
      }
      if (target.kind == ControlKind::animation_box && button == mouse_buttons::left && pressed_object_) {
        const int object = pressed_object_;
        pressed_object_ = 0;
        model_.input_object_released(ref, object);
      }
      model_.input_mouse_up(ref, x, y, button);
      if (button == mouse_buttons::left && same_control && clicks_by_mouse(target.kind) && !target.role.empty() &&
          control->rect().contains(point)) {
        model_.input_click(ref);
      }
      if (button == mouse_buttons::right) model_.input_right_click(ref, x, y);
      if (button == mouse_buttons::left) pressed_ = nullptr;
      return false;
    }
    default:
      return false;
  }
}

bool QtView::filter_key(QObject* watched, const Target& target, QEvent* event) {
  if (!reporting_allowed()) return false;
  // A key the focus widget ignores travels up to its containers: report it once, at
  // the control (or window) that has the focus.
  QWidget* focus = QApplication::focusWidget();
  QObject* holder = focus;
  while (holder && !targets_.count(holder)) holder = holder->parent();
  if (holder ? holder != watched : !target.role.empty()) return false;

  auto* key = static_cast<QKeyEvent*>(event);
  const int code = virtual_key_code(key->key(), key->modifiers());
  if (code == 0) return false;
  return model_.input_key({target.window, target.role}, code, key_modifier_mask(key->modifiers()));
}

void QtView::report_focus(const Target& target, QEvent* event) {
  if (!reporting_allowed() || target.role.empty()) return;
  // Only the user's moves: not a window becoming active again, a closing pop-up, or
  // Qt moving the focus away from a control the program hid or disabled.
  switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
      model_.input_focus({target.window, target.role});
      return;
    default:
      return;
  }
}

bool QtView::filter_drop(const Target& target, QEvent* event) {
  WindowEntry* window = find_window(target.window);
  ControlEntry* entry = window ? find_control(*window, target.role) : nullptr;
  if (!entry || !entry->drop_target) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  // Entering and moving only ask whether a local file is among the items.
  const bool is_drop = event->type() == QEvent::Drop;
  const std::vector<std::string> names = dropped_files(drop->mimeData(), is_drop ? SIZE_MAX : 1);
  if (names.empty()) {
    drop->ignore();
    return true;
  }
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (is_drop && reporting_allowed()) model_.input_drop_files({target.window, target.role}, names);
  return true;
}

void QtView::choose_colour(WindowToken window, const std::string& role) {
  const ControlRef ref{window, role};
  const std::optional<GuiColour> chosen =
      model_.services().file_dialogs->choose_colour(ColourRequest{window, model_.colour(ref).value_or(0)});
  if (chosen) model_.input_colour(ref, *chosen);
  sync_control(window, role);
}
