#pragma once
// What the converter's console text says of the first video stream of its first input:
// its codec, pixel format, stored size, pixel shape, frame rate and rotation, e.g.
//   Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive),
//     1280x720 [SAR 1:1 DAR 16:9], 2000 kb/s, 30 fps, 30 tbr, 15360 tbn (default)
//     ...
//       displaymatrix: rotation of -90.00 degrees
// (a VP9 line writes its pixel shape as ", SAR 1:1 DAR 321:241" instead). Only the
// inputs are read: what follows "Output #" describes what a run wrote, not its source.
//
// The edit job uses it to tell whether a source's picture can be copied into the first
// work file as it stands, the shape of its pixels, and the frame rate of a work file.

#include <string>

// The shape of one pixel, width : height; 1:1 when the text gives none (or "0:1",
// unknown).
struct SampleAspect {
  int num = 1;
  int den = 1;
  friend bool operator==(const SampleAspect&, const SampleAspect&) = default;
};

struct VideoStreamLine {
  bool found = false;        // a video stream is listed
  std::string codec;         // "h264", "vp9", "theora"
  std::string pixel_format;  // "yuv420p", "yuvj420p", "yuv420p10le", "yuv444p"; "" when not given
  int width = 0;             // the stored size, before any rotation
  int height = 0;
  SampleAspect sample_aspect;
  std::string frame_rate;    // the number before " fps" ("25", "29.97"); "" when not given
  int rotation = 0;          // the display rotation in degrees, 0 to 359 (0: upright)
};

VideoStreamLine read_video_stream_line(const std::string& console_text);
