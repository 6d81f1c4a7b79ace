// Cost of a whole convert job compared with running its converter command lines
// directly.
//
// Makes a number of 1280x720 H.264/AAC mp4 clips (testsrc2 and a sine tone, 10 seconds
// long unless told otherwise) in a temporary folder, then converts them into each
// format asked for (mkv and mp3 unless told otherwise), over several rounds and
// alternating which goes first:
// - by the real convert job: `batch_convert_videos` on its own thread, on a headless
//   main window whose convert list holds the clips, the format checked, saving into a
//   temporary folder; its wall time includes the duration probe of every row, which
//   the job runs while the row before converts (the first row's before it), and the
//   judgement of every output, which reads the conversion's own console;
// - by a plain loop over the same command lines (`plan_convert_row` builds them, as the
//   job does), each converter started with posix_spawn, its output to /dev/null, and
//   waited for with waitpid.
// For each round it prints both wall times, their ratio (job / loop) and this program's
// own CPU time during the job (getrusage RUSAGE_SELF: every thread of the program, the
// converters' time is not in it), also as a share of the job's wall time. To show how
// much time the probes would cost one after the other, it also times them alone.
// Everything it made is deleted at the end.
//
// Usage: convert_batch [clips [rounds [seconds [formats]]]]   (defaults 20, 4, 10 and mkv,mp3)
// Targets: wall-time ratio <= 1.05, own CPU <= 1 % of the job's wall time.

#include <sys/resource.h>

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
#include "engine/convert/convert_commands.h"
#include "engine/convert/convert_job.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/media_probes.h"
#include "platform/gui/gui.h"
#include "platform/process.h"
#include "tests/support/convert_page_window.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/test_env.h"

