// Cost of running the converter through `run_console_capture` compared with starting
// it directly (posix_spawn, output to /dev/null, waitpid).
//
// Two jobs, each run several times directly and through the runner, alternately:
// - "fast": a 10-second lavfi test picture to a null output, as fast as the converter
//   goes (a fraction of a second), so any delay the runner adds shows in the wall time;
// - "realtime": the same read at its native rate (-re), so each run lasts 10 seconds of
//   wall time with a progress line about twice a second, as a real job's runs do.
// For each run it prints the wall times, their ratio (runner / direct) and this
// program's own CPU time during the runner's run (getrusage RUSAGE_SELF: the reading,
// the chunk handling and the callback; the converter's time is not in it), also as a
// share of that run's wall time.
//
// Usage: runner_bench [fast_rounds [realtime_rounds]]   (defaults 10 and 3)
// Targets: wall-time ratio <= 1.02, own CPU <= 1 % of the run's wall time.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_measures.h"
#include "bench/direct_run.h"
#include "engine/converter/converter_runner.h"

namespace {

// Runs the converter with the arguments of `command_line`, output to /dev/null; the
// wall time, or a negative value when it did not end with 0.
double run_directly_timed(const std::string& command_line) {
  const auto start = clock_type::now();
  return run_directly(QF_SYSTEM_FFMPEG, command_line) ? seconds_since(start) : -1;
}

struct RunnerRun {
  double wall = -1, cpu = 0;
  int reports = 0;
};

RunnerRun run_through_runner(const std::string& command_line) {
  RunnerRun run;
  std::string last_time;
  const double cpu_before = own_cpu_seconds();
  const auto start = clock_type::now();
  int status = -1;
  run_console_capture(
      QF_SYSTEM_FFMPEG, command_line,
      [&](const std::string&, const std::string& time) {
        ++run.reports;
        last_time = time;
      },
      nullptr, nullptr, &status);
  run.wall = seconds_since(start);
  run.cpu = own_cpu_seconds() - cpu_before;
  if (status != 0) run.wall = -1;
  return run;
}

bool bench_job(const char* name, const std::string& command_line, int rounds) {
  std::printf("\n%s job: ffmpeg%s\n", name, command_line.c_str());
  std::printf("%5s %10s %10s %7s %8s %13s %8s\n", "run", "direct s", "runner s", "ratio", "reports", "own CPU ms",
              "CPU %");
  std::vector<double> ratios, cpu_shares;
  double direct_total = 0, runner_total = 0;
  for (int i = 0; i < rounds; ++i) {
    // Alternate the order so that a drift of the machine's load hits both alike.
    double direct;
    RunnerRun runner;
    if (i % 2 == 0) {
      direct = run_directly_timed(command_line);
      runner = run_through_runner(command_line);
    } else {
      runner = run_through_runner(command_line);
      direct = run_directly_timed(command_line);
    }
    if (direct < 0 || runner.wall < 0) {
      std::printf("run %d failed\n", i + 1);
      return false;
    }
    const double ratio = runner.wall / direct, share = 100 * runner.cpu / runner.wall;
    ratios.push_back(ratio);
    cpu_shares.push_back(share);
    direct_total += direct;
    runner_total += runner.wall;
    std::printf("%5d %10.3f %10.3f %7.3f %8d %13.2f %8.3f\n", i + 1, direct, runner.wall, ratio, runner.reports,
                runner.cpu * 1000, share);
  }
  std::printf("%s: wall ratio median %.3f, of the totals %.3f; own CPU median %.3f %%, max %.3f %% of wall\n", name,
              median(ratios), runner_total / direct_total, median(cpu_shares),
              *std::max_element(cpu_shares.begin(), cpu_shares.end()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int fast_rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const int realtime_rounds = argc > 2 ? std::max(0, std::atoi(argv[2])) : 3;
  const std::string source = " -f lavfi -i testsrc=duration=10:size=640x360:rate=25";
  bool ok = bench_job("fast", source + " -f null -", fast_rounds);
  if (ok && realtime_rounds > 0) ok = bench_job("realtime", " -re" + source + " -f null -", realtime_rounds);
  std::printf("\ntargets: wall ratio <= 1.02, own CPU <= 1 %% of wall\n");
  return ok ? 0 : 1;
}
