// The edit page's file choosers and the subtitle reversal, driven through the main
// window as the user does.

#include <gtest/gtest.h>

#include <string>

#include "engine/window/file_dialogs.h"
#include "tests/ui/settings_test_support.h"
#include "ui/edit_file_choosers.h"

namespace {

class EditFileChoosers : public ::testing::Test {
 protected:
  void SetUp() override {
    // The dialogs remember their folders for the whole run of the program.
    audio_file_dialog.initial_folder.clear();
    audio_file_dialog.chosen_path.clear();
    picture_file_dialog.initial_folder.clear();
    picture_file_dialog.chosen_path.clear();
    window = start_main_window(g, run);
    show_page(2);
  }

  static std::string text(const char* role) { return gui().text(control(role)); }
  static bool click(const char* role) { return gui().input_click(control(role)); }

  HeadlessGui g;
  MainWindowRunFolder run;
  WindowToken window;
};

TEST_F(EditFileChoosers, EachButtonWritesTheChosenPathIntoItsFieldAndSavesIt) {
  const struct {
    const char* option;
    const char* button;
    const char* field;
    const char* key;
    const char* filter;
    const char* chosen;
  } choosers[] = {
      {"merge_audio_check", "choose_audio_file_button", "audio_file_field", "y7", "音频文件|*.mp3;*.wav",
       "/media/音乐/背景 音乐.mp3"},
      {"picture_watermark_check", "choose_watermark_picture_button", "watermark_picture_field", "y8",
       "图片文件|*.jpg;*.gif;*.png;*.jpeg", "/pics/logo.png"},
      {"top_bottom_pictures_check", "choose_top_picture_button", "top_picture_field", "y25",
       "图片文件|*.jpg;*.gif;*.png;*.jpeg", "/pics/上图.jpg"},
      {"top_bottom_pictures_check", "choose_bottom_picture_button", "bottom_picture_field", "y26",
       "图片文件|*.jpg;*.gif;*.png;*.jpeg", "/pics/a;b.gif"},
      // Taken as chosen: a file that does not exist is tested by the edit job's start.
      {"background_picture_check", "choose_background_picture_button", "background_picture_field", "y27",
       "图片文件|*.jpg;*.gif;*.png;*.jpeg", "/missing/背景.jpeg"},
  };
  for (const auto& c : choosers) {
    SCOPED_TRACE(c.button);
    if (!gui().checked(control(c.option))) {
      // Disabled while the option is off: a click does nothing.
      EXPECT_FALSE(click(c.button));
      EXPECT_TRUE(click(c.option));
    }
    g.services.clear_records();
    g.services.answer_open_files({c.chosen});
    EXPECT_TRUE(click(c.button));
    const auto requests = g.services.open_file_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].owner, window);
    EXPECT_EQ(requests[0].title, "");
    EXPECT_EQ(requests[0].filter, c.filter);
    EXPECT_FALSE(requests[0].multi_select);
    EXPECT_EQ(text(c.field), c.chosen);
    EXPECT_EQ(stored(run, c.key), c.chosen);
  }
  EXPECT_EQ(audio_file_dialog.chosen_path, "/media/音乐/背景 音乐.mp3");
  EXPECT_EQ(picture_file_dialog.chosen_path, "/missing/背景.jpeg");
}

TEST_F(EditFileChoosers, TheDialogOpensInTheFieldsFolderAndThePictureChoosersShareOneFolder) {
  EXPECT_TRUE(click("top_bottom_pictures_check"));
  EXPECT_TRUE(click("picture_watermark_check"));
  EXPECT_TRUE(click("merge_audio_check"));
  EXPECT_TRUE(gui().input_text(control("top_picture_field"), "/home/u/图片/上 图.png"));

  // Before any choice with an empty field the dialog chooses its own folder.
  EXPECT_TRUE(click("choose_bottom_picture_button"));  // cancelled
  EXPECT_TRUE(click("choose_top_picture_button"));     // the field's folder
  EXPECT_TRUE(click("choose_watermark_picture_button"));  // empty field: the folder the top chooser set
  EXPECT_TRUE(click("choose_audio_file_button"));      // a dialog of its own
  EXPECT_TRUE(gui().input_text(control("watermark_picture_field"), "/srv/marks/logo.png"));
  EXPECT_TRUE(click("choose_watermark_picture_button"));
  EXPECT_TRUE(click("choose_bottom_picture_button"));
  // A field without a folder part gives the dialog no folder.
  EXPECT_TRUE(gui().input_text(control("bottom_picture_field"), "下图.png"));
  EXPECT_TRUE(click("choose_bottom_picture_button"));

  std::vector<std::string> folders;
  for (const OpenFileRequest& r : g.services.open_file_requests()) folders.push_back(r.initial_folder);
  EXPECT_EQ(folders, (std::vector<std::string>{"", "/home/u/图片/", "/home/u/图片/", "", "/srv/marks/", "/srv/marks/", ""}));
}

TEST_F(EditFileChoosers, CancellingKeepsTheFieldButStillSavesTheSettings) {
  EXPECT_TRUE(click("background_picture_check"));
  EXPECT_TRUE(gui().input_text(control("background_picture_field"), "/bg/old.jpg"));
  // Typing alone does not save: the chooser's save below is what writes it.
  ASSERT_EQ(stored(run, "y27"), "");
  EXPECT_TRUE(click("choose_background_picture_button"));  // cancelled
  EXPECT_EQ(g.services.open_file_requests().size(), 1u);
  EXPECT_EQ(text("background_picture_field"), "/bg/old.jpg");
  EXPECT_EQ(stored(run, "y27"), "/bg/old.jpg");
  EXPECT_EQ(picture_file_dialog.chosen_path, "");
}

TEST_F(EditFileChoosers, ReversalTurnsTheSubtitleCharactersAroundWithoutSaving) {
  EXPECT_TRUE(click("subtitle_check"));
  const struct {
    const char* text;
    const char* reversed;
  } cases[] = {
      {"文字颠倒", "倒颠字文"},
      {"abc中文", "文中cba"},
      {"笑😀了 ok", "ko 了😀笑"},  // a character outside the basic plane stays whole
      {"x", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(gui().input_text(control("subtitle_text_field"), c.text));
    EXPECT_TRUE(click("reverse_subtitle_button"));
    EXPECT_EQ(text("subtitle_text_field"), c.reversed) << c.text;
    EXPECT_TRUE(click("reverse_subtitle_button"));
    EXPECT_EQ(text("subtitle_text_field"), c.text);
  }
  EXPECT_EQ(stored(run, "y6"), "");

  // An empty field stays empty and fires no change.
  EXPECT_TRUE(gui().input_text(control("subtitle_text_field"), ""));
  int changes = 0;
  gui().bind(control("subtitle_text_field"), EventKind::text_changed, [&](const GuiEvent&) { ++changes; });
  EXPECT_TRUE(click("reverse_subtitle_button"));
  EXPECT_EQ(text("subtitle_text_field"), "");
  EXPECT_EQ(changes, 0);
}

}  // namespace
