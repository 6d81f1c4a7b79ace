#pragma once
// The control model's event loop on Qt: tasks are events posted to an object of the
// GUI thread, timers are QTimers, the main loop is the application's, nested loops
// are QEventLoops, and "process pending" is QCoreApplication::processEvents.
//
// Make it on the GUI thread once the QApplication exists; that thread is the UI
// thread. It turns off "quit when the last window closes": the program ends when
// quit is called (the view does so when a window made with quit_on_destroy goes).

#include <QEventLoop>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/gui/event_loop.h"

class QObject;
class QTimer;

class QtEventLoop final : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  bool is_ui_thread() const override;
  void post(std::function<void()> task) override;
  void process_pending() override;
  LoopTimerId start_timer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  void stop_timer(LoopTimerId id) override;
  int run() override;
  bool run_nested(std::uint64_t token) override;
  void exit_nested(std::uint64_t token) override;
  // Inside run() this ends the application's main loop and every loop nested in it,
  // Qt's own modal loops (message boxes, dialogs, menus) included. Outside run()
  // (tests) it ends the nested loops this object runs.
  void quit(int exit_code) override;
  bool quitting() const override;

  // Number of running timers (for tests).
  int running_timers() const;

 private:
  struct Timer {
    std::chrono::milliseconds interval{};
    std::function<void()> tick;
    QTimer* qt_timer = nullptr;
  };
  // Queues `task` for the GUI thread; urgent tasks overtake the ordinary ones.
  void post_task(std::function<void()> task, bool urgent);
  void create_qt_timer(LoopTimerId id);
  void run_tick(LoopTimerId id);
  void end_loops_now();

  std::unique_ptr<QObject> context_;  // receives the task events; parent of the QTimers
  std::thread::id ui_thread_;

  mutable std::mutex mutex_;
  std::map<LoopTimerId, Timer> timers_;
  LoopTimerId next_timer_id_ = 1;
  std::map<std::uint64_t, QEventLoop*> nested_;
  std::set<std::uint64_t> exited_nested_;
  bool main_running_ = false;
  bool quit_ = false;
  int exit_code_ = 0;
};
