// The view's notice queue, window lookups, hit tests and window grabs.

#include "platform/qt/qt_view.h"

#include <QMetaObject>
#include <QWidget>

#include <algorithm>

#include "platform/qt/qt_gui_thread.h"
#include "platform/qt/report_list_widget.h"
#include "platform/qt/window_widget.h"

QtView::QtView(GuiModel& model) : model_(model) {}

QtView::~QtView() {
  for (auto& [id, window] : windows_) {
    if (window.widget) {
      window.widget->set_closing(true);
      delete window.widget.data();
    }
  }
  windows_.clear();
  targets_.clear();
}

// ---------------------------------------------------------------- queue

void QtView::window_created(WindowToken window) {
  enqueue(Notice{Notice::Type::created, GuiChange{window, {}, ChangeKind::window_visible}});
}

void QtView::window_destroyed(WindowToken window) {
  {
    std::lock_guard lock(queue_mutex_);
    // What is still queued for the window no longer matters.
    std::erase_if(queue_, [&](const Notice& n) {
      return n.type == Notice::Type::change && n.change.window == window;
    });
    // The places of the notices that stay.
    queued_.clear();
    for (std::size_t at = 0; at < queue_.size(); ++at) queued_.emplace(notice_key(queue_[at]), at);
  }
  enqueue(Notice{Notice::Type::destroyed, GuiChange{window, {}, ChangeKind::window_visible}});
}

void QtView::changed(const GuiChange& change) { enqueue(Notice{Notice::Type::change, change}); }

QtView::NoticeKey QtView::notice_key(const Notice& notice) {
  const GuiChange& c = notice.change;
  const bool per_list = c.kind == ChangeKind::cell || c.kind == ChangeKind::row_state || c.kind == ChangeKind::scroll;
  return NoticeKey{static_cast<int>(notice.type), c.window.id, c.role, static_cast<int>(c.kind),
                   per_list ? RowId{0} : c.row_id, per_list ? -1 : c.column, c.object_id};
}

void QtView::enqueue(Notice notice) {
  NoticeKey key = notice_key(notice);
  std::lock_guard lock(queue_mutex_);
  const auto [it, added] = queued_.emplace(std::move(key), queue_.size());
  if (!added) {
    // Already waiting: it reads the latest state; a scroll goes to the latest row.
    if (notice.change.kind == ChangeKind::scroll) queue_[it->second].change.row_id = notice.change.row_id;
    return;
  }
  queue_.push_back(std::move(notice));
  if (flush_posted_) return;
  flush_posted_ = true;
  QMetaObject::invokeMethod(this, [this] { apply_pending(); }, Qt::QueuedConnection);
}

void QtView::apply_pending() {
  if (flushing_ || !on_gui_thread()) return;
  // One batch: what arrives meanwhile posts its own call, so a busy worker cannot
  // keep the GUI thread from its input.
  std::vector<Notice> batch;
  {
    std::lock_guard lock(queue_mutex_);
    batch.swap(queue_);
    queued_.clear();
    flush_posted_ = false;
  }
  flushing_ = true;
  for (const Notice& notice : batch) apply_notice(notice);
  flushing_ = false;
}

void QtView::apply_notice(const Notice& notice) {
  switch (notice.type) {
    case Notice::Type::created:
      build_window(notice.change.window);
      return;
    case Notice::Type::destroyed:
      remove_window(notice.change.window);
      return;
    case Notice::Type::change:
      if (WindowEntry* window = find_window(notice.change.window)) apply_change(*window, notice.change);
      return;
  }
}

// ---------------------------------------------------------------- lookups

QtView::WindowEntry* QtView::find_window(WindowToken window) {
  const auto it = windows_.find(window.id);
  return it == windows_.end() ? nullptr : &it->second;
}

QtView::ControlEntry* QtView::find_control(WindowEntry& window, const std::string& role) {
  const auto it = window.controls.find(role);
  return it == window.controls.end() ? nullptr : &it->second;
}

QWidget* QtView::window_widget(WindowToken window) {
  WindowEntry* entry = find_window(window);
  return entry ? entry->widget.data() : nullptr;
}

QWidget* QtView::control_widget(const ControlRef& control) {
  if (control.role.empty()) return window_widget(control.window);
  WindowEntry* window = find_window(control.window);
  if (!window) return nullptr;
  ControlEntry* entry = find_control(*window, control.role);
  return entry ? entry->widget.data() : nullptr;
}

std::optional<int> QtView::hit_test_row(const ControlRef& list, int x, int y) {
  if (!on_gui_thread()) return std::nullopt;  // the model lays the rows out itself
  apply_pending();  // rows the program added a moment ago count
  auto* widget = dynamic_cast<ReportListWidget*>(control_widget(list));
  if (!widget) return std::nullopt;
  return widget->row_at(QPoint(x, y));
}

QImage QtView::grab_window(WindowToken window) {
  if (!on_gui_thread()) return {};
  apply_pending();
  QWidget* widget = window_widget(window);
  if (!widget) return {};
  return widget->grab().toImage();
}
