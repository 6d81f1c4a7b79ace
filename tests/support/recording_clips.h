#pragma once
// Test support: small generated clips shaped like the recordings people really have,
// not test patterns with one key frame: the encoder's ordinary key-frame interval (one
// key frame a second at 25 fps) with B-frames, phone-style rotation metadata, odd frame
// sizes, pixels that are not square, 10-bit pictures, several sound tracks, and the
// codecs each container usually carries.

#include <string>
#include <vector>

namespace test_env {

struct RecordingClip {
  double seconds = 4.0;
  int width = 320;
  int height = 180;
  int rate = 25;                 // frames a second
  std::string container = "mp4";  // the file's extension: mp4, mov, mkv, ts, flv, avi, webm, ogv, mpg
  int sound_tracks = 1;          // 0: a silent video; each track is its own tone (440, 660, 880 Hz ...)
  int rotation = 0;              // stored rotation metadata (mp4 and mov): 90 plays the picture turned
  std::string sar;               // sample aspect ratio such as "16:15"; empty: square pixels
  bool ten_bit = false;          // a 10-bit 4:2:0 H.264 picture (mp4, mov, mkv, ts)
};

// The codecs a clip of `clip.container` is written with: H.264 (x264's defaults but
// for "-g 25": B-frames on) and AAC in mp4, mov, mkv, ts and flv; MPEG-4 part 2 and
// MP3 in avi; VP9 and Opus in webm; Theora and Vorbis in ogv; MPEG-2 and MP2 in mpg, as
// a DVD or camcorder writes them (a key frame every 12 frames). An odd frame size needs
// a container whose codec takes one (webm, ogv, avi).
std::vector<std::string> recording_clip_arguments(const RecordingClip& clip, const std::string& path);

// Makes the clip at `path` with the system's converter; true on success.
bool make_recording_clip(const std::string& path, const RecordingClip& clip);

// The "WxH" a player shows for the video stream of `path`: the stored size with a
// quarter turn of its rotation metadata applied (display matrix or "rotate" tag).
std::string shown_frame_size(const std::string& path);

}  // namespace test_env
