#include "engine/converter/converter_runner.h"
#include "engine/converter/media_probes.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <random>
#include <atomic>
#include <thread>

#include "platform/event_pump.h"
#include "platform/process.h"
#include "tests/support/test_env.h"

using namespace std::chrono_literals;
using test_env::TempDir;
using test_env::write_file;

namespace {

struct Report {
  std::string status, time;
  bool operator==(const Report&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Report& r) { return out << "(" << r.status << ", " << r.time << ")"; }

// One run of the fake converter with a script, everything it reports collected.
struct FakeRun {
  std::vector<Report> reports;
  std::string console;
  int process_id = -7;
  int exit_status = -7;

  explicit FakeRun(const std::string& script) {
    TempDir dir;
    write_file(dir / "script.txt", script);
    run_console_capture(test_env::tools_dir() + "/fake_converter", " " + dir / "script.txt",
                        [this](const std::string& s, const std::string& t) { reports.push_back({s, t}); },
                        &process_id, &console, &exit_status);
  }
};

}  // namespace

TEST(ChunkRules, StatusWordTimeTextAndChunkText) {
  EXPECT_EQ(chunk_status_word("x global headers:0kB No such file or directory"), "任务完成");
  EXPECT_EQ(chunk_status_word("a.mp4: Input/output error\r\nNo such file or directory"), "输入输出错误");
  EXPECT_EQ(chunk_status_word("b.mp4: No such file or directory"), "文件不存在");
  EXPECT_EQ(chunk_status_word("frame=  10 fps=0.0 q=-1.0 size=N/A"), "正常运行");
  EXPECT_EQ(chunk_status_word("GLOBAL HEADERS:0KB"), "正常运行");  // case matters

  struct Case {
    const char* chunk;
    const char* previous;
    const char* time;
  };
  const Case times[] = {
      {"frame=1 time=00:01:02.50 bitrate=1k", "", "00:01:02"},
      {"time=-00:00:00.04 bitrate=N/A", "00:00:03", "00:00:03"},  // negative: not accepted
      {"time=-00:00:00.04", "", ""},
      {"size=N/A time=N/A bitrate=N/A", "00:00:03", "N/A bitr"},
      {"no position here", "00:00:03", "00:00:03"},
      {"time= 1:02:3 rest", "", "1:02:3"},
      {"time=\xE3\x80\x80" "12:34", "", "12:34"},  // full-width blank trimmed
      {"time=00:00:01.00 time=00:00:09.00", "", "00:00:01"},  // the first one counts
      {"time=", "00:00:03", ""},
  };
  for (const auto& c : times) EXPECT_EQ(chunk_time_text(c.chunk, c.previous), c.time) << c.chunk;

  EXPECT_EQ(console_chunk_text("a\nb \rc"), "a\r\nb c");
  EXPECT_EQ(console_chunk_text("x  \r\r\n"), "x  \r\r\n");  // the LF gains a CR, the blank's CR goes
  EXPECT_EQ(console_chunk_text(std::string("ab\0cd\n", 6)), "ab");

  // The rules word for word, in two passes, against random bytes of the kinds that matter.
  const auto by_the_rules = [](const std::string& bytes) {
    const std::string text = bytes.substr(0, bytes.find('\0'));
    std::string crlf;
    for (const char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    std::string out;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
      out += crlf[i];
      if (crlf[i] == ' ' && i + 1 < crlf.size() && crlf[i + 1] == '\r') ++i;
    }
    return out;
  };
  std::mt19937 random(3);
  const std::string alphabet("ab \r\n\0", 6);
  for (int n = 0; n < 3000; ++n) {
    std::string bytes(random() % 12, 'a');
    for (char& c : bytes) c = alphabet[random() % (n % 5 == 0 ? 6 : 5)];
    ASSERT_EQ(console_chunk_text(bytes), by_the_rules(bytes)) << testing::PrintToString(bytes);
  }
}

TEST(RunConsoleCapture, EachChunkIsSeenJustBeforeItsReport) {
  TempDir dir;
  write_file(dir / "script.txt",
             "w Duration: 00:00:05.00, start: 0\\n\ndrain\nw frame=1 time=00:00:01.00\\r\ndrain\nw end\\n\n");
  std::vector<std::string> events;
  std::string console;
  run_console_capture(
      test_env::tools_dir() + "/fake_converter", " " + dir / "script.txt",
      [&](const std::string& status, const std::string& time) { events.push_back("report " + status + " " + time); },
      nullptr, &console, nullptr, nullptr, [&](const std::string& chunk) { events.push_back("chunk " + chunk); });
  const std::vector<std::string> expected{"chunk Duration: 00:00:05.00, start: 0\r\n", "report 正常运行 ",
                                          "chunk frame=1 time=00:00:01.00\r", "report 正常运行 00:00:01",
                                          "chunk end\r\n", "report 正常运行 00:00:01"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(duration_in_console(console), "00:00:05");
  EXPECT_EQ(duration_in_console("Duration: 00:0\r\n1:02.00"), "00:01:02");
  EXPECT_EQ(duration_in_console("no duration here"), "");
}

TEST(RunConsoleCapture, LineFeedsAndBlankCarriageReturnsBecomeTheChunkText) {
  const FakeRun run("w a\\nb \\rc\\n\nx 0\n");
  EXPECT_EQ(run.console, "a\r\nb c\r\n\r\n");
  ASSERT_EQ(run.reports.size(), 1u);
  EXPECT_EQ(run.reports[0], (Report{"正常运行", ""}));
  EXPECT_GT(run.process_id, 0);
  EXPECT_EQ(run.exit_status, 0);
}

TEST(RunConsoleCapture, OneReportPerChunkInOrderWithTheTimeRule) {
  const FakeRun run(
      "w frame=1 time=-00:00:00.04 bitrate=N/A speed=N/A    \\r\ndrain\n"
      "w frame=2 time=00:00:01.00 bitrate=1k\\r\ndrain\n"
      "w frame=3 time=-00:00:00.02 bitrate=1k\\r\ndrain\n"
      "w size=N/A time=N/A bitrate=N/A\\r\ndrain\n"
      "w Stream mapping: none\\n\ndrain\n"
      "e video:1kB audio:0kB global headers:0kB muxing overhead: 1%\\n\ndrain\n"
      "w a.mp4: No such file or directory\\n\n");
  const std::vector<Report> expected{
      {"正常运行", ""},         {"正常运行", "00:00:01"}, {"正常运行", "00:00:01"},
      {"正常运行", "N/A bitr"}, {"正常运行", "N/A bitr"}, {"任务完成", "N/A bitr"},
      {"文件不存在", "N/A bitr"}};
  EXPECT_EQ(run.reports, expected);
  EXPECT_TRUE(run.console.starts_with("frame=1 time=-00:00:00.04 bitrate=N/A speed=N/A    \r\n"));
  EXPECT_TRUE(run.console.ends_with("a.mp4: No such file or directory\r\n\r\n"));
}

TEST(RunConsoleCapture, MarkersSplitByWritesOrReadBoundariesStayWhole) {
  // Two writes with a pause between them: the first ends inside the marker.
  const FakeRun paused(
      "w Duration: 00:0\ndrain\nw 1:23.45, start: 0.000000\\n  Stream #0:0: Video: h264, yuv420p, 32\ndrain\n"
      "w 0x240, 25 fps\\n\ndrain\nw in.mp4: No such file \ndrain\nw or directory\\n\n");
  EXPECT_NE(paused.console.find("Duration: 00:01:23.45, start"), std::string::npos) << paused.console;
  EXPECT_NE(paused.console.find("yuv420p, 320x240, 25 fps"), std::string::npos) << paused.console;
  ASSERT_FALSE(paused.reports.empty());
  EXPECT_EQ(paused.reports.back().status, "文件不存在");

  // One write larger than a read: the 1023-byte boundary falls inside the markers.
  std::string lines;
  while (lines.size() < 1010) lines += "0123456789abc\n";
  lines.resize(1010);
  lines += "\nDuration: 00:01:23.45, start: 0.0\n";  // byte 1023 falls inside the duration
  std::string script = "w ";
  for (const char c : lines) script += c == '\n' ? std::string("\\n") : std::string(1, c);
  const FakeRun boundary(script + "\n");
  EXPECT_NE(boundary.console.find("Duration: 00:01:23.45, start"), std::string::npos);
}

TEST(RunConsoleCapture, LastPieceWithoutLineBreakAndEverythingAfterTheExitIsRead) {
  const FakeRun tail("w first\\nlast without break\nx 3\n");
  EXPECT_EQ(tail.console, "first\r\n\r\nlast without break\r\n");
  EXPECT_EQ(tail.reports.size(), 2u);
  EXPECT_EQ(tail.exit_status, 3);

  // Far more than the pipe holds, written just before the exit.
  const FakeRun big("big 300000\n");
  const std::size_t digits = std::count_if(big.console.begin(), big.console.end(),
                                           [](char c) { return c >= '0' && c <= '9'; });
  EXPECT_EQ(digits, 300000u - 300000u / 11);
  EXPECT_EQ(big.exit_status, 0);
}

TEST(RunConsoleCapture, SilentProgramSignalsAndLeftoverWriters) {
  const FakeRun silent("s 100\nx 0\n");
  EXPECT_TRUE(silent.reports.empty());
  EXPECT_EQ(silent.console, "");
  EXPECT_EQ(silent.exit_status, 0);

  const FakeRun killed("w before\\n\nkill 9\n");
  EXPECT_EQ(killed.console, "before\r\n\r\n");
  EXPECT_EQ(killed.exit_status, exit_status_of_signal(SIGKILL));

  // A process the program left behind keeps the pipe open for long: the run ends with
  // the program, not with it.
  const auto start = std::chrono::steady_clock::now();
  const FakeRun leftover("w hi\\n\ndrain\nhold 20000\nw bye\\n\nx 4\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
  EXPECT_EQ(leftover.console, "hi\r\n\r\nbye\r\n\r\n");
  EXPECT_EQ(leftover.exit_status, 4);
}

TEST(RunConsoleCapture, MissingProgramAndStartFailure) {
  TempDir dir;
  std::vector<Report> reports;
  std::string console = "old";
  int id = 12345, status = 0;
  const auto record = [&](const std::string& s, const std::string& t) { reports.push_back({s, t}); };
  run_console_capture(dir / "bin/ffmpeg", " -i x.mp4", record, &id, &console, &status);
  EXPECT_EQ(console, dir / "bin/ffmpeg" + " 不存在");
  EXPECT_EQ(reports, (std::vector<Report>{{"", ""}}));
  EXPECT_EQ(id, 12345);
  EXPECT_EQ(status, -1);

  reports.clear();
  write_file(dir / "not_a_program", "text");
  run_console_capture(dir / "not_a_program", " -i x.mp4", record, &id, &console, &status);
  EXPECT_EQ(console, "");
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(id, 0);
  EXPECT_EQ(status, -1);
}

TEST(RunConsoleCapture, RegistersItsProcessAndEndsWhenShutdownKillsIt) {
  TempDir dir;
  write_file(dir / "script.txt", "w started\\n\ns 30000\n");
  int id = 0, status = 0;
  std::string console;
  bool registered_while_running = false;
  std::thread shutdown;
  run_console_capture(
      test_env::tools_dir() + "/fake_converter", " " + dir / "script.txt",
      [&](const std::string&, const std::string&) {
        const auto ids = running_converter_ids();
        registered_while_running = std::find(ids.begin(), ids.end(), id) != ids.end();
        if (!shutdown.joinable()) shutdown = std::thread([] { end_all_converter_processes(); });
      },
      &id, &console, &status);
  shutdown.join();
  EXPECT_TRUE(registered_while_running);
  EXPECT_EQ(console, "started\r\n\r\n");
  EXPECT_EQ(status, exit_status_of_signal(SIGKILL));
  const auto ids = running_converter_ids();
  EXPECT_EQ(std::find(ids.begin(), ids.end(), id), ids.end());
}

TEST(RunConsoleCapture, TellsItsProcessIdBeforeAnyOutputSoThatOneRunCanBeEnded) {
  // A silent program: only the start notice can name it while it runs.
  TempDir dir;
  write_file(dir / "script.txt", "s 30000\nw too late\n");
  int id = 0, status = 0, notices = 0, noticed = -1;
  bool ended = false;
  std::string console;
  std::thread ender;
  run_console_capture(test_env::tools_dir() + "/fake_converter", " " + dir / "script.txt", nullptr, &id, &console,
                      &status, [&](int started) {
                        ++notices;
                        noticed = started;
                        ender = std::thread([&, started] { ended = end_converter_process(started); });
                      });
  ender.join();
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(noticed, id);
  EXPECT_TRUE(ended);
  EXPECT_EQ(status, exit_status_of_signal(SIGKILL));
  EXPECT_EQ(console, "");
  // Once reaped, the id is no longer the program's to end.
  EXPECT_FALSE(end_converter_process(id));

  // A missing program starts nothing and tells nothing.
  run_console_capture(dir / "missing", " -version", nullptr, nullptr, nullptr, nullptr, [&](int) { ++notices; });
  EXPECT_EQ(notices, 1);
}

// Begins shutdown, then tries a run; exits with 0 when nothing ran and nothing was reported.
[[noreturn]] void run_after_shutdown(const std::string& fake, const std::string& command) {
  begin_converter_shutdown();
  int calls = 0, id = -1, status = 0;
  std::string console = "old";
  run_console_capture(fake, command, [&](const std::string&, const std::string&) { ++calls; }, &id, &console,
                      &status);
  std::_Exit(calls == 0 && console.empty() && id == 0 && status == -1 ? 0 : 1);
}

TEST(RunConsoleCapture, NothingStartsAfterShutdownBegan) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempDir dir;
  write_file(dir / "script.txt", "w output\\n\n");
  EXPECT_EXIT(run_after_shutdown(test_env::tools_dir() + "/fake_converter", " " + dir / "script.txt"),
              ::testing::ExitedWithCode(0), "");
}

TEST(RunConsoleCapture, OnTheUiThreadEventsKeepFlowing) {
  std::atomic<int> pumped = 0;
  set_ui_event_pump([&] { ++pumped; });
  const FakeRun run("w one\\n\ndrain\ns 300\nw two\\n\ns 300\n");
  set_ui_event_pump({});
  EXPECT_EQ(run.console, "one\r\n\r\ntwo\r\n\r\n");
  EXPECT_EQ(run.reports.size(), 2u);
  EXPECT_GT(pumped.load(), 5);  // 600 ms of sleeping, polls every 25 ms
}

class RealConverter : public ::testing::Test {
 protected:
  void SetUp() override {
    program = test_env::make_run_folder(dir.path()) + "/bin/ffmpeg";
    ASSERT_TRUE(test_env::make_h264_aac_mp4(dir / "clip.mp4"));
  }
  std::vector<std::string> statuses(const std::string& command, std::string* console = nullptr,
                                    int* status = nullptr) {
    std::vector<std::string> seen;
    run_console_capture(program, command, [&](const std::string& s, const std::string&) { seen.push_back(s); },
                        nullptr, console, status);
    return seen;
  }
  TempDir dir;
  std::string program;
};

TEST_F(RealConverter, FinishedRunReportsTaskFinished) {
  std::string console;
  int status = -1;
  const auto seen = statuses(" -i " + dir / "clip.mp4" + " -c copy -y " + dir / "out.ts", &console, &status);
  EXPECT_EQ(status, 0) << console;
  EXPECT_NE(std::find(seen.begin(), seen.end(), "任务完成"), seen.end()) << console;
  EXPECT_NE(console.find("global headers:0kB"), std::string::npos);
  const auto probe = test_env::ffprobe(dir / "out.ts");
  EXPECT_TRUE(probe.ok);
  EXPECT_EQ(probe.width, 320);
}

TEST_F(RealConverter, MissingInputReportsFileMissing) {
  std::string console;
  int status = 0;
  const auto seen = statuses(" -i " + dir / "missing.mp4" + " -y " + dir / "out.mp4", &console, &status);
  EXPECT_NE(std::find(seen.begin(), seen.end(), "文件不存在"), seen.end()) << console;
  EXPECT_NE(status, 0);
}
