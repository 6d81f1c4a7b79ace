#include "platform/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_env::TempDir;
using test_env::write_file;

namespace {

std::string fake_converter() { return test_env::tools_dir() + "/fake_converter"; }

// Writes a fake converter script and gives the command-line text that names it.
std::string script_command(const TempDir& dir, const std::string& script, const std::string& more = "") {
  write_file(dir / "script.txt", script);
  return " \"" + dir / "script.txt" + "\"" + more;
}

std::string read_all(ChildProcess& child) {
  std::string out;
  while (child.read_output(out, 4096, 1000ms) != ChildProcess::ReadResult::end) {
  }
  return out;
}

bool registered(pid_t pid) {
  const auto ids = running_converter_ids();
  return std::find(ids.begin(), ids.end(), pid) != ids.end();
}

}  // namespace

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  struct Case {
    const char* text;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {"", {}},
      {"   \t ", {}},
      {" -i a.mp4 -y b.mp4", {"-i", "a.mp4", "-y", "b.mp4"}},  // leading blank: no empty argument
      {"a\t\tb  ", {"a", "b"}},
      {"\"a b\" c", {"a b", "c"}},
      {"x\"a b\"y", {"xa by"}},        // quoted and unquoted pieces touching: one argument
      {"\"\"", {""}},                  // an empty quoted argument
      {"a \"\" b", {"a", "", "b"}},
      {"\"a\tb\"", {"a\tb"}},
      {"\"unterminated b", {"unterminated b"}},
      {"a\\b c\\\\d", {"a\\b", "c\\\\d"}},      // backslashes not before a quote: literal
      {"a\\\"b", {"a\"b"}},                   // 1 backslash + quote: literal quote
      {"a\\\\\"b c\"", {"a\\b c"}},            // 2 backslashes + quote: 1 backslash, quote opens
      {"a\\\\\\\"b c", {"a\\\"b", "c"}},       // 3: 1 backslash and a literal quote
      {"\"a\\\\\" b", {"a\\", "b"}},           // 2 before the closing quote
      {"\"C:\\dir\\\\\"", {"C:\\dir\\"}},
      {"\"a\"\"b\"", {"a\"b"}},               // doubled quote inside quotes: literal, stays quoted
      {"\"a\"\"b c\" d", {"a\"b c", "d"}},
      {"\"\"\"\"", {"\""}},
      {"a\"\"b", {"ab"}},                     // "" outside quotes opens and closes
      {"\"a\"\" b", {"a\" b"}},
      {"a\nb", {"a\nb"}},                     // only blanks and tabs separate
      {"; | $HOME * 'x y' %1", {";", "|", "$HOME", "*", "'x", "y'", "%1"}},
      {" \"D:/视频 文件/a b.mp4\"", {"D:/视频 文件/a b.mp4"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(split_command_line(c.text), c.arguments) << "[" << c.text << "]";
  }
}

TEST(ChildProcess, StartsInTheProgramFolderWithSplitArgumentsAndNothingInherited) {
  TempDir dir;
  fs::create_directory(dir / "bin");
  fs::create_symlink(fake_converter(), dir / "bin/fake");  // the folder of the link counts
  const int leaked = open("/dev/null", O_RDONLY);            // not close-on-exec on purpose
  ASSERT_GE(leaked, 0);

  ChildProcess child;
  ASSERT_TRUE(child.start(dir / "bin/fake",
                          script_command(dir, "args\ncwd\nfds\nstdin\ne on-stderr\\n\nx 0\n",
                                         " plain \"a b\" c\\\"d \"\" e\"\"f \"g\"\"h\"")));
  EXPECT_GT(child.id(), 0);
  const std::string out = read_all(child);
  close(leaked);
  EXPECT_EQ(child.wait_for_exit(), 0);
  EXPECT_EQ(out, "[plain]\n[a b]\n[c\"d]\n[]\n[ef]\n[g\"h]\n" + dir / "bin" +
                     "\nfds:\nstdin:eof\non-stderr\n");
}

TEST(ChildProcess, RelativeProgramPathCountsFromTheCurrentFolder) {
  TempDir dir;
  fs::create_directory(dir / "bin");
  fs::create_symlink(fake_converter(), dir / "bin/fake");
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  ChildProcess child;
  const bool started = child.start("bin/fake", script_command(dir, "cwd\n"));
  fs::current_path(previous);
  ASSERT_TRUE(started);
  EXPECT_EQ(read_all(child), dir / "bin" + "\n");
  EXPECT_EQ(child.wait_for_exit(), 0);
}

TEST(ChildProcess, ReadsWithATimeoutAndRecordsTheExitStatus) {
  TempDir dir;
  ChildProcess child;
  ASSERT_TRUE(child.start(fake_converter(), script_command(dir, "w hello\\n\ns 400\nw bye\nx 7\n")));
  EXPECT_EQ(child.exit_status(), -1);
  std::string out;
  EXPECT_EQ(child.read_output(out, 1023, 2000ms), ChildProcess::ReadResult::data);
  EXPECT_EQ(out, "hello\n");
  // The program sleeps: a short read waits its time and comes back empty.
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(child.read_output(out, 1023, 50ms), ChildProcess::ReadResult::timed_out);
  EXPECT_GE(std::chrono::steady_clock::now() - before, 50ms);
  EXPECT_FALSE(child.has_exited());
  out += read_all(child);
  EXPECT_EQ(out, "hello\nbye");
  EXPECT_EQ(child.wait_for_exit(), 7);
  EXPECT_EQ(child.exit_status(), 7);
  EXPECT_TRUE(child.has_exited());
}

TEST(ChildProcess, WaitingForTheEndLeavesItsOutputToBeRead) {
  TempDir dir;
  ChildProcess child;
  ASSERT_TRUE(child.start(fake_converter(), script_command(dir, "w early\\n\ns 300\nw late\\n\nx 5\n")));
  std::string out;
  EXPECT_EQ(child.read_output(out, 1023, 2000ms), ChildProcess::ReadResult::data);
  EXPECT_FALSE(child.wait_for_end(20ms));  // still sleeping
  EXPECT_TRUE(child.wait_for_end(10000ms));
  EXPECT_TRUE(child.wait_for_end(0ms));
  out += read_all(child);  // written just before the end, and not lost by the wait
  EXPECT_EQ(out, "early\nlate\n");
  EXPECT_EQ(child.wait_for_exit(), 5);
  EXPECT_TRUE(child.wait_for_end(0ms));  // reaped

  ChildProcess none;
  EXPECT_TRUE(none.wait_for_end(0ms));
}

TEST(ChildProcess, OutputClosedBeforeTheEndAndEndThroughASignal) {
  TempDir dir;
  ChildProcess closing;
  ASSERT_TRUE(closing.start(fake_converter(), script_command(dir, "w x\nclose\ns 300\nx 3\n")));
  EXPECT_EQ(read_all(closing), "x");
  EXPECT_FALSE(closing.has_exited());
  EXPECT_EQ(closing.wait_for_exit(), 3);

  TempDir dir2;
  ChildProcess signalled;
  ASSERT_TRUE(signalled.start(fake_converter(), script_command(dir2, "kill 15\n")));
  read_all(signalled);
  EXPECT_EQ(signalled.wait_for_exit(), exit_status_of_signal(SIGTERM));
}

TEST(ChildProcess, StartFailuresStartNothing) {
  TempDir dir;
  write_file(dir / "not_executable", "#!/bin/sh\n");
  for (const std::string& program : {dir / "missing", dir.path(), dir / "not_executable", std::string()}) {
    ChildProcess child;
    EXPECT_FALSE(child.start(program, " -version")) << program;
    EXPECT_EQ(child.id(), 0);
    std::string out;
    EXPECT_EQ(child.read_output(out, 10, 10ms), ChildProcess::ReadResult::end);
    EXPECT_EQ(child.wait_for_exit(), -1);
  }
  ChildProcess twice;
  ASSERT_TRUE(twice.start(fake_converter(), script_command(dir, "x 0\n")));
  EXPECT_FALSE(twice.start(fake_converter(), script_command(dir, "x 0\n")));
  EXPECT_EQ(twice.wait_for_exit(), 0);
}

TEST(ChildProcess, SignalsAreAtTheirDefaultsInTheChild) {
  // This program ignores one signal and blocks another on the starting thread; the
  // child must still be ended by both.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGINT, &ignore, &previous);
  sigset_t term, old_mask;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &term, &old_mask);
  for (const int signal_number : {SIGINT, SIGTERM}) {
    TempDir dir;
    ChildProcess child;
    ASSERT_TRUE(child.start(fake_converter(), script_command(dir, "kill " + std::to_string(signal_number) + "\nx 0\n")));
    read_all(child);
    EXPECT_EQ(child.wait_for_exit(), exit_status_of_signal(signal_number)) << signal_number;
  }
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  sigaction(SIGINT, &previous, nullptr);
}

