// The edit page's start checks: the refusal messages in their order, the subtitle size
// correction and the subtitle font copy, on the headless control model.

#include "engine/edit/edit_job_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/edit_job.h"
#include "platform/fonts.h"
#include "tests/support/edit_page_window.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;

namespace {

class EditStartChecks : public ::testing::Test {
 public:
  void SetUp() override {
    run = test_env::make_run_folder(dir.path());
    run_folder.set(run);
    ffmpeg_exe_path.set(run + "/bin/ffmpeg");
    font_file_names.clear();
    window = gui().create_window(test_env::build_edit_page_window());
    gui().bind(at("edit_start_button"), EventKind::clicked, on_edit_start_stop_clicked);
    gui().open_window(window);
    existing = dir / "有 的.png";
    test_env::write_file(existing, "x");
    missing = dir / "没有.png";
  }

  ControlRef at(const char* role) const { return {window, role}; }
  void check(const char* role) { gui().set_checked(at(role), true); }
  void set(const char* role, const std::string& text) { gui().set_text(at(role), text); }
  void click_start() {
    gui().input_click(at("edit_start_button"));
    g.loop.run_until_idle();
  }

  HeadlessGui g;
  TempDir dir;
  std::string run, existing, missing;
  WindowToken window;
};

struct RefusalCase {
  const char* name;
  std::function<void(EditStartChecks&)> set_up;
  const char* message;
  const char* focus;  // "" when the focus stays where it was
};

}  // namespace

TEST_F(EditStartChecks, TheFirstFailingCheckShowsItsMessageAndNothingStarts) {
  const std::vector<RefusalCase> cases = {
      {"subtitle without text", [](auto& t) { t.check("subtitle_check"); }, "请先输入字幕文字！",
       "subtitle_text_field"},
      {"audio without a file", [](auto& t) { t.check("merge_audio_check"); }, "请先选择一个音频文件。", ""},
      {"audio file deleted",
       [](auto& t) {
         t.check("merge_audio_check");
         t.set("audio_file_field", t.missing);
       },
       "请重新选择一个音频文件。", ""},
      {"subtitle given, then audio missing",
       [](auto& t) {
         t.check("subtitle_check");
         t.set("subtitle_text_field", "字幕");
         t.check("merge_audio_check");
       },
       "请先选择一个音频文件。", ""},
      {"watermark without a picture", [](auto& t) { t.check("picture_watermark_check"); },
       "请先选择一张水印图片！可以选择gif动图或png透明图的。", ""},
      {"watermark picture missing",
       [](auto& t) {
         t.check("picture_watermark_check");
         t.set("watermark_picture_field", t.missing);
       },
       "请重新选择一张水印图片！可以选择gif动图或png透明图的。", ""},
      {"top and bottom both empty: only the top message",
       [](auto& t) { t.check("top_bottom_pictures_check"); }, "请先选择一张放置于视频顶端的图片！", ""},
      {"bottom empty",
       [](auto& t) {
         t.check("top_bottom_pictures_check");
         t.set("top_picture_field", t.missing);
       },
       "请先选择一张放置于视频底端的图片！", ""},
      {"top missing",
       [](auto& t) {
         t.check("top_bottom_pictures_check");
         t.set("top_picture_field", t.missing);
         t.set("bottom_picture_field", t.missing);
       },
       "请重新选择一张置于顶端的图片！", ""},
      {"bottom missing",
       [](auto& t) {
         t.check("top_bottom_pictures_check");
         t.set("top_picture_field", t.existing);
         t.set("bottom_picture_field", t.missing);
       },
       "请重新选择一张置于底端的图片！", ""},
      {"background without a picture", [](auto& t) { t.check("background_picture_check"); },
       "请先选择一张视频背景图！", ""},
      {"a folder counts as existing, background missing",
       [](auto& t) {
         t.check("merge_audio_check");
         t.set("audio_file_field", t.dir.path());
         t.check("background_picture_check");
         t.set("background_picture_field", t.missing);
       },
       "请重新选择一张视频背景图！", ""},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* box : {"subtitle_check", "merge_audio_check", "picture_watermark_check",
                            "top_bottom_pictures_check", "background_picture_check"}) {
      gui().set_checked(at(box), false);
    }
    for (const char* field : {"subtitle_text_field", "audio_file_field", "watermark_picture_field",
                              "top_picture_field", "bottom_picture_field", "background_picture_field"}) {
      set(field, "");
    }
    gui().set_focus(at("edit_output_folder_field"));
    const std::size_t before = g.services.messages().size();
    c.set_up(*this);
    click_start();

    const auto messages = g.services.messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().title, "友情提示：");
    EXPECT_EQ(messages.back().text, c.message);
    EXPECT_EQ(messages.back().buttons, MessageButtons::ok);
    EXPECT_EQ(gui().focused_role(window), *c.focus ? c.focus : "edit_output_folder_field");
    EXPECT_EQ(gui().text(at("edit_start_button")), edit_start_caption);
    EXPECT_EQ(running_worker_threads(WorkerKind::edit), 0);
    EXPECT_FALSE(gui().visible(at("overall_progress_bar")));
  }
}

