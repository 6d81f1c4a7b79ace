#include "engine/converter/worker_threads.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Worker {
  std::uint64_t id = 0;
  WorkerKind kind = WorkerKind::scan;
  std::function<void()> request_stop;
  std::thread thread;
  bool ended = false;
};

struct Registry {
  std::mutex mutex;
  std::condition_variable ended;
  std::list<Worker> workers;  // in start order
  std::uint64_t next_id = 1;
  bool shutdown = false;
};

Registry& registry() {
  // Never destroyed: threads that outlive a bounded wait may still end and report here
  // while the program's static objects are being torn down.
  static Registry* instance = new Registry;
  return *instance;
}

// Takes the threads that have ended out of the registry (under the lock) so that they
// can be joined without it.
std::vector<std::thread> take_ended_locked(Registry& r) {
  std::vector<std::thread> done;
  for (auto it = r.workers.begin(); it != r.workers.end();) {
    if (it->ended) {
      done.push_back(std::move(it->thread));
      it = r.workers.erase(it);
    } else {
      ++it;
    }
  }
  return done;
}

void join_all(std::vector<std::thread>& threads) {
  for (std::thread& thread : threads)
    if (thread.joinable()) thread.join();
}

}  // namespace

bool start_worker_thread(WorkerKind kind, std::function<void()> work, std::function<void()> request_stop) {
  Registry& r = registry();
  std::vector<std::thread> done;
  {
    std::lock_guard lock(r.mutex);
    if (r.shutdown) return false;
    done = take_ended_locked(r);
    Worker& worker = r.workers.emplace_back();
    worker.id = r.next_id++;
    worker.kind = kind;
    worker.request_stop = std::move(request_stop);
    // The new thread reports its end under the lock, which it can only take once this
    // entry is complete.
    worker.thread = std::thread([&r, id = worker.id, work = std::move(work)] {
      work();
      std::lock_guard end_lock(r.mutex);
      for (Worker& w : r.workers)
        if (w.id == id) w.ended = true;
      r.ended.notify_all();
    });
  }
  join_all(done);
  return true;
}

bool worker_shutdown_requested() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.shutdown;
}

void request_worker_shutdown() {
  Registry& r = registry();
  std::vector<std::pair<WorkerKind, std::function<void()>>> stops;
  {
    std::lock_guard lock(r.mutex);
    if (r.shutdown) return;
    r.shutdown = true;
    for (Worker& worker : r.workers)
      if (!worker.ended && worker.request_stop) stops.emplace_back(worker.kind, worker.request_stop);
  }
  std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& stop : stops) stop.second();
}

bool wait_for_worker_threads(std::chrono::milliseconds limit) {
  Registry& r = registry();
  std::vector<std::thread> done;
  bool all_ended = false;
  {
    std::unique_lock lock(r.mutex);
    all_ended = r.ended.wait_for(lock, limit, [&r] {
      return std::all_of(r.workers.begin(), r.workers.end(), [](const Worker& w) { return w.ended; });
    });
    done = take_ended_locked(r);
  }
  join_all(done);
  return all_ended;
}

int running_worker_threads() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return static_cast<int>(std::count_if(r.workers.begin(), r.workers.end(), [](const Worker& w) { return !w.ended; }));
}

int running_worker_threads(WorkerKind kind) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return static_cast<int>(std::count_if(r.workers.begin(), r.workers.end(),
                                        [kind](const Worker& w) { return !w.ended && w.kind == kind; }));
}
