#pragma once
// A call that one feature installs and another runs, so that the code that runs it
// need not know the feature behind it (the closing save, the edit options' refresh
// after a list change, what follows the settings load). Any thread: the call is copied
// under the lock and runs outside it, so it may install another one meanwhile.

#include <functional>
#include <mutex>
#include <utility>

class InstalledCall {
 public:
  // Replaces the installed call; an empty function removes it.
  void install(std::function<void()> call) {
    std::function<void()> old;  // destroyed after the lock
    std::lock_guard lock(mutex_);
    old = std::exchange(call_, std::move(call));
  }

  // Runs the installed call; false, with nothing done, when none is installed.
  bool run() const {
    std::function<void()> call;
    {
      std::lock_guard lock(mutex_);
      call = call_;
    }
    if (!call) return false;
    call();
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::function<void()> call_;
};