TEST(ChildProcess, EndsWhenTheThreadThatStartedItEnds) {
  // The kernel ends the process with the thread that started it (and so with the
  // program, however it dies), even though its object lives on.
  TempDir dir;
  ChildProcess child;
  bool started = false;
  std::thread([&] { started = child.start(fake_converter(), script_command(dir, "s 30000\nx 0\n")); }).join();
  ASSERT_TRUE(started);
  read_all(child);
  EXPECT_EQ(child.wait_for_exit(), exit_status_of_signal(SIGKILL));
}

TEST(ConverterRegistry, EndsOnlyTheProcessesItStartedAndForgetsThemWhenReaped) {
  TempDir dir;
  // A process this program did not start through the registry: it must survive.
  pid_t stranger = 0;
  char sleep_path[] = "/bin/sleep", seconds[] = "30";
  char* stranger_argv[] = {sleep_path, seconds, nullptr};
  ASSERT_EQ(posix_spawn(&stranger, sleep_path, nullptr, nullptr, stranger_argv, nullptr), 0);

  ChildProcess first, second;
  ASSERT_TRUE(first.start(fake_converter(), script_command(dir, "w started\\n\ns 30000\n")));
  ASSERT_TRUE(second.start(fake_converter(), script_command(dir, "w started\\n\ns 30000\n")));
  EXPECT_TRUE(registered(first.id()));
  EXPECT_TRUE(registered(second.id()));
  std::string out;
  ASSERT_EQ(first.read_output(out, 100, 5000ms), ChildProcess::ReadResult::data);

  end_all_converter_processes();
  EXPECT_EQ(read_all(first), "");
  EXPECT_EQ(first.wait_for_exit(), exit_status_of_signal(SIGKILL));
  EXPECT_EQ(second.wait_for_exit(), exit_status_of_signal(SIGKILL));
  EXPECT_FALSE(registered(first.id()));
  EXPECT_FALSE(registered(second.id()));

  int status = 0;
  EXPECT_EQ(waitpid(stranger, &status, WNOHANG), 0);  // still running
  kill(stranger, SIGKILL);
  waitpid(stranger, &status, 0);
}

TEST(ConverterRegistry, AnObjectThatGoesEndsAndReapsItsProcess) {
  TempDir dir;
  pid_t pid = 0;
  {
    ChildProcess child;
    ASSERT_TRUE(child.start(fake_converter(), script_command(dir, "s 30000\n")));
    pid = child.id();
  }
  EXPECT_FALSE(registered(pid));
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, WNOHANG), -1);  // already reaped: no zombie left
  EXPECT_EQ(errno, ECHILD);
}

TEST(ConverterRegistry, NoProcessStartsOnceShutdownHasBegun) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempDir dir;
  const std::string command = script_command(dir, "x 0\n");
  EXPECT_EXIT(
      {
        ChildProcess before;
        if (!before.start(fake_converter(), command) || before.wait_for_exit() != 0) std::_Exit(1);
        EXPECT_FALSE(converter_shutdown_begun());
        begin_converter_shutdown();
        ChildProcess after;
        const bool started = after.start(fake_converter(), command);
        std::_Exit(!started && after.id() == 0 && converter_shutdown_begun() ? 0 : 2);
      },
      ::testing::ExitedWithCode(0), "");
}
