// Cost of a whole merge job compared with running its own converter command lines
// directly.
//
// Makes 3 + 3 clips of 2 s (320x240 H.264/AAC mp4) and merges every clip of list 1
// with every clip of list 2 (3 x 3 pairs, mp4, no transition) by the real merge job
// (`batch_merge_videos` on its own thread, on a headless main window), once first with
// a converter that logs every command line it is given (and the concat list each
// command reads) before it hands over to the real one. The job's logged command lines
// that write a file become the loop: over several rounds, alternating which goes
// first, the job (with the real converter) is timed against a plain loop over those
// lines (each converter started with posix_spawn in the converter's folder, output to
// /dev/null, waited for with waitpid; a concat list is written back before the line
// that reads it, and an output left by the round before is deleted first, as the job's
// emptied work folders have none). The job's runs that write nothing (duration probes)
// are not in the loop: they are the job's own cost, like its waits and copies.
// For each round it prints both wall times, their ratio (job / loop) and this program's
// own CPU time during the job (getrusage RUSAGE_SELF: the converters' time is not in
// it). Everything it made is deleted at the end.
//
// Usage: merge_batch [rounds=5]
// Target: wall-time ratio <= 1.05.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_measures.h"
#include "bench/direct_run.h"
#include "engine/common/globals.h"
#include "engine/merge/merge_job.h"
#include "platform/gui/gui.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/merge_page_window.h"
#include "tests/support/test_env.h"

