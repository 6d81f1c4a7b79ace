#include "engine/merge_commands.h"

#include <algorithm>
#include <initializer_list>

#include "engine/convert_commands.h"
#include "engine/media_probes.h"

namespace {

// The quoted paths joined into a command, or "" when one of them cannot be written.
class CommandText {
 public:
  CommandText& text(const std::string& piece) {
    text_ += piece;
    return *this;
  }
  CommandText& path(const std::string& path) {
    const std::string quoted = quoted_command_path(path);
    if (quoted.empty()) fits_ = false;
    text_ += quoted;
    return *this;
  }
  std::string str() const { return fits_ ? text_ : std::string(); }

 private:
  std::string text_;
  bool fits_ = true;
};

bool is_plain_decimal(const std::string& text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  return std::count(text.begin(), text.end(), '.') <= 1 &&
         std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

}  // namespace

std::string quoted_command_path(const std::string& path) {
  const std::string short_path = short_path_for_command(path);
  if (short_path.empty() || !fits_between_quotes(short_path)) return {};
  return "\"" + short_path + "\"";
}

std::string merge_reencode_command(const std::string& global, const std::string& source, const std::string& part) {
  return CommandText().text(global + " -i ").path(source).text(" -vcodec h264 -y ").path(part).str();
}

std::string merge_scale_command(const std::string& global, const std::string& part, const std::string& scaled,
                                int width, int height) {
  return CommandText()
      .text(global + " -i ")
      .path(part)
      .text(" -vf scale=" + std::to_string(width) + ":" + std::to_string(height) + ",setsar=1:1 -y ")
      .path(scaled)
      .str();
}

std::string merge_concat_command(const std::string& global, const std::string& list, const std::string& output) {
  return CommandText().text(global + " -f concat -safe 0 -i ").path(list).text(" -vcodec copy ").path(output).str();
}

std::string merge_concat_list_line(const std::string& path) {
  const std::string short_path = short_path_for_command(path);
  if (short_path.empty() || !fits_between_quotes(short_path)) return {};
  if (short_path.find_first_of("'\\") != std::string::npos) return {};
  return "file '" + short_path + "'";
}

std::string merge_concat_list_text(const std::vector<std::string>& files, bool last_line_end) {
  std::string text;
  for (std::size_t k = 0; k < files.size(); ++k) {
    const std::string line = merge_concat_list_line(files[k]);
    if (line.empty()) return {};
    text += line;
    if (last_line_end || k + 1 < files.size()) text += "\r\n";
  }
  return text;
}

std::string merge_audio_command(const std::string& global, const std::string& joined, const std::string& mp3) {
  return CommandText().text(global + " -i ").path(joined).text(" -f mp3 -y ").path(mp3).str();
}

int merge_transition_offset(int first_part_seconds) { return std::max(first_part_seconds - 1, 0); }

std::string merge_transition_filter(const std::string& transition, int offset, const std::string& frame_rate) {
  const std::string xfade = "xfade=transition=" + transition + ":duration=1:offset=" + std::to_string(offset);
  if (!is_plain_decimal(frame_rate)) return xfade;
  return "[0:v]fps=" + frame_rate + "[a];[1:v]fps=" + frame_rate + "[b];[a][b]" + xfade;
}

std::string merge_transition_command(const std::string& global, const std::string& first, const std::string& second,
                                     const std::string& filter, const std::string& output) {
  return CommandText()
      .text(global + " -i ")
      .path(first)
      .text(" -i ")
      .path(second)
      .text(" -filter_complex " + filter + " -y ")
      .path(output)
      .str();
}

std::string merge_silent_video_command(const std::string& global, const std::string& input, const std::string& output) {
  return CommandText().text(global + " -i ").path(input).text(" -vcodec copy -an ").path(output).str();
}

std::string merge_mux_command(const std::string& global, const std::string& video, const std::string& audio,
                              const std::string& output) {
  return CommandText().text(global + " -i ").path(video).text(" -i ").path(audio).text(" -y ").path(output).str();
}

std::string merge_final_copy_command(const std::string& global, const std::string& joined, const std::string& output) {
  return CommandText().text(global + " -i ").path(joined).text(" -vcodec copy -y ").path(output).str();
}

std::string merge_cover_frame_command(const std::string& video, const std::string& picture) {
  return CommandText().text(" -ss 1 -i ").path(video).text(" -frames:v 1 -f image2 -y ").path(picture).str();
}

std::string merge_attach_cover_command(const std::string& video, const std::string& picture,
                                       const std::string& output) {
  return CommandText()
      .text(" -i ")
      .path(video)
      .text(" -i ")
      .path(picture)
      .text(" -map 1 -map 0 -c copy -disposition:0 attached_pic -y ")
      .path(output)
      .str();
}

std::string merge_output_path(const std::string& folder, int i, int j, const std::string& title,
                              const std::string& format) {
  return folder + "/" + std::to_string(i) + "_" + std::to_string(j) + "_" + title + "." + format;
}

std::string parse_frame_rate(const std::string& console_text) {
  const std::size_t video = console_text.find("Video:");
  if (video == std::string::npos) return {};
  const std::size_t line_end = console_text.find_first_of("\r\n", video);
  const std::string line = console_text.substr(video, line_end == std::string::npos ? std::string::npos : line_end - video);
  const std::size_t fps = line.find(" fps");
  if (fps == std::string::npos) return {};
  const std::size_t start = line.rfind(' ', fps - 1);
  const std::string rate = line.substr(start == std::string::npos ? 0 : start + 1, fps - (start + 1));
  return is_plain_decimal(rate) ? rate : std::string();
}
