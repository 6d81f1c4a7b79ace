// The merge job on parts shaped like real recordings: phone videos with rotation
// metadata, parts of another shape, odd-sized webm and ogv screencasts, 10-bit parts,
// with and without a transition. Every output is read back frame by frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/engine/merge/merge_job_fixture.h"
#include "tests/support/media_checks.h"
#include "tests/support/recording_clips.h"

namespace fs = std::filesystem;
using test_env::RecordingClip;

namespace {

using FrameRuns = std::vector<std::pair<std::string, int>>;

class MergeRecordings : public MergeJobFixture {
 protected:
  std::string recording(const std::string& name, const RecordingClip& clip) {
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_recording_clip(path, clip)) << name;
    return path;
  }

  // One pair of `first` and `second` merged into `format` (the radio's role and the
  // extension); the output path, every earlier output removed.
  std::string merge_pair(const std::string& first, const std::string& second, bool transition,
                         const char* format_radio, const char* extension) {
    for (const auto& entry : fs::directory_iterator(out)) fs::remove_all(entry.path());
    gui().clear_rows(at("merge_list1"));
    gui().clear_rows(at("merge_list2"));
    add_row("merge_list1", first);
    add_row("merge_list2", second);
    set_output_count(1);
    choose_format(format_radio);
    gui().set_checked(at("merge_transition_check"), transition);
    gui().set_selected_index(at("merge_transition_combo"), 1);  // fade
    EXPECT_TRUE(run_job());
    return out + "/1_1_" + fs::path(first).stem().string() + "." + extension;
  }

  // The brightest channel over a region of a decoded frame: its mean and its highest.
  struct Brightness {
    double mean = 0;
    int highest = 0;
  };
  static Brightness brightness(const test_env::DecodedFrame& frame, int x0, int x1, int y0, int y1) {
    Brightness b;
    int count = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const std::vector<int> p = frame.pixel(x, y);
        if (p.empty()) return {};
        const int v = *std::max_element(p.begin(), p.end());
        b.mean += v;
        b.highest = std::max(b.highest, v);
        ++count;
      }
    }
    if (count > 0) b.mean /= count;
    return b;
  }
};

// Two-second parts, 25 frames a second: both whole, or less the one second of the
// transition.
int joined_frames(bool transition) { return transition ? 75 : 100; }

}  // namespace