namespace {

namespace fs = std::filesystem;

// One logged converter run: its arguments, and the concat lists it read (path, text).
struct LoggedRun {
  std::vector<std::string> arguments;
  std::vector<std::pair<std::string, std::string>> files;
  // A run whose last arguments are "-i" and a path writes nothing: a probe.
  bool writes_output() const { return arguments.size() < 2 || arguments[arguments.size() - 2] != "-i"; }
};

// The converter that logs: a shell script in place of bin/ffmpeg.
void install_logging_converter(const std::string& run, const std::string& log) {
  const std::string path = run + "/bin/ffmpeg";
  fs::remove(path);
  test_env::write_file(path,
                       "#!/bin/sh\n"
                       "{\n"
                       "  printf 'RUN'\n"
                       "  for a in \"$@\"; do printf '\\037%s' \"$a\"; done\n"
                       "  printf '\\036'\n"
                       "  prev=\n"
                       "  for a in \"$@\"; do\n"
                       "    if [ \"$prev\" = \"-i\" ] && [ \"${a%.txt}\" != \"$a\" ]; then\n"
                       "      printf 'FILE\\037%s\\037' \"$a\"; cat \"$a\"; printf '\\036'\n"
                       "    fi\n"
                       "    prev=$a\n"
                       "  done\n"
                       "} >> '" + log + "'\n"
                       "exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
  chmod(path.c_str(), 0755);
}

void install_real_converter(const std::string& run) {
  const std::string path = run + "/bin/ffmpeg";
  fs::remove(path);
  fs::create_symlink(QF_SYSTEM_FFMPEG, path);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::vector<LoggedRun> read_log(const std::string& log) {
  std::vector<LoggedRun> runs;
  for (const std::string& record : split(test_env::read_file(log), '\036')) {
    std::vector<std::string> fields = split(record, '\037');
    if (fields.front() == "RUN") {
      runs.push_back(LoggedRun{std::vector<std::string>(fields.begin() + 1, fields.end()), {}});
    } else if (fields.front() == "FILE" && fields.size() == 3 && !runs.empty()) {
      runs.back().files.emplace_back(fields[1], fields[2]);
    }
  }
  return runs;
}

// The loop over the logged lines that write a file; its wall time, negative when a
// line failed.
double run_loop(const std::vector<LoggedRun>& runs, const std::string& run) {
  const std::string program = run + "/bin/ffmpeg", folder = run + "/bin";
  fs::create_directories(run + "/v_temp1");
  fs::create_directories(run + "/v_temp2");
  const auto start = clock_type::now();
  for (const LoggedRun& logged : runs) {
    if (!logged.writes_output()) continue;
    for (const auto& [path, text] : logged.files) test_env::write_file(path, text);
    const std::string& output = logged.arguments.back();
    if (std::find(logged.arguments.begin(), logged.arguments.end() - 1, output) == logged.arguments.end() - 1) {
      std::error_code ec;
      fs::remove(output, ec);
    }
    if (!run_arguments_directly(program, logged.arguments, folder)) {
      std::printf("loop line failed: ffmpeg");
      for (const std::string& a : logged.arguments) std::printf(" %s", a.c_str());
      std::printf("\n");
      return -1;
    }
  }
  const double wall = seconds_since(start);
  fs::remove_all(run + "/v_temp1");
  fs::remove_all(run + "/v_temp2");
  return wall;
}

void empty_folder(const std::string& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
}

// The merge job on its own thread, its lists' durations emptied first (a new batch);
// failed (negative wall time) unless it wrote `outputs` files.
JobRun run_job(WindowToken window, const std::string& out, int outputs) {
  for (const char* list : {"merge_list1", "merge_list2"}) {
    const ControlRef ref{window, list};
    for (int row = 0; row < gui().row_count(ref); ++row) gui().set_cell(ref, row, 2, "");
  }
  gui().set_text({window, "merge_start_button"}, merge_stop_caption);
  stop_requested = false;
  JobRun run = run_timed_on_thread(batch_merge_videos_thread_entry, window);
  int written = 0;
  for (const auto& entry : fs::directory_iterator(out)) written += entry.file_size() > 0 ? 1 : 0;
  if (written != outputs) {
    std::printf("the job wrote %d outputs of %d\n", written, outputs);
    run.wall = -1;
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  constexpr int clips_per_list = 3;

  test_env::TempDir work;
  setenv("HOME", work.path().c_str(), 1);
  const std::string run = test_env::use_job_run_folder(work.path());
  const std::string clips = work / "clips", out = work / "out";
  fs::create_directories(clips);
  fs::create_directories(out);

  HeadlessGui headless;
  const WindowToken window = gui().create_window(test_env::build_merge_page_window());
  gui().open_window(window);
  gui().set_text({window, "merge_output_folder_field"}, out);
  for (int list = 1; list <= 2; ++list) {
    const ControlRef ref{window, list == 1 ? "merge_list1" : "merge_list2"};
    for (int i = 1; i <= clips_per_list; ++i) {
      const std::string path = clips + "/s" + std::to_string(list) + "_" + std::to_string(i) + ".mp4";
      if (!test_env::make_h264_aac_mp4(path, 2.0)) {
        std::printf("making %s failed\n", path.c_str());
        return 1;
      }
      gui().append_row(ref, {std::to_string(i), path, ""});
    }
  }
  const int outputs = clips_per_list * clips_per_list;
  gui().set_text({window, "merge_output_count_label"}, std::to_string(outputs));

  // The logging pass.
  const std::string log = work / "commands.log";
  install_logging_converter(run, log);
  if (run_job(window, out, outputs).wall < 0) return 1;
  install_real_converter(run);
  const std::vector<LoggedRun> runs = read_log(log);
  const auto loop_lines = std::count_if(runs.begin(), runs.end(), [](const LoggedRun& r) { return r.writes_output(); });
  std::printf("%d pairs: the job ran the converter %zu times, %ld of them writing a file (the loop), %ld probes\n",
              outputs, runs.size(), static_cast<long>(loop_lines), static_cast<long>(runs.size() - loop_lines));

  std::printf("\n%5s %6s %8s %8s %7s %12s\n", "round", "first", "job s", "loop s", "ratio", "own CPU ms");
  std::vector<double> ratios;
  double job_total = 0, loop_total = 0;
  for (int round = 1; round <= rounds; ++round) {
    const bool job_first = round % 2 == 1;
    JobRun job;
    double loop;
    empty_folder(out);
    if (job_first) {
      job = run_job(window, out, outputs);
      empty_folder(out);
      loop = run_loop(runs, run);
    } else {
      loop = run_loop(runs, run);
      empty_folder(out);
      job = run_job(window, out, outputs);
    }
    if (job.wall < 0 || loop < 0) {
      std::printf("round %d failed (%s)\n", round, job.wall < 0 ? "job" : "loop");
      return 1;
    }
    ratios.push_back(job.wall / loop);
    job_total += job.wall;
    loop_total += loop;
    std::printf("%5d %6s %8.3f %8.3f %7.3f %12.1f\n", round, job_first ? "job" : "loop", job.wall, loop,
                job.wall / loop, job.cpu.total() * 1000);
  }
  std::printf("\n%d rounds: wall ratio job / loop median %.3f, of the totals %.3f; the job's extra time %.0f ms a pair\n",
              rounds, median(ratios), job_total / loop_total, 1000 * (job_total - loop_total) / rounds / outputs);
  std::printf("target: wall ratio <= 1.05\n");
  return 0;
}
