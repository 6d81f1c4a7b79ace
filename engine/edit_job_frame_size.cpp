#include "engine/edit_job_first_transcode.h"

#include <cctype>

#include "engine/globals.h"

// A minimal private stand-in for the shared frame-size rule until that rule is in the
// tree; this file goes once it is. It takes the first "<width>x<height>" that follows
// a blank after the first "Video:" of the console text.
namespace {

int leading_int(const std::string& text, std::size_t& at) {
  int value = 0;
  const std::size_t start = at;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < 6) {
    value = value * 10 + (text[at] - '0');
    ++at;
  }
  return at > start ? value : 0;
}

}  // namespace

void read_edit_frame_size(EditVideoState& state) {
  state.width = 0;
  state.height = 0;
  const std::string text = ffmpeg_output.get();
  const std::size_t video = text.find("Video:");
  if (video == std::string::npos) return;
  const std::size_t line_end = text.find('\n', video);
  for (std::size_t at = video; at < text.size() && at < line_end; ++at) {
    if (text[at] != ' ') continue;
    std::size_t pos = at + 1;
    const int width = leading_int(text, pos);
    if (width <= 0 || pos >= text.size() || text[pos] != 'x') continue;
    ++pos;
    const int height = leading_int(text, pos);
    if (height <= 0) continue;
    state.width = width;
    state.height = height;
    return;
  }
}
