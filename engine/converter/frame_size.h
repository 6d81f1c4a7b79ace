#pragma once
// The frame size of a video read from the converter's console text: the edit job reads
// it after its first transcode, the merge job after each part's re-encode, and the
// region editors after their probes.
//
// The rule works on the stream line, e.g.
//   Video: h264 (High), yuv420p(tv, bt709), 1920x1080 [SAR 1:1 DAR 16:9], 25 fps
//   Video: h264, yuv420p, 1280x720, 30 fps
// in passes; a pass runs only while the width or the height is still 0:
// 1. every "yuvj420p" becomes "yuv420p" (ASCII case ignored);
// 2. when the text holds "420p" but no "yuv420p", every "420p" becomes "yuv420p";
// 3. W := the number between "yuv420p, " and "x"; when W > 0, H := the number between
//    "yuv420p, " W "x" and ",";
// 4. S := the text between "yuv420p" and "[" with every blank (ASCII and U+3000)
//    removed; W := the number between ")," and "x" in S; H := the number after the
//    last W "x" in S;
// 5. (the second fallback) S := the text between "yuv420p" and CR LF, blanks removed;
//    W := the number between ")," and "x" in S; H := the number between W "x" and ","
//    in S.
// Searches respect case and start at the beginning of the text. The number of a text
// is its leading decimal number (leading blanks skipped, 0 when there is none),
// truncated toward zero. A size that is not found stays 0; either may be 0.

#include <string>

struct FrameSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

// Which passes run: all five (the edit job and the region editors), or passes 1 to 4
// (the merge job has no second fallback).
enum class FrameSizePasses { with_second_fallback, without_second_fallback };

// The frame size in `console_text`. The pixel-format rewrites of passes 1 and 2 stay
// in `console_text`, as the callers keep the rewritten text.
FrameSize parse_frame_size(std::string& console_text,
                           FrameSizePasses passes = FrameSizePasses::with_second_fallback);