namespace {

// Clip `index` (from 1) of the batch: `seconds` of testsrc2 at 1280x720 and a sine tone
// of its own pitch, H.264 (ultrafast) and AAC in mp4.
bool make_batch_clip(const std::string& path, int index, int seconds) {
  const std::string tone = std::to_string(220 + 20 * index % 2000);
  const std::string length = std::to_string(seconds);
  return test_env::make_clip({"-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=25:duration=" + length, "-f", "lavfi",
                              "-i", "sine=frequency=" + tone + ":sample_rate=44100:duration=" + length, "-c:v", "libx264",
                              "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path});
}

// The loop: every command line of every row in order; the wall time, or a negative
// value when a command failed.
double run_loop(const std::vector<std::string>& commands) {
  const std::string program = ffmpeg_exe_path.get();
  const auto start = clock_type::now();
  for (const std::string& command : commands) {
    if (!run_directly(program, command)) return -1;
  }
  return seconds_since(start);
}

void empty_folder(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove_all(entry.path());
}

// The duration probes of all `sources` one after the other, on a thread of their own;
// the wall time, or a negative value when one found no duration.
double time_probes(const std::vector<std::string>& sources) {
  double wall = -1;
  std::thread prober([&] {
    const auto start = clock_type::now();
    for (const std::string& source : sources) {
      if (probe_duration(source).empty()) return;
    }
    wall = seconds_since(start);
  });
  prober.join();
  return wall;
}

// The convert job on its own thread, as the start button starts it; failed (negative
// wall time) unless every row ended "任务完成".
JobRun run_job(WindowToken window) {
  stop_requested = false;
  JobRun run = run_timed_on_thread(batch_convert_videos_thread_entry, window);
  for (const ListRow& row : gui().list_rows({window, "convert_list"})) {
    if (row.cells.size() < 3 || row.cells[2] != run_status_finished) {
      std::printf("row %s ended \"%s\"\n", row.cells[0].c_str(), row.cells.size() < 3 ? "" : row.cells[2].c_str());
      run.wall = -1;
    }
  }
  return run;
}

// The rounds of one output format: the job and the loop alternately, then what they
// came to. False when a round failed.
bool bench_format(WindowToken window, const std::string& format, const std::vector<std::string>& sources,
                  const std::string& out, int rounds) {
  gui().input_click({window, ("convert_format_" + format + "_radio").c_str()});
  // The loop's command lines, planned as the job plans its rows.
  ConvertRowOptions options;
  options.format = format;
  options.output_folder = out;
  options.global_options = ffmpeg_global_options.get();
  std::vector<std::string> commands;
  for (const std::string& source : sources) {
    const ConvertRowPlan plan = plan_convert_row(source, options);
    commands.insert(commands.end(), plan.commands.begin(), plan.commands.end());
  }
  std::printf("\n%s: command line of the first row: ffmpeg%s\n", format.c_str(), commands.front().c_str());

  std::printf("%5s %6s %8s %8s %7s %12s %8s %8s\n", "round", "first", "job s", "loop s", "ratio", "own CPU ms",
              "(system)", "CPU %");
  std::vector<double> ratios, cpu_shares;
  double job_total = 0, loop_total = 0, cpu_total = 0;
  for (int round = 1; round <= rounds; ++round) {
    // Alternate the order so that a drift of the machine's load hits both alike.
    const bool job_first = round % 2 == 1;
    // Each run starts with an empty output folder, as a batch into a new folder does:
    // the job would otherwise delete the last run's outputs first (the kernel's work
    // of freeing them counted as its own CPU), while the converter of the loop
    // truncates them on its own account.
    JobRun job;
    double loop;
    if (job_first) {
      empty_folder(out);
      job = run_job(window);
      empty_folder(out);
      loop = run_loop(commands);
    } else {
      empty_folder(out);
      loop = run_loop(commands);
      empty_folder(out);
      job = run_job(window);
    }
    if (job.wall < 0 || loop < 0) {
      std::printf("round %d failed (%s)\n", round, job.wall < 0 ? "job" : "loop");
      return false;
    }
    const double ratio = job.wall / loop, share = 100 * job.cpu.total() / job.wall;
    ratios.push_back(ratio);
    cpu_shares.push_back(share);
    job_total += job.wall;
    loop_total += loop;
    cpu_total += job.cpu.total();
    std::printf("%5d %6s %8.3f %8.3f %7.3f %12.2f %8.2f %8.3f\n", round, job_first ? "job" : "loop", job.wall, loop,
                ratio, job.cpu.total() * 1000, job.cpu.system * 1000, share);
  }
  const int clip_count = static_cast<int>(sources.size());
  std::printf("%s, %d clips, %d rounds: wall ratio job / loop median %.3f, of the totals %.3f\n", format.c_str(),
              clip_count, rounds, median(ratios), job_total / loop_total);
  std::printf("own CPU median %.3f %%, max %.3f %% of the job's wall time (%.2f ms a row)\n", median(cpu_shares),
              *std::max_element(cpu_shares.begin(), cpu_shares.end()),
              1000 * cpu_total / rounds / clip_count);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int clip_count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;
  const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
  std::vector<std::string> formats;
  for (std::string list = argc > 4 ? argv[4] : "mkv,mp3"; !list.empty();) {
    const std::size_t comma = list.find(',');
    formats.push_back(list.substr(0, comma));
    list = comma == std::string::npos ? "" : list.substr(comma + 1);
  }

  test_env::TempDir work;  // clips, outputs and run folder; removed at the end
  const std::string run = test_env::use_job_run_folder(work.path());
  const std::string clips = work / "clips", out = work / "out";
  std::filesystem::create_directories(clips);
  std::filesystem::create_directories(out);

  std::printf("making %d clips of %d s at 1280x720 (H.264/AAC mp4) ...\n", clip_count, seconds);
  std::fflush(stdout);
  std::vector<std::string> sources;
  const auto making = clock_type::now();
  for (int i = 1; i <= clip_count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/clip%03d.mp4", i);
    sources.push_back(clips + name);
    if (!make_batch_clip(sources.back(), i, seconds)) {
      std::printf("making %s failed\n", sources.back().c_str());
      return 1;
    }
  }
  std::printf("made in %.1f s\n", seconds_since(making));

  HeadlessGui headless;
  const WindowToken window = gui().create_window(test_env::build_convert_page_window());
  gui().open_window(window);
  gui().set_text({window, "convert_output_folder_field"}, out);
  const ControlRef list{window, "convert_list"};
  for (const std::string& source : sources) {
    gui().append_row(list, {std::to_string(gui().row_count(list) + 1), source, ""});
  }
  for (const std::string& format : formats) {
    if (!bench_format(window, format, sources, out, rounds)) return 1;
  }

  // The duration probes alone, one per clip as the job runs them.
  const double probes = time_probes(sources);
  if (probes < 0) {
    std::printf("a duration probe failed\n");
    return 1;
  }
  std::printf("\nduration probes alone: %.3f s for %d clips (%.1f ms each)\n", probes, clip_count,
              1000 * probes / clip_count);
  std::printf("targets: wall ratio <= 1.05, own CPU <= 1 %% of wall\n");
  return 0;
}
