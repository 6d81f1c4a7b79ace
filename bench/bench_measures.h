// What every benchmark measures with: wall time since a start, this program's own CPU
// time (every thread; children not included), a job timed on its own thread, and the
// median of a set of rounds.

#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

using clock_type = std::chrono::steady_clock;

inline double seconds_since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

// This program's own CPU time so far, user and system.
struct CpuTime {
  double user = 0, system = 0;
  double total() const { return user + system; }
};

inline CpuTime own_cpu_time() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto as_seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return {as_seconds(usage.ru_utime), as_seconds(usage.ru_stime)};
}

inline double own_cpu_seconds() { return own_cpu_time().total(); }

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The wall time and own CPU time of one job.
struct JobRun {
  double wall = -1;
  CpuTime cpu;
};

// Runs `entry(argument)` on a thread of its own, as a start button starts a job, and
// waits for it.
template <typename Entry, typename Argument>
JobRun run_timed_on_thread(Entry entry, Argument argument) {
  JobRun run;
  const CpuTime before = own_cpu_time();
  const auto start = clock_type::now();
  std::thread worker(entry, argument);
  worker.join();
  run.wall = seconds_since(start);
  const CpuTime after = own_cpu_time();
  run.cpu = {after.user - before.user, after.system - before.system};
  return run;
}
