// The numbers the picture steps compute: the box test against the frame, the logo box
// delogo accepts, the background layout and the blurred border's layout.

#include "engine/edit/edit_step_geometry.h"

#include <gtest/gtest.h>

#include <optional>

TEST(SpanFits, EndingOnTheEdgeFitsAndBeyondItDoesNot) {
  struct Case {
    double start, length;
    int size;
    bool fits;
  } cases[] = {
      {1180, 100, 1280, true},  {1180, 101, 1280, false}, {0, 640, 1280, true},  {641, 640, 1280, false},
      {0.5, 1279.5, 1280, true}, {0.5, 1279.6, 1280, false}, {0, 1, 0, false},    {0, 0, 0, true},
      {-10, 50, 40, true},  // a negative start is no concern of this test
  };
  for (const Case& c : cases) {
    EXPECT_EQ(span_fits(c.start, c.length, c.size), c.fits) << c.start << " + " << c.length << " in " << c.size;
  }
}

TEST(LogoRemovalBox, InsideStaysOnTheEdgeMovesInwardOutsideIsRefused) {
  using Box = std::optional<PixelBox>;
  struct Case {
    const char* name;
    double left, top, width, height;
    FrameSize frame;
    Box box;
  } cases[] = {
      {"inside", 10, 10, 100, 50, {320, 240}, PixelBox{10, 10, 100, 50}},
      {"left and top on the edge", 0, 0, 100, 50, {320, 240}, PixelBox{1, 1, 99, 49}},
      {"right and bottom on the edge", 220, 190, 100, 50, {320, 240}, PixelBox{220, 190, 99, 49}},
      {"the whole frame", 0, 0, 320, 240, {320, 240}, PixelBox{1, 1, 318, 238}},
      {"right edge of 1280", 1180, 10, 100, 50, {1280, 720}, PixelBox{1180, 10, 99, 50}},
      {"one past the right edge", 1180, 10, 101, 50, {1280, 720}, std::nullopt},
      {"one past the bottom", 10, 671, 100, 50, {1280, 720}, std::nullopt},
      {"negative left", -5, 10, 100, 50, {320, 240}, std::nullopt},
      {"negative top", 10, -1, 100, 50, {320, 240}, std::nullopt},
      {"unknown frame", 10, 10, 100, 50, {0, 0}, std::nullopt},
      // Whole parts, as the converter reads its values: left 0.9 is on the edge.
      {"fractions", 0.9, 10.5, 100.7, 50.2, {320, 240}, PixelBox{1, 10, 99, 50}},
      {"one pixel on the edge leaves nothing", 0, 10, 1, 50, {320, 240}, std::nullopt},
      {"no width", 10, 10, 0, 50, {320, 240}, std::nullopt},
      {"negative height", 10, 10, 100, -5, {320, 240}, std::nullopt},
      {"one inner pixel", 1, 1, 1, 1, {3, 3}, PixelBox{1, 1, 1, 1}},
      {"a frame too small for any box", 0, 0, 2, 2, {2, 2}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Box box = logo_removal_box(c.left, c.top, c.width, c.height, c.frame);
    ASSERT_EQ(box.has_value(), c.box.has_value());
    if (box) {
      EXPECT_EQ(*box, *c.box);
      // What the converter accepts: a pixel of picture on every side.
      EXPECT_GE(box->x, 1);
      EXPECT_GE(box->y, 1);
      EXPECT_LE(box->x + box->width, c.frame.width - 1);
      EXPECT_LE(box->y + box->height, c.frame.height - 1);
    }
  }
}

TEST(BackgroundLayout, FrameFromThePictureOrTheVideoAndTheVideoCentredOrPlaced) {
  struct Case {
    const char* name;
    FrameSize video;
    BackgroundOptions options;
    BackgroundLayout layout;
  } cases[] = {
      {"odd picture made even, centred", {1280, 720}, {true, {1921, 1081}, 95, true, 0, 0},
       {{1920, 1080}, {1216, 684}, 352, 198}},
      {"the video's own size at 100%", {1280, 720}, {false, {1921, 1081}, 100, true, 0, 0},
       {{1280, 720}, {1280, 720}, 0, 0}},
      {"unreadable picture keeps the video's size", {320, 240}, {true, {0, 0}, 50, true, 0, 0},
       {{320, 240}, {160, 120}, 80, 60}},
      {"a picture one pixel high keeps the video's size", {320, 240}, {true, {401, 1}, 50, true, 0, 0},
       {{320, 240}, {160, 120}, 80, 60}},
      {"custom place, whole parts toward zero", {320, 240}, {true, {400, 300}, 95, false, -10.7, 20.9},
       {{400, 300}, {304, 228}, -10, 20}},
      // Centring a video larger than the frame puts it above and left of the corner.
      {"centred, larger than the frame", {320, 240}, {true, {201, 151}, 85, true, 0, 0},
       {{200, 150}, {272, 204}, -36, -27}},
      {"the video's odd size made even, the video's own scale toward zero", {321, 241}, {false, {}, 50, true, 0, 0},
       {{320, 240}, {160, 120}, 80, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(background_layout(c.video, c.options), c.layout);
  }
}

TEST(BlurredBorderLayout, ScaledSizeAndHalfPixelOffsets) {
  struct Case {
    FrameSize frame;
    double percent;
    BlurredBorderLayout layout;
  } cases[] = {
      {{1280, 720}, 95, {{1216, 684}, "32", "18"}},
      {{1281, 720}, 95, {{1216, 684}, "32.5", "18"}},
      {{320, 240}, 90, {{288, 216}, "16", "12"}},
      {{321, 241}, 50, {{160, 120}, "80.5", "60.5"}},
      {{320, 240}, 100, {{320, 240}, "0", "0"}},
      {{320, 240}, 33.3, {{106, 79}, "107", "80.5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.frame.width << "x" << c.frame.height << " at " << c.percent);
    EXPECT_EQ(blurred_border_layout(c.frame, c.percent), c.layout);
  }
}
