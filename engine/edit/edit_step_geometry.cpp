#include "engine/edit/edit_step_geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/common/decimal_text.h"

namespace {

constexpr double fit_tolerance = 1e-7;

// The whole part of `value`, kept within the int range.
int whole_part(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(std::trunc(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// One side of the logo box: the span [start, start + length) cut to [1, size - 1).
// Returns false when less than one pixel is left.
bool cut_from_edges(int& start, int& length, int size) {
  const long long end = std::min(static_cast<long long>(start) + length, static_cast<long long>(size) - 1);
  const int from = std::max(start, 1);
  if (end - from < 1) return false;
  start = from;
  length = static_cast<int>(end - from);
  return true;
}

}  // namespace

int even_side(int value) { return value % 2 == 0 ? value : value - 1; }

int even_side_of(double value) { return even_side(whole_part(value)); }

bool span_fits(double start, double length, int size) { return !(start + length - size > fit_tolerance); }

std::optional<PixelBox> logo_removal_box(double left, double top, double width, double height, FrameSize frame) {
  if (left < 0 || top < 0) return std::nullopt;
  if (!span_fits(left, width, frame.width) || !span_fits(top, height, frame.height)) return std::nullopt;
  PixelBox box{whole_part(left), whole_part(top), whole_part(width), whole_part(height)};
  if (!cut_from_edges(box.x, box.width, frame.width) || !cut_from_edges(box.y, box.height, frame.height)) {
    return std::nullopt;
  }
  return box;
}

FrameSize scaled_frame_size(FrameSize size, double percent) {
  return {whole_part(size.width * percent / 100), whole_part(size.height * percent / 100)};
}

BackgroundLayout background_layout(FrameSize video, const BackgroundOptions& options) {
  BackgroundLayout layout;
  layout.frame = {even_side(video.width), even_side(video.height)};
  if (options.size_from_picture) {
    const FrameSize picture{even_side(options.picture.width), even_side(options.picture.height)};
    if (picture.width != 0 && picture.height != 0) layout.frame = picture;
  }
  layout.video = scaled_frame_size(video, options.percent);
  if (options.centred) {
    layout.x = whole_part((layout.frame.width - layout.video.width) / 2.0);
    layout.y = whole_part((layout.frame.height - layout.video.height) / 2.0);
  } else {
    layout.x = whole_part(options.left);
    layout.y = whole_part(options.top);
  }
  return layout;
}

BlurredBorderLayout blurred_border_layout(FrameSize frame, double percent) {
  BlurredBorderLayout layout;
  layout.video = scaled_frame_size(frame, percent);
  layout.x = decimal_text((frame.width - layout.video.width) / 2.0);
  layout.y = decimal_text((frame.height - layout.video.height) / 2.0);
  return layout;
}
