#include "tests/support/test_env.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

extern char** environ;

namespace test_env {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "qftest-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

ProgramResult run_program(const std::vector<std::string>& argv) {
  ProgramResult result;
  if (argv.empty()) return result;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return result;
  }
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    result.output.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string make_run_folder(const std::string& parent) {
  const std::string run = parent + "/run";
  fs::create_directories(run + "/bin");
  fs::create_directories(run + "/data");
  std::error_code ec;
  fs::create_symlink(QF_SYSTEM_FFMPEG, run + "/bin/ffmpeg", ec);
  return run;
}

bool make_clip(const std::vector<std::string>& args) {
  std::vector<std::string> argv{QF_SYSTEM_FFMPEG, "-y", "-hide_banner", "-loglevel", "error"};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_program(argv).exit_code == 0;
}

bool make_h264_aac_mp4(const std::string& path, double seconds) {
  const std::string d = std::to_string(seconds);
  return make_clip({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + d, "-f", "lavfi", "-i",
                    "sine=frequency=440:sample_rate=44100:duration=" + d, "-c:v", "libx264", "-preset",
                    "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path});
}

ProbeResult ffprobe(const std::string& path) {
  ProbeResult probe;
  const auto r = run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-show_entries",
                              "stream=codec_type,codec_name,width,height:format=duration", "-of", "default",
                              path});
  if (r.exit_code != 0) return probe;
  probe.ok = true;
  std::istringstream lines(r.output);
  // A transport stream lists its streams twice: in its program, then on their own.
  bool in_program = false;
  for (std::string line; std::getline(lines, line);) {
    if (line == "[PROGRAM]" || line == "[/PROGRAM]") in_program = line == "[PROGRAM]";
    const auto eq = line.find('=');
    if (in_program) continue;
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "codec_type") probe.codec_types.push_back(value);
    if (key == "codec_name") probe.codec_names.push_back(value);
    if (key == "width" && probe.width == 0 && value != "N/A") probe.width = std::atoi(value.c_str());
    if (key == "height" && probe.height == 0 && value != "N/A") probe.height = std::atoi(value.c_str());
    if (key == "duration" && value != "N/A") probe.duration = std::strtod(value.c_str(), nullptr);
  }
  return probe;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string tools_dir() { return QF_TEST_TOOLS_DIR; }

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const char* value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) {
    had_value_ = true;
    old_value_ = old;
  }
  if (value) {
    setenv(name_.c_str(), value, 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  if (had_value_) {
    setenv(name_.c_str(), old_value_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder) : old_(fs::current_path()) {
  fs::current_path(folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
  std::error_code ec;
  fs::current_path(old_, ec);
}

}  // namespace test_env
