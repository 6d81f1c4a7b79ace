#include "ui/startup_tasks.h"

#include <array>
#include <mutex>

#include "engine/converter/worker_threads.h"

namespace {

struct Task {
  std::function<void()> work;
  std::function<void()> request_stop;
};

std::mutex tasks_mutex;
std::array<Task, 3> tasks;

}  // namespace

void set_startup_task(StartupTask task, std::function<void()> work, std::function<void()> request_stop) {
  std::lock_guard lock(tasks_mutex);
  tasks[static_cast<std::size_t>(task)] = Task{std::move(work), std::move(request_stop)};
}

bool start_startup_task(StartupTask task) {
  Task copy;
  {
    std::lock_guard lock(tasks_mutex);
    copy = tasks[static_cast<std::size_t>(task)];
  }
  if (!copy.work) return false;
  return start_worker_thread(WorkerKind::startup, std::move(copy.work), std::move(copy.request_stop));
}
