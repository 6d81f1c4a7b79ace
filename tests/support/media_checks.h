#pragma once
// Test support: reading back what the converter wrote, beyond test_env::ffprobe: one
// stream entry, the number of decoded video frames, a decoded frame's pixels, whether a
// file decodes without a single error, and how loud a tone is in its sound.

#include <string>
#include <utility>
#include <vector>

namespace test_env {

// ffprobe's value of `entry` (e.g. "sample_rate", "channels", "r_frame_rate",
// "nb_read_frames") of the first stream selected by `streams` ("v:0", "a:0"); "" when
// there is no such stream. Extra ffprobe options go in `options` (e.g. "-count_frames").
std::string stream_entry(const std::string& path, const std::string& streams, const std::string& entry,
                         const std::vector<std::string>& options = {});

// The number of video frames the file decodes to; -1 when it cannot be read.
int count_video_frames(const std::string& path);

// ffprobe's values of `entries` ("width", "height", "pix_fmt" ...) for every decoded
// frame of the first video stream that is not an attached picture (a cover), joined by
// `separator`, in runs of equal values: the value and how many frames in a row have it,
// in the order of the frames. Empty when nothing decodes.
std::vector<std::pair<std::string, int>> video_frame_runs(const std::string& path,
                                                         const std::vector<std::string>& entries,
                                                         const std::string& separator = "x");

// The frame size of every frame so: {{"180x320", 50}, {"320x180", 50}} for a stream
// whose picture changes size after 50 frames.
std::vector<std::pair<std::string, int>> video_frame_sizes(const std::string& path);

// The different sizes ("WxH") of the decoded video frames of the file, in the order
// they first appear: one entry when every frame has the same size; empty when nothing
// decodes.
std::vector<std::string> decoded_frame_sizes(const std::string& path);

// The frame shown at `seconds`, decoded to RGB (3 bytes a pixel, rows top to bottom),
// after the filter `filter` when one is given; empty when nothing was decoded.
struct DecodedFrame {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  // The pixel at column x, row y: {r, g, b}.
  std::vector<int> pixel(int x, int y) const;
};
DecodedFrame decode_frame(const std::string& path, double seconds = 0.0, const std::string& filter = "");

// True when `pixel` ({r, g, b}, as DecodedFrame::pixel gives it) lies within
// `tolerance` of `rgb` in every channel; false for an empty pixel.
bool pixel_near(const std::vector<int>& pixel, const std::vector<int>& rgb, int tolerance = 40);

// The mean absolute difference of two frames' bytes (0 to 255); 255 when their sizes
// differ or either is empty.
double mean_frame_difference(const DecodedFrame& a, const DecodedFrame& b);

// True when the converter decodes every stream of the file and prints no error.
bool decodes_without_errors(const std::string& path);

// The loudness (RMS level in dB, all channels together) of the sound stream number
// `sound_stream` (from 0) of the file from `from_seconds` on, within a narrow band
// around `frequency` hertz: how loud a tone of that frequency is in it. -1000 when there
// is no such sound that decodes.
double tone_level_db(const std::string& path, double frequency, double from_seconds = 0.0, int sound_stream = 0);

}  // namespace test_env