TEST_F(EditStartChecks, AnUnusableSubtitleSizeBecomes35EvenWhenALaterCheckFails) {
  check("subtitle_check");
  set("subtitle_text_field", "字幕");
  check("merge_audio_check");  // refuses the start after the subtitle block
  for (const auto& [typed, kept] : std::vector<std::pair<std::string, std::string>>{
           {"0", "35"}, {"abc", "35"}, {"", "35"}, {"0.5", "35"}, {"-3", "35"}, {"1", "1"}, {"40", "40"}, {" 22", " 22"}}) {
    set("subtitle_size_combo", typed);
    click_start();
    EXPECT_EQ(gui().text(at("subtitle_size_combo")), kept) << "typed: " << typed;
  }
  // Without the subtitle the size is left alone.
  gui().set_checked(at("subtitle_check"), false);
  set("subtitle_size_combo", "0");
  click_start();
  EXPECT_EQ(gui().text(at("subtitle_size_combo")), "0");
}

TEST_F(EditStartChecks, TheSelectedFontIsCopiedIntoBinAndAnOldCopyIsKept) {
  TempDir fonts;
  test_env::write_file(fonts / "a.ttf", "font a");
  test_env::write_file(fonts / "b.ttf", "font b");
  const test_env::ScopedEnvironmentVariable folder(fonts_folder_variable, fonts.path().c_str());
  font_file_names.set({"a.ttf", "b.ttf"});
  gui().set_items(at("subtitle_font_combo"), {"A(a)", "B(b)"});
  check("subtitle_check");
  set("subtitle_text_field", "字幕");
  check("background_picture_check");  // refuses the start after the copy

  // Nothing selected: nothing to copy.
  click_start();
  EXPECT_FALSE(fs::exists(run + "/bin/a.ttf"));
  EXPECT_FALSE(fs::exists(run + "/bin/b.ttf"));

  gui().set_selected_index(at("subtitle_font_combo"), 1);
  click_start();
  EXPECT_EQ(test_env::read_file(run + "/bin/b.ttf"), "font b");

  test_env::write_file(run + "/bin/a.ttf", "older copy");
  gui().set_selected_index(at("subtitle_font_combo"), 0);
  click_start();
  EXPECT_EQ(test_env::read_file(run + "/bin/a.ttf"), "older copy");
  EXPECT_EQ(g.services.messages().size(), 3u);
}

TEST_F(EditStartChecks, AFontNameThatIsNoPlainFileNameIsNeverCopiedNorDeleted) {
  gui().set_items(at("subtitle_font_combo"), {"x", "y", "z", "w"});
  font_file_names.set({"ffmpeg", "../escape.ttf", "..", ""});
  for (int index = 0; index < 4; ++index) {
    gui().set_selected_index(at("subtitle_font_combo"), index);
    EXPECT_EQ(subtitle_font_copy_path(EditPage(window)), "") << index;
  }
  font_file_names.set({"ok.ttf"});
  gui().set_selected_index(at("subtitle_font_combo"), 0);
  EXPECT_EQ(subtitle_font_copy_path(EditPage(window)), run + "/bin/ok.ttf");
}
