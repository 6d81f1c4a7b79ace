#include "engine/merge/merge_commands.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <locale>
#include <sstream>
#include <string_view>

#include "engine/converter/media_probes.h"

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

bool is_digits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A channel layout as the aformat filter takes it: a layout name as it stands, "N
// channels" as "Nc"; "" for anything else.
std::string filter_layout_name(const std::string& layout) {
  constexpr std::string_view channels = " channels";
  if (layout.ends_with(channels)) {
    const std::string count = layout.substr(0, layout.size() - channels.size());
    return is_digits(count) ? count + "c" : std::string();
  }
  const bool plain = !layout.empty() && std::all_of(layout.begin(), layout.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view(".()+-_").find(c) != std::string_view::npos;
  });
  return plain ? layout : std::string();
}

// The line of `text` that holds position `at`, from `at` to its end.
std::string rest_of_line(const std::string& text, std::size_t at) {
  const std::size_t end = text.find_first_of("\r\n", at);
  return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// Seconds of a time text "HH:MM:SS.fraction"; negative when it is none.
double clock_text_seconds(const std::string& text) {
  int hours = 0, minutes = 0;
  double seconds = -1;
  char colon1 = 0, colon2 = 0;
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  if (!(in >> hours >> colon1 >> minutes >> colon2 >> seconds) || colon1 != ':' || colon2 != ':') return -1;
  return hours * 3600.0 + minutes * 60.0 + seconds;
}

}  // namespace

std::string quoted_command_path(const std::string& path) {
  const std::string short_path = short_path_for_command(path);
  if (short_path.empty() || !fits_between_quotes(short_path)) return {};
  return "\"" + short_path + "\"";
}

std::string merge_reencode_command(const std::string& global, const std::string& source, const std::string& part) {
  return CommandText()
      .text(global + " -i ")
      .path(source)
      .text(std::string(" -vcodec h264 -pix_fmt ") + merge_pixel_format + " -vf pad=ceil(iw/2)*2:ceil(ih/2)*2 -y ")
      .path(part)
      .str();
}

std::string merge_scale_command(const std::string& global, const std::string& part, const std::string& scaled,
                                int width, int height) {
  return merge_match_command(global, part, scaled, MergePartMatch{.scale = true, .width = width, .height = height});
}

std::string merge_match_command(const std::string& global, const std::string& part, const std::string& output,
                                const MergePartMatch& match) {
  std::vector<std::string> video;
  if (match.scale) {
    const std::string size = std::to_string(match.width) + ":" + std::to_string(match.height);
    video.push_back("scale=" + size + ":force_original_aspect_ratio=decrease:force_divisible_by=2,pad=" + size +
                    ":(ow-iw)/2:(oh-ih)/2,setsar=1:1");
  }
  // The fps filter, not "-r": it ends the part at its own length (-r adds a frame).
  if (is_plain_decimal(match.frame_rate)) video.push_back("fps=" + match.frame_rate);
  std::string options;
  for (std::size_t k = 0; k < video.size(); ++k) options += (k == 0 ? " -vf " : ",") + video[k];
  const std::string layout = filter_layout_name(match.sound.channel_layout);
  if (is_digits(match.sound.sample_rate) && !layout.empty()) {
    options += " -af aformat=sample_rates=" + match.sound.sample_rate + ":channel_layouts=" + layout;
  }
  return CommandText().text(global + " -i ").path(part).text(options + " -y ").path(output).str();
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

int merge_transition_offset(double video_seconds, double frame_seconds) {
  if (!(video_seconds > 0)) return 0;
  const int whole = static_cast<int>(std::min(std::floor(video_seconds), 1e9));
  // The last frame begins one frame before the end; a thousandth of a second for the
  // rounding of the converter's times.
  const bool frame_at_whole = video_seconds - frame_seconds + 0.001 >= whole;
  return frame_at_whole ? whole : merge_transition_offset(whole);
}

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
      .text(" -filter_complex " + filter + " -pix_fmt " + merge_pixel_format + " -y ")
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

FrameSize parse_output_frame_size(const std::string& console_text) {
  const std::size_t output = console_text.find("Output #0");
  if (output == std::string::npos) return {};
  std::string section = console_text.substr(output);
  return parse_frame_size(section, FrameSizePasses::without_second_fallback);
}

MergeSound parse_output_sound(const std::string& console_text) {
  const std::size_t output = console_text.find("Output #0");
  if (output == std::string::npos) return {};
  const std::size_t audio = console_text.find("Audio:", output);
  if (audio == std::string::npos) return {};
  const std::string line = rest_of_line(console_text, audio);
  const std::size_t hz = line.find(" Hz, ");
  if (hz == std::string::npos) return {};
  const std::size_t rate_start = line.rfind(' ', hz - 1);
  MergeSound sound;
  sound.sample_rate = line.substr(rate_start == std::string::npos ? 0 : rate_start + 1, hz - (rate_start + 1));
  const std::size_t layout_start = hz + 5;
  const std::size_t layout_end = line.find(',', layout_start);
  sound.channel_layout = line.substr(layout_start, layout_end == std::string::npos ? std::string::npos
                                                                                   : layout_end - layout_start);
  if (!is_digits(sound.sample_rate) || sound.channel_layout.empty()) return {};
  return sound;
}

double parse_video_seconds(const std::string& console_text) {
  const std::size_t video = console_text.find("Video:");
  if (video != std::string::npos) {
    // The stream's own tags stand in the lines after its line, before the next stream.
    const std::size_t next_stream = console_text.find("Stream #", video);
    const std::size_t tag = console_text.find("DURATION", video);
    if (tag != std::string::npos && tag < next_stream) {
      const std::size_t colon = console_text.find(':', tag);
      if (colon != std::string::npos) {
        const double seconds = clock_text_seconds(rest_of_line(console_text, colon + 1));
        if (seconds >= 0) return seconds;
      }
    }
  }
  const std::size_t duration = console_text.find("Duration: ");
  if (duration == std::string::npos) return -1;
  return clock_text_seconds(rest_of_line(console_text, duration + 10));
}
