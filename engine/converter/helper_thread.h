#pragma once
// A thread that runs the tasks a worker hands it, one after the other in the order
// given, while the worker goes on: a job that hands off a task for every row keeps one
// thread for them instead of starting a thread a row.
//
//   HelperThread helper;
//   std::future<std::string> duration = helper.run([source] { return probe_duration(source); });
//   ...
//   const std::string d = duration.get();
//
// When no thread can be had, `run` runs the task at once on the calling thread. The
// destructor lets the tasks handed over run, then ends the thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

class HelperThread {
 public:
  HelperThread();
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  template <class Task>
  std::future<std::invoke_result_t<Task>> run(Task task) {
    auto packaged = std::make_shared<std::packaged_task<std::invoke_result_t<Task>()>>(std::move(task));
    std::future<std::invoke_result_t<Task>> result = packaged->get_future();
    if (!hand_over([packaged] { (*packaged)(); })) (*packaged)();
    return result;
  }

 private:
  // Queues `task` for the thread; false when there is no thread.
  bool hand_over(std::function<void()> task);
  void serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  bool ending_ = false;
  std::thread thread_;
};