// A phone video plays upright: the merge takes the size its picture shows (the stored
// size turned by its rotation), for the first part's frame and for the parts fitted
// into it, so every frame of the output has one size and a transition still joins.
TEST_F(MergeRecordings, RotatedPartsJoinAtTheSizeTheyShow) {
  const std::string upright = recording("upright.mp4", {.seconds = 2, .width = 320, .height = 180});
  const std::string turned = recording("turned.mp4", {.seconds = 2, .width = 320, .height = 180, .rotation = 90});
  ASSERT_EQ(test_env::shown_frame_size(turned), "180x320");
  const struct {
    const char* name;
    const std::string& first;
    const std::string& second;
    bool transition;
    const char* format_radio;
    const char* extension;
    const char* size;
  } cases[] = {
      {"turned first", turned, upright, false, "merge_format_mkv_radio", "mkv", "180x320"},
      {"turned first, transition, cover", turned, upright, true, "merge_format_mp4_radio", "mp4", "180x320"},
      {"turned second", upright, turned, false, "merge_format_mkv_radio", "mkv", "320x180"},
      {"turned second, transition, cover", upright, turned, true, "merge_format_mp4_radio", "mp4", "320x180"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string output = merge_pair(c.first, c.second, c.transition, c.format_radio, c.extension);
    if (!fs::exists(output)) {
      ADD_FAILURE() << "no output " << output;
      continue;
    }
    EXPECT_EQ(test_env::video_frame_sizes(output), (FrameRuns{{c.size, joined_frames(c.transition)}}));
    EXPECT_EQ(test_env::shown_frame_size(output), c.size);  // no rotation left to turn it again
    EXPECT_TRUE(test_env::decodes_without_errors(output));
  }
}

// A part of another shape is fitted into the first part's frame with black bars, never
// stretched; a part of the same shape fills it. Odd sizes (webm, ogv) are made even
// for 4:2:0 by one black column or row, as a first part too.
TEST_F(MergeRecordings, PartsOfAnotherShapeKeepTheirProportionsOnBlackBars) {
  const std::string wide = recording("wide.mp4", {.seconds = 2, .width = 320, .height = 180});
  const struct {
    const char* name;
    RecordingClip second;
    bool transition;
    int bar;  // the width of each black bar left and right; 0: none
  } cases[] = {
      {"4:3", {.seconds = 2, .width = 320, .height = 240}, false, 40},
      {"4:3, transition", {.seconds = 2, .width = 320, .height = 240}, true, 40},
      {"odd webm", {.seconds = 2, .width = 137, .height = 135, .container = "webm"}, false, 69},
      {"odd ogv, transition", {.seconds = 2, .width = 135, .height = 137, .container = "ogv"}, true, 72},
      {"16:9, larger", {.seconds = 2, .width = 640, .height = 360}, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string second = recording(std::string("second.") + c.second.container, c.second);
    const std::string output = merge_pair(wide, second, c.transition, "merge_format_mkv_radio", "mkv");
    if (!fs::exists(output)) {
      ADD_FAILURE() << "no output " << output;
      continue;
    }
    EXPECT_EQ(test_env::video_frame_sizes(output), (FrameRuns{{"320x180", joined_frames(c.transition)}}));
    // A frame of the second part after the joint (and after the transition).
    const test_env::DecodedFrame frame = test_env::decode_frame(output, c.transition ? 2.5 : 3.5);
    EXPECT_EQ(frame.width, 320);
    const Brightness left = brightness(frame, 0, 30, 0, 180), right = brightness(frame, 290, 320, 0, 180);
    const Brightness middle = brightness(frame, 110, 210, 0, 180);
    EXPECT_GT(middle.mean, 100);
    if (c.bar > 0) {
      EXPECT_LE(left.highest, 30);
      EXPECT_LE(right.highest, 30);
      // The picture begins where its bar ends.
      EXPECT_GT(brightness(frame, c.bar + 2, c.bar + 12, 0, 180).mean, 60);
      EXPECT_LE(brightness(frame, 0, c.bar - 2, 0, 180).highest, 30);
    } else {
      EXPECT_GT(left.mean, 100);
      EXPECT_GT(right.mean, 100);
    }
    fs::remove(second);
  }

  const struct {
    const char* name;
    RecordingClip first;
    bool transition;
    const char* size;
  } odd_first[] = {
      {"odd webm first", {.seconds = 2, .width = 137, .height = 135, .container = "webm"}, false, "138x136"},
      {"odd ogv first, transition", {.seconds = 2, .width = 135, .height = 137, .container = "ogv"}, true, "136x138"},
  };
  for (const auto& c : odd_first) {
    SCOPED_TRACE(c.name);
    const std::string first = recording(std::string("odd.") + c.first.container, c.first);
    const std::string output = merge_pair(first, wide, c.transition, "merge_format_mkv_radio", "mkv");
    if (!fs::exists(output)) {
      ADD_FAILURE() << "no output " << output;
      continue;
    }
    EXPECT_EQ(test_env::video_frame_sizes(output), (FrameRuns{{c.size, joined_frames(c.transition)}}));
    EXPECT_EQ(test_env::stream_entry(output, "V:0", "pix_fmt"), "yuv420p");
    fs::remove(first);
  }
}

// Every re-encoded picture of a merge is 8-bit 4:2:0, whatever the parts' depth, and a
// transition (whose filter gives 4:4:4) too.
TEST_F(MergeRecordings, EveryMergedPictureIsEightBitFourTwoZero) {
  const std::string eight = recording("eight.mp4", {.seconds = 2, .width = 320, .height = 180});
  const std::string ten = recording("ten.mp4", {.seconds = 2, .width = 320, .height = 180, .ten_bit = true});
  ASSERT_EQ(test_env::stream_entry(ten, "v:0", "pix_fmt"), "yuv420p10le");
  const struct {
    const char* name;
    const std::string& first;
    const std::string& second;
    bool transition;
    const char* format_radio;
    const char* extension;
  } cases[] = {
      {"10-bit first", ten, eight, false, "merge_format_mkv_radio", "mkv"},
      {"10-bit first, transition", ten, eight, true, "merge_format_mkv_radio", "mkv"},
      {"10-bit second", eight, ten, false, "merge_format_mp4_radio", "mp4"},
      {"8-bit, transition, cover", eight, eight, true, "merge_format_mp4_radio", "mp4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string output = merge_pair(c.first, c.second, c.transition, c.format_radio, c.extension);
    if (!fs::exists(output)) {
      ADD_FAILURE() << "no output " << output;
      continue;
    }
    EXPECT_EQ(test_env::stream_entry(output, "V:0", "pix_fmt"), "yuv420p");
    EXPECT_EQ(test_env::stream_entry(output, "V:0", "profile"), "High");
    // Every frame, the second part's too.
    EXPECT_EQ(test_env::video_frame_runs(output, {"pix_fmt"}), (FrameRuns{{"yuv420p", joined_frames(c.transition)}}));
    EXPECT_EQ(test_env::video_frame_sizes(output), (FrameRuns{{"320x180", joined_frames(c.transition)}}));
    EXPECT_TRUE(test_env::decodes_without_errors(output));
  }
}
