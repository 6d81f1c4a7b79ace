#include "tests/support/media_checks.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "tests/support/test_env.h"

namespace test_env {

std::string stream_entry(const std::string& path, const std::string& streams, const std::string& entry,
                         const std::vector<std::string>& options) {
  std::vector<std::string> argv{QF_SYSTEM_FFPROBE, "-v", "error"};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.insert(argv.end(), {"-select_streams", streams, "-show_entries", "stream=" + entry, "-of",
                           "default=noprint_wrappers=1:nokey=1", path});
  const ProgramResult r = run_program(argv);
  if (r.exit_code != 0) return {};
  std::string value = r.output.substr(0, r.output.find('\n'));
  if (!value.empty() && value.back() == '\r') value.pop_back();
  return value;
}

int count_video_frames(const std::string& path) {
  const std::string frames = stream_entry(path, "v:0", "nb_read_frames", {"-count_frames"});
  if (frames.empty() || frames == "N/A") return -1;
  return std::atoi(frames.c_str());
}

std::vector<std::pair<std::string, int>> video_frame_runs(const std::string& path,
                                                         const std::vector<std::string>& entries,
                                                         const std::string& separator) {
  std::string wanted;
  for (const std::string& entry : entries) wanted += (wanted.empty() ? "" : ",") + entry;
  const ProgramResult r = run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "V:0", "-show_entries",
                                       "frame=" + wanted, path});
  std::vector<std::pair<std::string, int>> runs;
  if (r.exit_code != 0) return runs;
  // "[FRAME]", one "key=value" line an entry, "[/FRAME]".
  std::istringstream lines(r.output);
  std::vector<std::string> values(entries.size());
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "[FRAME]") {
      values.assign(entries.size(), "");
    } else if (line == "[/FRAME]") {
      std::string value;
      for (std::size_t k = 0; k < values.size(); ++k) value += (k == 0 ? "" : separator) + values[k];
      if (runs.empty() || runs.back().first != value) {
        runs.emplace_back(value, 1);
      } else {
        ++runs.back().second;
      }
    } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
      for (std::size_t k = 0; k < entries.size(); ++k) {
        if (line.compare(0, equals, entries[k]) == 0 && equals == entries[k].size()) values[k] = line.substr(equals + 1);
      }
    }
  }
  return runs;
}

std::vector<std::pair<std::string, int>> video_frame_sizes(const std::string& path) {
  return video_frame_runs(path, {"width", "height"}, "x");
}

std::vector<std::string> decoded_frame_sizes(const std::string& path) {
  std::vector<std::string> sizes;
  for (const auto& [size, frames] : video_frame_sizes(path)) {
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
  }
  return sizes;
}

std::vector<int> DecodedFrame::pixel(int x, int y) const {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
  if (x < 0 || y < 0 || x >= width || y >= height || at + 2 >= rgb.size()) return {};
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

DecodedFrame decode_frame(const std::string& path, double seconds, const std::string& filter) {
  DecodedFrame frame;
  std::ostringstream at;
  at << seconds;
  // No seek for the first frame: a seek in a file without an index (flv, ts) can land
  // past every key frame and decode nothing.
  std::vector<std::string> argv{QF_SYSTEM_FFMPEG, "-v", "error"};
  if (seconds > 0) argv.insert(argv.end(), {"-ss", at.str()});
  argv.insert(argv.end(), {"-i", path, "-frames:v", "1"});
  if (!filter.empty()) argv.insert(argv.end(), {"-vf", filter});
  const std::string picture = path + ".frame.ppm";
  argv.insert(argv.end(), {"-f", "image2", "-c:v", "ppm", "-y", picture});
  if (run_program(argv).exit_code != 0) return frame;
  const std::string bytes = read_file(picture);
  std::remove(picture.c_str());
  // "P6\n<w> <h>\n255\n" then the pixels.
  std::istringstream header(bytes);
  std::string magic;
  int max_value = 0;
  header >> magic >> frame.width >> frame.height >> max_value;
  if (magic != "P6" || max_value != 255) return {};
  const auto start = static_cast<std::size_t>(header.tellg()) + 1;
  const std::size_t size = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height) * 3;
  if (start + size > bytes.size()) return {};
  frame.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                   bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
  return frame;
}

bool pixel_near(const std::vector<int>& pixel, const std::vector<int>& rgb, int tolerance) {
  if (pixel.size() != 3 || rgb.size() != 3) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::abs(pixel[i] - rgb[i]) > tolerance) return false;
  }
  return true;
}

double mean_frame_difference(const DecodedFrame& a, const DecodedFrame& b) {
  if (a.rgb.empty() || a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return 255.0;
  double sum = 0;
  for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  return sum / static_cast<double>(a.rgb.size());
}

bool decodes_without_errors(const std::string& path) {
  const ProgramResult r = run_program({QF_SYSTEM_FFMPEG, "-v", "error", "-i", path, "-f", "null", "-"});
  return r.exit_code == 0 && r.output.empty();
}

double tone_level_db(const std::string& path, double frequency, double from_seconds, int sound_stream) {
  std::ostringstream filter;
  filter << "atrim=start=" << from_seconds << ",bandpass=f=" << frequency << ":width_type=q:w=20,astats";
  const ProgramResult r = run_program({QF_SYSTEM_FFMPEG, "-hide_banner", "-nostats", "-i", path, "-map", "0:a:" + std::to_string(sound_stream),
                                       "-af", filter.str(), "-f", "null", "-"});
  // astats ends with its "Overall" block: the last RMS level printed.
  const std::string marker = "RMS level dB: ";
  const std::size_t at = r.output.rfind(marker);
  if (r.exit_code != 0 || at == std::string::npos) return -1000;
  const std::size_t start = at + marker.size();
  const std::string value = r.output.substr(start, r.output.find_first_of("\r\n", start) - start);
  if (value.starts_with("-inf")) return -1000;
  return std::atof(value.c_str());
}

}  // namespace test_env
