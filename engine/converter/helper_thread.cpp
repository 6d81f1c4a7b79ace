#include "engine/converter/helper_thread.h"

#include <system_error>

HelperThread::HelperThread() {
  try {
    thread_ = std::thread([this] { serve(); });
  } catch (const std::system_error&) {
    // No thread to be had: every task runs where it is handed over.
  }
}

HelperThread::~HelperThread() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

bool HelperThread::hand_over(std::function<void()> task) {
  if (!thread_.joinable()) return false;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
  return true;
}

void HelperThread::serve() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}
