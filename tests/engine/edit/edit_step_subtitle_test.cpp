// The scrolling subtitle step on the real converter: the text reaches the converter
// through its file and is drawn exactly as typed, with no argument of its own; typed
// values that are no numbers never reach a command; the font is named so that any
// file name stays one option value; the chosen font is the one drawn, and one without
// the text's characters gives way to an installed font that has them all; without a
// selected font the first of the list is used, without any font the step is passed
// over.

#include "engine/edit/edit_step_subtitle.h"

#include <filesystem>

#include "engine/common/globals.h"
#include "platform/fonts.h"
#include "tests/engine/edit/edit_step_test_support.h"
#include "tests/support/logging_converter.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;

constexpr const char* chinese_font = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
constexpr const char* latin_font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* serif_font = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

// Frame 25 of the file (a second in), the band at the bottom where the subtitle runs,
// after `filter` when one is given.
test_env::DecodedFrame subtitle_band(const std::string& path, const std::string& filter = "") {
  return decode_frame(path, 0.0, (filter.empty() ? "" : filter + ",") + "select=eq(n\\,25),crop=320:60:0:175");
}

class SubtitleStep : public EditStepTest {
 protected:
  void SetUp() override {
    EditStepTest::SetUp();
    font_file_names.clear();
    log = dir / "calls.log";
  }
  void TearDown() override { font_file_names.clear(); }

  // Puts `font` into the converter's folder as `name`, as the start of the job copies
  // the selected font, lists it as the only font and selects it.
  void use_font(const std::string& font, const std::string& name) {
    fs::copy_file(font, run + "/bin/" + name);
    font_file_names.set({name});
    gui().set_items(at("subtitle_font_combo"), {"font"});
    gui().set_selected_index(at("subtitle_font_combo"), 0);
  }
  void subtitle(const std::string& text) {
    check("subtitle_check");
    type("subtitle_text_field", text);
  }
  // Runs the step and gives the converter calls it made.
  std::vector<std::vector<std::string>> run_step(EditVideoState& video) {
    test_env::install_logging_converter(run, log);
    fs::remove(log);
    run_scrolling_subtitle_step(video, page());
    return fs::exists(log) ? test_env::read_logged_commands(log) : std::vector<std::vector<std::string>>{};
  }

  std::string log;
};

}  // namespace

TEST_F(SubtitleStep, TheTextIsDrawnExactlyAsTypedWithoutAnArgumentOfItsOwn) {
  const std::string typed = "a\"b : c'd \\ e %{pts} 100% 中文字幕";
  EditVideoState video = start_video(landscape_clip());
  use_font(chinese_font, "wqy-microhei.ttc");
  subtitle(typed);
  type("subtitle_size_combo", "20");
  type("subtitle_speed_combo", "10");
  const std::string current = video.current_file(), next = video.next_file();

  const auto calls = run_step(video);
  EXPECT_EQ(status(video), "添加字幕成功");
  ASSERT_EQ(video.current, 2);
  const std::string look = "y=h-line_h-30:x=(w-mod(10*n\\,w+tw)):fontsize=20:fontcolor=#FFFF00:shadowy=0";
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"-i", current, "-vf",
                                                  "drawtext=fontfile=wqy-microhei.ttc: textfile=../v_tempx/"
                                                  "subtitle.txt: expansion=none: " + look,
                                                  "-y", next}));
  EXPECT_EQ(test_env::read_file(video.work_folder + subtitle_text_file_name), typed);

  // The picture shows the text: what the converter draws for the typed text itself,
  // and clearly not the unchanged picture nor the text with its backslash lost or its
  // percent sequence expanded.
  const std::string reference = dir / "reference.txt";
  const std::string altered = dir / "altered.txt";
  test_env::write_file(reference, typed);
  test_env::write_file(altered, "a\"b : c'd  e 0.000000 100% 中文字幕");
  const auto drawn = [&](const std::string& text_file) {
    return subtitle_band(video.source, std::string("drawtext=fontfile=") + chinese_font + ":textfile=" + text_file +
                                           ":expansion=none:" + look);
  };
  const test_env::DecodedFrame output = subtitle_band(video.current_file());
  const double to_typed = mean_frame_difference(output, drawn(reference));
  EXPECT_LT(to_typed, 5.0);
  EXPECT_GT(mean_frame_difference(output, drawn(altered)), to_typed + 4.0);
  EXPECT_GT(mean_frame_difference(output, subtitle_band(video.source)), to_typed + 4.0);
}

