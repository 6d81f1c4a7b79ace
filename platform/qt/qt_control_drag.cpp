// Moving or resizing a control with the mouse: the control follows the mouse while
// the left button is held, its geometry in the model too, so that the program reads
// where it is; Escape cancels and puts it back.

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>

#include "platform/gui/gui_model.h"
#include "platform/qt/qt_gui_thread.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_view.h"

namespace {

// The control's rectangle after the mouse moved by (dx, dy) from where the drag
// began. Edges never cross: width and height stay at least one pixel.
GuiRect dragged_rect(const GuiRect& start, DragMode mode, int dx, int dy) {
  int left = start.x;
  int top = start.y;
  int right = start.x + start.width;
  int bottom = start.y + start.height;
  const bool moves_left = mode == DragMode::left || mode == DragMode::top_left || mode == DragMode::bottom_left;
  const bool moves_right = mode == DragMode::right || mode == DragMode::top_right || mode == DragMode::bottom_right;
  const bool moves_top = mode == DragMode::top || mode == DragMode::top_left || mode == DragMode::top_right;
  const bool moves_bottom = mode == DragMode::bottom || mode == DragMode::bottom_left || mode == DragMode::bottom_right;
  if (mode == DragMode::move) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  if (moves_left) left = std::min(left + dx, right - 1);
  if (moves_right) right = std::max(right + dx, left + 1);
  if (moves_top) top = std::min(top + dy, bottom - 1);
  if (moves_bottom) bottom = std::max(bottom + dy, top + 1);
  return GuiRect{left, top, right - left, bottom - top};
}

// Follows the mouse for one drag, application-wide.
class DragTracker final : public QObject {
 public:
  DragTracker(GuiModel* model, QWidget* control, const ControlDragRequest& request, QPoint origin)
      : model_(model), control_(control), request_(request), origin_(origin), current_(request.start) {}

  bool moved() const { return moved_; }
  bool cancelled() const { return cancelled_; }
  GuiRect current() const { return current_; }
  QEventLoop loop;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & Qt::LeftButton)) {
          loop.quit();  // the release went elsewhere
          return true;
        }
        follow(mouse->globalPosition().toPoint());
        return true;
      }
      case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return true;
        follow(mouse->globalPosition().toPoint());
        loop.quit();
        return true;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        return true;
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
          cancelled_ = true;
          loop.quit();
        }
        return true;
      default:
        return false;
    }
  }

 private:
  void follow(QPoint global) {
    const QPoint delta = global - origin_;
    const GuiRect next = dragged_rect(request_.start, request_.mode, delta.x(), delta.y());
    if (next == current_) return;
    current_ = next;
    moved_ = true;
    if (control_) control_->setGeometry(next.x, next.y, next.width, next.height);
    if (model_) model_->set_geometry(request_.control, next);
  }

  GuiModel* model_;
  QPointer<QWidget> control_;
  ControlDragRequest request_;
  QPoint origin_;
  GuiRect current_;
  bool moved_ = false;
  bool cancelled_ = false;
};

}  // namespace

std::optional<GuiRect> QtServices::drag_control(const ControlDragRequest& request) {
  if (!on_gui_thread() || !view_) return std::nullopt;
  const QPointer<QWidget> control = view_->control_widget(request.control);
  if (!control) return std::nullopt;

  DragTracker tracker(model_, control, request, QCursor::pos());
  qApp->installEventFilter(&tracker);
  control->grabMouse();
  tracker.loop.exec();  // also ended when the program quits
  qApp->removeEventFilter(&tracker);
  if (!control) return std::nullopt;  // its window went meanwhile
  control->releaseMouse();

  if (tracker.cancelled() || !tracker.moved()) {
    control->setGeometry(request.start.x, request.start.y, request.start.width, request.start.height);
    if (model_ && tracker.moved()) model_->set_geometry(request.control, request.start);
    return std::nullopt;
  }
  return tracker.current();
}
