#include "tests/support/recording_clips.h"

#include <cstdio>
#include <cstdlib>

#include "tests/support/media_checks.h"
#include "tests/support/test_env.h"

namespace test_env {

namespace {

struct ContainerCodecs {
  std::vector<std::string> video, audio;
};

ContainerCodecs codecs_for(const RecordingClip& clip) {
  const std::string& c = clip.container;
  if (c == "avi") return {{"-c:v", "mpeg4", "-q:v", "5", "-g", "25"}, {"-c:a", "libmp3lame", "-b:a", "64k"}};
  if (c == "webm") {
    return {{"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-b:v", "200k", "-g", "25"},
            {"-c:a", "libopus", "-b:a", "48k"}};
  }
  if (c == "ogv") return {{"-c:v", "libtheora", "-q:v", "5", "-g", "25"}, {"-c:a", "libvorbis"}};
  // A DVD-style program stream: a key frame every 12 frames, two B-frames between the
  // others, and frames small enough to share their packets (not every packet has its
  // own time stamp).
  if (c == "mpg") {
    return {{"-c:v", "mpeg2video", "-b:v", "200k", "-bf", "2", "-g", "12"}, {"-c:a", "mp2", "-b:a", "128k"}};
  }
  // H.264 with x264's defaults (B-frames, no one-key-frame-per-clip) at one key frame a second.
  return {{"-c:v", "libx264", "-preset", "veryfast", "-g", "25", "-pix_fmt", clip.ten_bit ? "yuv420p10le" : "yuv420p"},
          {"-c:a", "aac", "-b:a", "64k"}};
}

}  // namespace

std::vector<std::string> recording_clip_arguments(const RecordingClip& clip, const std::string& path) {
  const std::string d = std::to_string(clip.seconds);
  // The test source draws even sizes only: an odd size is scaled to.
  std::vector<std::string> args{"-f", "lavfi", "-i",
                                "testsrc2=size=" + std::to_string(clip.width & ~1) + "x" + std::to_string(clip.height & ~1) +
                                    ":rate=" + std::to_string(clip.rate) + ":duration=" + d};
  for (int t = 0; t < clip.sound_tracks; ++t) {
    args.insert(args.end(), {"-f", "lavfi", "-i",
                             "sine=frequency=" + std::to_string(440 + 220 * t) + ":sample_rate=48000:duration=" + d});
  }
  args.insert(args.end(), {"-map", "0:v"});
  for (int t = 0; t < clip.sound_tracks; ++t) args.insert(args.end(), {"-map", std::to_string(t + 1) + ":a"});
  std::string filter = "scale=" + std::to_string(clip.width) + ":" + std::to_string(clip.height);
  if (!clip.sar.empty()) {
    std::string sar = clip.sar;
    if (const auto colon = sar.find(':'); colon != std::string::npos) sar[colon] = '/';
    filter += ",setsar=" + sar;
  }
  args.insert(args.end(), {"-vf", filter});
  const ContainerCodecs codecs = codecs_for(clip);
  args.insert(args.end(), codecs.video.begin(), codecs.video.end());
  if (clip.sound_tracks > 0) args.insert(args.end(), codecs.audio.begin(), codecs.audio.end());
  args.push_back(path);
  return args;
}

bool make_recording_clip(const std::string& path, const RecordingClip& clip) {
  if (clip.rotation == 0) return make_clip(recording_clip_arguments(clip, path));
  // The converter writes a rotation tag as the display matrix only when it copies the
  // stream, as a phone's file holds it: encode first, then copy with the tag.
  const std::string extension = path.substr(path.rfind('.'));
  const std::string encoded = path + ".encoded" + extension;
  const bool made = make_clip(recording_clip_arguments(clip, encoded)) &&
                    make_clip({"-i", encoded, "-map", "0", "-c", "copy", "-metadata:s:v:0",
                               "rotate=" + std::to_string(clip.rotation), path});
  std::remove(encoded.c_str());
  return made;
}

std::string shown_frame_size(const std::string& path) {
  const int width = std::atoi(stream_entry(path, "v:0", "width").c_str());
  const int height = std::atoi(stream_entry(path, "v:0", "height").c_str());
  // The rotation ffprobe reads from the display matrix (or the older "rotate" tag).
  int turn = 0;
  const auto r = run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "v:0", "-show_entries",
                              "stream_side_data=rotation:stream_tags=rotate", "-of", "default=nw=1:nk=1", path});
  for (std::size_t i = 0; i < r.output.size();) {
    const std::size_t end = r.output.find('\n', i);
    const std::string line = r.output.substr(i, end == std::string::npos ? std::string::npos : end - i);
    if (!line.empty()) turn = std::abs(std::atoi(line.c_str())) % 180 == 90 ? 90 : turn;
    if (end == std::string::npos) break;
    i = end + 1;
  }
  return turn == 90 ? std::to_string(height) + "x" + std::to_string(width)
                    : std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace test_env