TEST_F(SubtitleStep, TheChosenFontIsDrawnAndOneWithoutTheTextsCharactersGivesWay) {
  const std::string source = landscape_clip();
  type("subtitle_size_combo", "30");
  type("subtitle_speed_combo", "10");  // a second in, most of the text is in the picture
  const std::string look = "y=h-line_h-30:x=(w-mod(10*n\\,w+tw)):fontsize=30:fontcolor=#FFFF00:shadowy=0";
  // The band of the source with `text` drawn by `font`.
  const auto drawn = [&](const std::string& font, const std::string& text) {
    const std::string text_file = dir / "reference.txt";
    test_env::write_file(text_file, text);
    return subtitle_band(source, "drawtext=fontfile=" + font + ":textfile=" + text_file + ":expansion=none:" + look);
  };
  struct Case {
    std::string chosen;  // the font selected in the combo
    std::string text;
    std::string drawn;      // the font the picture shows
    std::string not_drawn;  // a font it does not show
  };
  const Case cases[] = {
      {latin_font, "Subtitle 42", latin_font, serif_font},
      {serif_font, "Subtitle 42", serif_font, latin_font},
      {chinese_font, "中文字幕 42", chinese_font, latin_font},
      // The first font of the list, as a remembered font that is not installed selects
      // it: it has no Chinese, and would draw boxes. An installed Chinese font draws
      // the text instead (the install script brings one).
      {latin_font, "中文字幕 42", installed_font_covering_text("中文字幕 42"), latin_font},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.chosen << " " << c.text);
    const std::string name = "chosen" + fs::path(c.chosen).extension().string();
    fs::remove(run + "/bin/" + name);
    use_font(c.chosen, name);
    subtitle(c.text);
    EditVideoState video = start_video(source);
    run_step(video);
    EXPECT_EQ(status(video), "添加字幕成功");
    ASSERT_EQ(video.current, 2);
    const test_env::DecodedFrame output = subtitle_band(video.current_file());
    const double to_drawn = mean_frame_difference(output, drawn(c.drawn, c.text));
    EXPECT_LT(to_drawn, 5.0);
    EXPECT_GT(mean_frame_difference(output, drawn(c.not_drawn, c.text)), to_drawn + 6.0);
    fs::remove(video.work_file_a);
    fs::remove(video.work_file_b);
  }
}

TEST_F(SubtitleStep, TypedValuesThatAreNoNumbersNeverReachTheConverter) {
  const std::string source = landscape_clip();
  use_font(latin_font, "DejaVuSans.ttf");
  subtitle("text");
  const std::string other = dir / "other.mp4";
  struct Case {
    const char* role;
    std::string typed;
  };
  for (const Case& c : {Case{"subtitle_bottom_field", "30\" -y \"" + other}, Case{"subtitle_bottom_field", "30:x=0"},
                        Case{"subtitle_bottom_field", ""}, Case{"subtitle_size_combo", "20\" \"" + other},
                        Case{"subtitle_size_combo", "0"}, Case{"subtitle_size_combo", "20,hflip"}}) {
    SCOPED_TRACE(c.typed);
    EditVideoState video = start_video(source);
    type("subtitle_bottom_field", "30");
    type("subtitle_size_combo", "35");
    type(c.role, c.typed);
    EXPECT_TRUE(run_step(video).empty());
    EXPECT_EQ(status(video), "正在添加字幕");
    EXPECT_EQ(video.current, 1);
  }
  EXPECT_FALSE(fs::exists(other));
}

TEST_F(SubtitleStep, AFontFileNameWithTheFilterSyntaxsCharactersStaysOneValue) {
  EditVideoState video = start_video(landscape_clip());
  const std::string name = "a'b,c;d [1]=x:y%\\z.ttf";
  use_font(latin_font, name);
  subtitle("text");
  const auto calls = run_step(video);
  EXPECT_EQ(status(video), "添加字幕成功");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0][3].starts_with("drawtext=fontfile=" + *filter_option_value_text(name) + ": textfile="))
      << calls[0][3];
  // A name that no escape keeps inside the command's quotes passes the step over.
  EditVideoState second = start_video(video.source);
  use_font(latin_font, "quote\".ttf");
  EXPECT_TRUE(run_step(second).empty());
  EXPECT_EQ(status(second), "正在添加字幕");
}

TEST_F(SubtitleStep, WithoutASelectedFontTheFirstOfTheListIsUsedAndWithoutAnyTheStepIsPassedOver) {
  const std::string source = landscape_clip();
  const std::string fonts = dir / "fonts";
  fs::create_directories(fonts);
  fs::copy_file(latin_font, fonts + "/DejaVuSans.ttf");
  const test_env::ScopedEnvironmentVariable folder(fonts_folder_variable, fonts.c_str());
  subtitle("text");

  font_file_names.set({"DejaVuSans.ttf", "other.ttf"});
  gui().set_items(at("subtitle_font_combo"), {"DejaVu Sans(DejaVuSans)", "Other(other)"});
  ASSERT_EQ(gui().selected_index(at("subtitle_font_combo")), -1);
  EditVideoState video = start_video(source);
  const auto calls = run_step(video);
  EXPECT_EQ(status(video), "添加字幕成功");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0][3].starts_with("drawtext=fontfile=" + fonts + "/DejaVuSans.ttf: ")) << calls[0][3];

  font_file_names.clear();
  gui().set_items(at("subtitle_font_combo"), {});
  EditVideoState without = start_video(source);
  EXPECT_TRUE(run_step(without).empty());
  EXPECT_EQ(status(without), "正在添加字幕");
  EXPECT_EQ(without.current, 1);
}
