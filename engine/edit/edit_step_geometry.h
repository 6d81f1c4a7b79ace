#pragma once
// The numbers the picture steps of the edit job compute from a frame size and the
// typed values: whether a box fits the frame, the logo box the converter's delogo
// filter accepts, the layout of the video on a background picture, and the layout of
// the sharp video inside its blurred copy.
//
// Whole parts are taken by truncating toward zero. Offsets that can be a half are
// written as `decimal_text` writes them ("%.13g": "32", "32.5").

#include <optional>
#include <string>

#include "engine/converter/frame_size.h"

// A side the encoder takes: an odd `value` less one (641 -> 640, -1 -> -2, which the
// scale filter reads as "keep the proportions, a multiple of 2"); an even one as it is.
int even_side(int value);
// The whole part of `value` (truncated toward zero, kept within the int range) made
// even by `even_side`.
int even_side_of(double value);

// Whether a span of `length` from `start` ends within `size`: start + length - size is
// not above 1e-7.
bool span_fits(double start, double length, int size);

// A rectangle in whole pixels.
struct PixelBox {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The logo box given to delogo for the typed rectangle on `frame`, or nothing when it
// cannot be removed:
// - the rectangle must lie within the frame: left and top not negative, and
//   `span_fits` for left and width against the frame's width, top and height against
//   its height;
// - its values are taken as the converter reads them (whole parts);
// - delogo interpolates from the pixels around the box and refuses a box that touches
//   the frame's edge ("Logo area is outside of the frame"), so a side on the edge is
//   moved one pixel inward: the box is cut to x >= 1, y >= 1, x + w <= W - 1 and
//   y + h <= H - 1;
// - what is left must be at least one pixel wide and high.
std::optional<PixelBox> logo_removal_box(double left, double top, double width, double height, FrameSize frame);

// `size` at `percent` percent: the whole parts of width x P / 100 and height x P / 100.
FrameSize scaled_frame_size(FrameSize size, double percent);

// How the background-picture step lays the video on the picture.
struct BackgroundOptions {
  bool size_from_picture = true;  // "背景图": the new frame takes the picture's size
  FrameSize picture;              // the picture's size; 0 when it could not be read
  double percent = 95;            // the video's size on the background, in percent of its own
  bool centred = true;            // "居中"; otherwise at `left`, `top`
  double left = 0, top = 0;
};

struct BackgroundLayout {
  FrameSize frame;  // NW x NH: the picture's size made even (an odd side loses one);
                    // the video's own size, made even the same way, when it is not
                    // taken from the picture or either side is then 0
  FrameSize video;  // SW x SH: the video at `percent` of its own size
  int x = 0, y = 0;  // centred: the whole parts of (NW - SW) / 2 and (NH - SH) / 2;
                     // otherwise the whole parts of left and top
  friend bool operator==(const BackgroundLayout&, const BackgroundLayout&) = default;
};

BackgroundLayout background_layout(FrameSize video, const BackgroundOptions& options);

// How the blurred-border step lays the sharp video inside the blurred frame.
struct BlurredBorderLayout {
  FrameSize video;  // SW x SH: the frame at `percent` percent
  std::string x;    // OX = (W - SW) / 2 as "%.13g"
  std::string y;    // OY = (H - SH) / 2 as "%.13g"
  friend bool operator==(const BlurredBorderLayout&, const BlurredBorderLayout&) = default;
};

BlurredBorderLayout blurred_border_layout(FrameSize frame, double percent);
