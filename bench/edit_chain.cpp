// Cost of a whole edit job with several steps compared with running its converter
// command lines directly.
//
// Makes a number of 10-second 1280x720 H.264/AAC mp4 clips (testsrc2 and a sine tone)
// in a temporary folder and puts them in the edit list of a headless main window with
// the head and tail cut (its default 3 s and 2 s), sharpening, the horizontal flip, the
// random transition, a PNG picture watermark and the blurred border checked, saving as
// mp4 into a temporary folder. One job runs
// first with a logging converter in the run folder, which writes down every converter
// call's arguments: the duration probes, the first work files' probes, the steps and
// the saves. Then, over several rounds and alternating which goes first:
// - the real edit job: `batch_edit_videos` on its own thread, as the start button
//   starts it, with the run folder's converter the system's one again;
// - a plain loop: the work folder made, each source copied into its first work file
//   (the job copies an mp4 source, it does not convert it), then every logged call in
//   order, each converter started with posix_spawn, its output to /dev/null, and waited
//   for with waitpid (a call that exits non-zero, like the probes, is part of the work).
// The job draws its transition and fade length anew in every run, the loop replays the
// logged ones; their costs differ little next to the encodes.
// For each round it prints both wall times, their ratio (job / loop) and this program's
// own CPU time during the job (getrusage RUSAGE_SELF: every thread of the program, the
// converters' time is not in it), also as a share of the job's wall time.
// On a machine whose load changes from one minute to the next, a whole job and its
// loop may meet different loads. With "pairs" the sides alternate clip by clip
// instead: a job on one clip, then the loop of that clip's calls (or the other way
// round, alternating), and a round adds up the clips; each job then also sets up and
// ends once per clip, so the job's own share is if anything overstated.
// Then the background picture step on its own: over the same rounds, a job on the first
// clip with only the background picture (a JPEG) checked against a job with nothing
// checked, alternating which goes first; the difference is the step's wall time, printed
// against the clip's length (the step once read its input at the speed it plays).
// Everything it made is deleted at the end.
//
// Usage: edit_chain [clips [rounds [pairs]]]   (defaults 5, 4 and whole jobs)
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
#include "engine/edit/edit_job.h"
#include "engine/edit/edit_job_save.h"
#include "engine/edit/edit_job_state.h"
#include "platform/gui/gui.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/logging_converter.h"
#include "tests/support/test_env.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;
bool make_bench_clip(const std::string& path, int index) {
  const std::string tone = std::to_string(220 + 20 * index);
  return test_env::make_clip({"-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=25:duration=10", "-f", "lavfi", "-i",
                              "sine=frequency=" + tone + ":sample_rate=44100:duration=10", "-c:v", "libx264",
                              "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path});
}

void empty_folder(const std::string& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
}

// The run folder's converter: the system's one, or the logging stand-in.
void use_system_converter(const std::string& run) {
  fs::remove(run + "/bin/ffmpeg");
  fs::create_symlink(QF_SYSTEM_FFMPEG, run + "/bin/ffmpeg");
}

// The edit job on its own thread; failed (negative wall time) unless every row ended
// ">任务完成<" with every step of the chain done.
JobRun run_job(WindowToken window) {
  stop_requested = false;
  JobRun run = run_timed_on_thread(batch_edit_videos_thread_entry, window);
  for (const ListRow& row : gui().list_rows({window, "edit_list"})) {
    const std::string status = row.cells.size() > edit_list_status_column ? row.cells[edit_list_status_column] : "";
    if (status != edit_status_done) {
      std::printf("row %s ended \"%s\"\n", row.cells[0].c_str(), status.c_str());
      run.wall = -1;
    }
  }
  return run;
}

using Calls = std::vector<std::vector<std::string>>;

// The steps of the chain that is timed against its loop.
const std::vector<const char*> chain_boxes = {"head_trim_check",    "tail_trim_check",         "sharpen_check",
                                              "hflip_check",        "random_transition_check", "picture_watermark_check",
                                              "blur_border_check"};

// A one-colour picture of `size` ("96x54") made by the converter: PNG or JPEG by the
// name's ending.
bool make_picture(const std::string& path, const std::string& colour, const std::string& size) {
  return test_env::make_clip({"-f", "lavfi", "-i", "color=c=" + colour + ":s=" + size, "-frames:v", "1", path});
}

// The edit list holding `sources` alone, in order.
void list_sources(WindowToken window, const std::vector<std::string>& sources) {
  const ControlRef list{window, "edit_list"};
  gui().clear_rows(list);
  for (const std::string& source : sources) {
    gui().append_row(list, {std::to_string(gui().row_count(list) + 1), source, "", ""});
  }
}

// The converter calls of a job on `sources`, logged by the stand-in converter.
Calls log_job_calls(WindowToken window, const std::string& run, const std::string& log,
                    const std::vector<std::string>& sources) {
  list_sources(window, sources);
  fs::remove(log);
  test_env::install_logging_converter(run, log);
  const bool done = run_job(window).wall >= 0;
  use_system_converter(run);
  return done ? test_env::read_logged_commands(log) : Calls{};
}

// The loop: the work folder, the first work files of the rows of `sources`, then every
// call in order.
double run_loop(const std::vector<std::string>& sources, const Calls& calls) {
  const std::string program = ffmpeg_exe_path.get();
  const auto start = clock_type::now();
  fs::create_directories(edit_work_folder());
  for (std::size_t i = 0; i < sources.size(); ++i) {
    fs::copy_file(sources[i], edit_work_folder() + std::to_string(i + 1) + ".mp4",
                  fs::copy_options::overwrite_existing);
  }
  for (const std::vector<std::string>& call : calls) run_arguments_directly(program, call);
  const double wall = seconds_since(start);
  fs::remove_all(edit_work_folder());
  return wall;
}

// A job on `sources` and the loop of `calls`, in the order asked, each from an empty
// output folder.
void run_both(WindowToken window, const std::string& out, const std::vector<std::string>& sources,
              const Calls& calls, bool job_first, JobRun& job, double& loop) {
  list_sources(window, sources);
  for (int side = 0; side < 2; ++side) {
    empty_folder(out);
    if ((side == 0) == job_first) {
      job = run_job(window);
    } else {
      loop = run_loop(sources, calls);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int clip_count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;
  const bool pairs = argc > 3 && std::string(argv[3]) == "pairs";

  test_env::TempDir work;  // clips, outputs and run folder; removed at the end
  const std::string run = test_env::use_job_run_folder(work.path());
  const std::string clips = work / "clips", out = work / "out";
  fs::create_directories(clips);
  fs::create_directories(out);

  std::printf("making %d clips of 10 s at 1280x720 (H.264/AAC mp4) ...\n", clip_count);
  std::fflush(stdout);
  std::vector<std::string> sources;
  for (int i = 1; i <= clip_count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/clip%03d.mp4", i);
    sources.push_back(clips + name);
    if (!make_bench_clip(sources.back(), i)) {
      std::printf("making %s failed\n", sources.back().c_str());
      return 1;
    }
  }

  const std::string watermark = clips + "/watermark.png", background = clips + "/background.jpg";
  if (!make_picture(watermark, "red", "96x54") || !make_picture(background, "blue", "1280x720")) {
    std::printf("making the pictures failed\n");
    return 1;
  }

  HeadlessGui headless;
  const WindowToken window = gui().create_window(main_window_spec(run));
  gui().set_text({window, "edit_output_folder_field"}, out);
  gui().set_text({window, "watermark_picture_field"}, watermark);
  gui().set_text({window, "background_picture_field"}, background);
  for (const char* box : chain_boxes) gui().set_checked({window, box}, true);
  gui().set_checked({window, "edit_format_mp4_radio"}, true);

  // The command lines, as the job runs them: of the whole job, or of each clip's.
  const std::string log = work / "converter.log";
  std::vector<std::vector<std::string>> groups;  // the sources of each job
  if (pairs) {
    for (const std::string& source : sources) groups.push_back({source});
  } else {
    groups.push_back(sources);
  }
  std::vector<Calls> calls;
  std::size_t call_count = 0;
  for (const std::vector<std::string>& group : groups) {
    calls.push_back(log_job_calls(window, run, log, group));
    if (calls.back().empty()) {
      std::printf("the logged job failed\n");
      return 1;
    }
    call_count += calls.back().size();
  }
  std::printf("%zu converter calls for %d clips (%s); the first clip's trim: ffmpeg", call_count, clip_count,
              pairs ? "one job per clip, alternating clip by clip" : "one job");
  for (const std::vector<std::string>& call : calls.front()) {
    if (std::find(call.begin(), call.end(), "-ss") != call.end() && call.size() > 2 && call[0] == "-i") {
      for (const std::string& argument : call) std::printf(" %s", argument.c_str());
      break;
    }
  }
  std::printf("\n\n%5s %6s %8s %8s %7s %12s %8s %8s\n", "round", "first", "job s", "loop s", "ratio", "own CPU ms",
              "(system)", "CPU %");

  std::vector<double> ratios, cpu_shares;
  double job_total = 0, loop_total = 0;
  for (int round = 1; round <= rounds; ++round) {
    // Alternate the order so that a drift of the machine's load hits both alike.
    JobRun job_sum{0, {}};
    double loop_sum = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
      const bool job_first = (round + static_cast<int>(g)) % 2 == 1;
      JobRun job;
      double loop = 0;
      run_both(window, out, groups[g], calls[g], job_first, job, loop);
      if (job.wall < 0) {
        std::printf("round %d failed\n", round);
        return 1;
      }
      job_sum.wall += job.wall;
      job_sum.cpu.user += job.cpu.user;
      job_sum.cpu.system += job.cpu.system;
      loop_sum += loop;
    }
    const double ratio = job_sum.wall / loop_sum, share = 100 * job_sum.cpu.total() / job_sum.wall;
    ratios.push_back(ratio);
    cpu_shares.push_back(share);
    job_total += job_sum.wall;
    loop_total += loop_sum;
    std::printf("%5d %6s %8.3f %8.3f %7.3f %12.2f %8.2f %8.3f\n", round,
                pairs ? "alt." : (round % 2 == 1 ? "job" : "loop"), job_sum.wall, loop_sum, ratio,
                job_sum.cpu.total() * 1000, job_sum.cpu.system * 1000, share);
    std::fflush(stdout);
  }

  std::printf("\n%d clips, %d rounds: wall ratio job / loop median %.3f, of the totals %.3f\n", clip_count, rounds,
              median(ratios), job_total / loop_total);
  std::printf("own CPU median %.3f %%, max %.3f %% of the job's wall time\n", median(cpu_shares),
              *std::max_element(cpu_shares.begin(), cpu_shares.end()));
  std::printf("targets: wall ratio <= 1.05, own CPU <= 1 %% of wall\n");

  // The background picture step alone, as the difference of two jobs on one clip.
  for (const char* box : chain_boxes) gui().set_checked({window, box}, false);
  list_sources(window, {sources.front()});
  std::vector<double> step_walls;
  for (int round = 1; round <= rounds; ++round) {
    double with_step = 0, without_step = 0;
    for (int side = 0; side < 2; ++side) {
      const bool step_side = (side == 0) == (round % 2 == 1);
      gui().set_checked({window, "background_picture_check"}, step_side);
      empty_folder(out);
      const double wall = run_job(window).wall;
      if (wall < 0) {
        std::printf("the background picture job failed\n");
        return 1;
      }
      (step_side ? with_step : without_step) = wall;
    }
    step_walls.push_back(with_step - without_step);
    std::printf("round %d: job with the background picture %.3f s, without %.3f s, the step %.3f s\n", round,
                with_step, without_step, with_step - without_step);
  }
  std::printf("background picture step: median %.3f s on a 10 s clip (%.3f of its length)\n", median(step_walls),
              median(step_walls) / 10);
  return 0;
}
