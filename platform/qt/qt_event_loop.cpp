#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// An event that carries one task for the GUI thread.
class TaskEvent final : public QEvent {
 public:
  explicit TaskEvent(std::function<void()> task) : QEvent(type()), task_(std::move(task)) {}
  static QEvent::Type type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
  }
  void run() {
    if (task_) task_();
  }

 private:
  std::function<void()> task_;
};

// Lives on the GUI thread and runs the tasks posted to it.
class TaskContext final : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == TaskEvent::type()) {
      static_cast<TaskEvent*>(event)->run();
      return true;
    }
    return QObject::event(event);
  }
};

}  // namespace

QtEventLoop::QtEventLoop() : context_(std::make_unique<TaskContext>()), ui_thread_(std::this_thread::get_id()) {
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

QtEventLoop::~QtEventLoop() {
  std::lock_guard lock(mutex_);
  timers_.clear();  // the QTimers go with the context, with every task still queued for it
}

bool QtEventLoop::is_ui_thread() const { return std::this_thread::get_id() == ui_thread_; }

void QtEventLoop::post_task(std::function<void()> task, bool urgent) {
  QCoreApplication::postEvent(context_.get(), new TaskEvent(std::move(task)),
                              urgent ? Qt::HighEventPriority : Qt::NormalEventPriority);
}

void QtEventLoop::post(std::function<void()> task) { post_task(std::move(task), false); }

void QtEventLoop::process_pending() {
  if (!is_ui_thread()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

LoopTimerId QtEventLoop::start_timer(std::chrono::milliseconds interval, std::function<void()> tick) {
  LoopTimerId id = 0;
  {
    std::lock_guard lock(mutex_);
    id = next_timer_id_++;
    timers_[id] = Timer{std::max(interval, std::chrono::milliseconds(1)), std::move(tick), nullptr};
  }
  // A QTimer belongs to the GUI thread: made there at once, or as soon as it runs a task.
  if (is_ui_thread()) {
    create_qt_timer(id);
  } else {
    post_task([this, id] { create_qt_timer(id); }, false);
  }
  return id;
}

void QtEventLoop::create_qt_timer(LoopTimerId id) {
  std::lock_guard lock(mutex_);
  const auto it = timers_.find(id);
  if (it == timers_.end() || it->second.qt_timer) return;  // stopped before it was made
  auto* timer = new QTimer(context_.get());
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(it->second.interval);
  QObject::connect(timer, &QTimer::timeout, context_.get(), [this, id] { run_tick(id); });
  timer->start();
  it->second.qt_timer = timer;
}

void QtEventLoop::run_tick(LoopTimerId id) {
  std::function<void()> tick;
  {
    std::lock_guard lock(mutex_);
    const auto it = timers_.find(id);
    if (it == timers_.end()) return;
    tick = it->second.tick;
  }
  tick();
}

void QtEventLoop::stop_timer(LoopTimerId id) {
  QTimer* timer = nullptr;
  {
    std::lock_guard lock(mutex_);
    const auto it = timers_.find(id);
    if (it == timers_.end()) return;
    timer = it->second.qt_timer;
    timers_.erase(it);
  }
  if (!timer) return;
  // The timer may be stopped from its own tick: never delete it inside its signal.
  const auto discard = [timer] {
    timer->stop();
    timer->deleteLater();
  };
  if (is_ui_thread()) {
    discard();
  } else {
    post_task(discard, true);
  }
}

int QtEventLoop::running_timers() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(timers_.size());
}

int QtEventLoop::run() {
  if (!is_ui_thread()) return -1;
  {
    std::lock_guard lock(mutex_);
    if (quit_) return exit_code_;
    main_running_ = true;
  }
  const int code = QCoreApplication::exec();
  std::lock_guard lock(mutex_);
  main_running_ = false;
  return quit_ ? exit_code_ : code;
}

bool QtEventLoop::run_nested(std::uint64_t token) {
  if (!is_ui_thread()) return false;
  QEventLoop loop;
  {
    std::lock_guard lock(mutex_);
    if (exited_nested_.erase(token) > 0) return true;
    if (quit_) return false;
    nested_[token] = &loop;
  }
  loop.exec();
  std::lock_guard lock(mutex_);
  nested_.erase(token);
  return exited_nested_.erase(token) > 0;
}

void QtEventLoop::exit_nested(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  exited_nested_.insert(token);
  const auto it = nested_.find(token);
  if (it == nested_.end()) return;  // run_nested will see the token and return at once
  if (is_ui_thread()) {
    it->second->exit(0);
    return;
  }
  post_task(
      [this, token] {
        std::lock_guard inner(mutex_);
        const auto found = nested_.find(token);
        if (found != nested_.end()) found->second->exit(0);
      },
      true);
}

void QtEventLoop::quit(int exit_code) {
  {
    std::lock_guard lock(mutex_);
    if (!quit_) exit_code_ = exit_code;
    quit_ = true;
  }
  if (is_ui_thread()) {
    end_loops_now();
  } else {
    post_task([this] { end_loops_now(); }, true);
  }
}

void QtEventLoop::end_loops_now() {
  std::vector<QEventLoop*> loops;
  bool main_running = false;
  int code = 0;
  {
    std::lock_guard lock(mutex_);
    main_running = main_running_;
    code = exit_code_;
    for (const auto& [token, loop] : nested_) loops.push_back(loop);
  }
  if (main_running) {
    // Ends every loop of the GUI thread, also those of message boxes and dialogs,
    // and makes loops started afterwards return at once.
    QCoreApplication::exit(code);
    return;
  }
  for (QEventLoop* loop : loops) loop->exit(code);
}

bool QtEventLoop::quitting() const {
  std::lock_guard lock(mutex_);
  return quit_;
}
