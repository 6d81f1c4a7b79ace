#pragma once
// Test support: temporary folders, running helper programs, making tiny clips with
// the system's converter and reading them back with ffprobe.

#include <filesystem>
#include <string>
#include <vector>

namespace test_env {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

struct ProgramResult {
  int exit_code = -1;  // -1 when the program could not be run or was killed
  std::string output;  // standard output and standard error together
};

// Runs `argv[0]` (searched in PATH when it has no "/") with the arguments as given,
// no shell, standard input /dev/null, and waits for it.
ProgramResult run_program(const std::vector<std::string>& argv);

// A run folder for the program under `parent`: `bin/ffmpeg` links to the system's
// converter, `data/` exists. Returns its path.
std::string make_run_folder(const std::string& parent);

// Makes a clip with the system's converter: `ffmpeg -y -hide_banner -loglevel error`
// followed by `args` (which end with the output path). Returns true on exit 0.
bool make_clip(const std::vector<std::string>& args);

// A 2-second 320x240 H.264/AAC mp4 (testsrc and a sine tone) at `path`.
bool make_h264_aac_mp4(const std::string& path, double seconds = 2.0);

// ffprobe's view of a file: the streams' codec types in order ("video", "audio") and
// the container's duration in seconds (negative when ffprobe cannot read it).
struct ProbeResult {
  std::vector<std::string> codec_types;
  std::vector<std::string> codec_names;
  int width = 0, height = 0;  // of the first video stream
  double duration = -1.0;
  bool ok = false;
};
ProbeResult ffprobe(const std::string& path);

// Whole file as bytes; empty when it cannot be read.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

// The folder of the helper programs built from tests/tools.
std::string tools_dir();

// Sets (or, with a null value, removes) an environment variable for as long as the
// object lives, then restores what was there before.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const char* value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string name_;
  bool had_value_ = false;
  std::string old_value_;
};

// Makes `folder` the current folder for as long as the object lives, then goes back.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& folder);
  ~ScopedCurrentFolder();
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace test_env
