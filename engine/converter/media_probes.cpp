#include "engine/converter/media_probes.h"

#include <string_view>

#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/video_stream_line.h"
#include "platform/shortpath.h"

std::string short_path_for_command(const std::string& path) {
  if (!path_needs_alias(path)) return path;
  const std::size_t slash = path.rfind('/');
  const std::string file_name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (slash == std::string::npos || path_needs_alias(file_name)) {
    const std::string alias = make_path_alias(path);
    return alias.empty() ? path : alias;
  }
  const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
  const std::string alias = make_path_alias(folder);
  return alias.empty() ? path : alias + "/" + file_name;
}

bool fits_between_quotes(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || byte < 0x20 || byte == 0x7F) return false;
  }
  return text.empty() || text.back() != '\\';
}

std::string probe_duration(const std::string& path) { return probe_duration_with_console(path, nullptr); }

std::string probe_duration_with_console(const std::string& path, std::string* console_text) {
  std::string console;
  const std::string short_path = short_path_for_command(path);
  if (!path_needs_alias(short_path)) {
    run_console_capture(ffmpeg_exe_path.get(), ffmpeg_global_options.get() + " -i " + short_path, nullptr, nullptr,
                        &console);
  }
  const std::string duration = duration_in_console(console);
  if (console_text) *console_text = std::move(console);
  return duration;
}

std::vector<FileProbe> probe_files(const std::vector<std::string>& paths) {
  std::vector<FileProbe> probes(paths.size());
  const std::string global_options = ffmpeg_global_options.get();
  for (std::size_t next = 0; next < paths.size();) {
    std::string command;
    std::vector<std::size_t> in_run;  // which paths the command names, in order
    for (std::size_t i = next; i < paths.size(); ++i) {
      const std::string short_path = short_path_for_command(paths[i]);
      if (path_needs_alias(short_path)) continue;
      command += global_options + " -i " + short_path;
      in_run.push_back(i);
    }
    if (in_run.empty()) break;
    std::string console;
    run_console_capture(ffmpeg_exe_path.get(), command, nullptr, nullptr, &console);
    std::size_t listed = 0;
    for (; listed < in_run.size(); ++listed) {
      const int index = static_cast<int>(listed);
      const std::string listing = console_file_listing(console, ConsoleFile::input, index);
      if (listing.empty()) break;
      probes[in_run[listed]] = {duration_in_console(listing), console_streams(listing, ConsoleFile::input, index)};
    }
    if (listed == in_run.size()) break;
    next = in_run[listed] + 1;
  }
  return probes;
}

std::string duration_in_console(const std::string& console_text) {
  std::string duration = text_between_markers_ex(console_text, "Duration: ", ".");
  for (std::size_t at = 0; (at = duration.find("\r\n", at)) != std::string::npos;) duration.erase(at, 2);
  return duration;
}

bool console_lists_audio_stream(const std::string& console_text) {
  constexpr std::string_view audio = ": Audio: ";
  constexpr std::string_view stream = "Stream #";
  for (std::size_t at = console_text.find(audio); at != std::string::npos; at = console_text.find(audio, at + 1)) {
    const std::size_t line_break = console_text.find_last_of("\r\n", at);
    const std::size_t line_start = line_break == std::string::npos ? 0 : line_break + 1;
    const std::size_t first = console_text.find_first_not_of(" \t", line_start);
    if (first < at && console_text.compare(first, stream.size(), stream) == 0) return true;
  }
  return false;
}

StreamFacts probe_stream_facts(const std::string& path) {
  const std::string short_path = short_path_for_command(path);
  if (path.empty() || path_needs_alias(short_path)) return {};
  std::string console;
  run_console_capture(ffmpeg_exe_path.get(), ffmpeg_global_options.get() + " -i \"" + short_path + "\"", nullptr,
                      nullptr, &console);
  StreamFacts facts;
  facts.has_audio = console_lists_audio_stream(console);
  facts.frame = parse_frame_size(console);
  facts.frame_rate = read_video_stream_line(console).frame_rate;
  return facts;
}
