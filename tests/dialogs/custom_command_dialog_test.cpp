// The custom command dialog on the headless control model, with the command file in
// a run folder of its own.

#include "dialogs/custom_command_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/edit/custom_command_file.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

constexpr const char* question = "您还没保存当前设置，是否现在保存？";

class CustomCommandDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::make_run_folder(dir.path());
    run_folder.set(run);
    file = run + "/data/ffmpeg.txt";
  }
  void TearDown() override {
    if (gui().window_exists(dialog)) gui().destroy_window(dialog);
    run_folder.set("");
  }

  void open() {
    dialog = create_custom_command_dialog();
    gui().open_window(dialog);
  }
  ControlRef at(const char* role) const { return {dialog, role}; }
  std::string box() const { return gui().text(at("command_box")); }
  void type(const std::string& text) { ASSERT_TRUE(gui().input_text(at("command_box"), text)); }
  int questions() const {
    int n = 0;
    for (const MessageRequest& m : g.services.messages()) n += m.text == question;
    return n;
  }

  HeadlessGui g;
  TempDir dir;
  std::string run;
  std::string file;
  WindowToken dialog;
};

TEST_F(CustomCommandDialogTest, ShowsTheHelpAndLoadsTheFileWithoutCountingItAsAnEdit) {
  write_file(file, "\xEF\xBB\xBF-i [input] -vf hflip [output]\n-i [input] -an [output]\n");
  open();
  EXPECT_EQ(gui().title(dialog), "自定义ffmpeg命令");
  EXPECT_EQ(box(), "-i [input] -vf hflip [output]\r\n-i [input] -an [output]\r\n");
  EXPECT_EQ(custom_commands_saved, 1);
  const std::string help = gui().text(at("command_help_box"));
  EXPECT_TRUE(help.starts_with("命令说明：\r\n1、原视频用 [input] 表示，新视频用 [output] 表示。\r\n"));
  EXPECT_NE(help.find("\r\n\r\n命令示例：\r\n"), std::string::npos);
  EXPECT_TRUE(gui().control_state(at("command_help_box")).read_only);
  EXPECT_EQ(gui().text(at("title_template_button")), "示例一");
  EXPECT_EQ(gui().text(at("comment_template_button")), "示例二");
  EXPECT_EQ(gui().text(at("command_docs_button")), "查阅更多命令");
  EXPECT_EQ(gui().text(at("command_save_button")), "保存设置");

  // Closing without an edit asks nothing and leaves the file as it was.
  EXPECT_TRUE(gui().input_close(dialog));
  EXPECT_EQ(questions(), 0);
  EXPECT_EQ(read_file(file), "\xEF\xBB\xBF-i [input] -vf hflip [output]\n-i [input] -an [output]\n");
}

TEST_F(CustomCommandDialogTest, AMissingFileGivesAnEmptyBox) {
  open();
  EXPECT_EQ(box(), "");
  EXPECT_EQ(custom_commands_saved, 1);
}

TEST_F(CustomCommandDialogTest, SaveWritesCrlfAndCloses) {
  write_file(file, "old\n");
  open();
  type("-i [input] -metadata title=\"[title] 新\" [output]\r\n-i [input] -an [output]");
  EXPECT_EQ(custom_commands_saved, 0);
  ASSERT_TRUE(gui().input_click(at("command_save_button")));
  EXPECT_FALSE(gui().window_exists(dialog));
  EXPECT_EQ(custom_commands_saved, 1);
  EXPECT_EQ(questions(), 0);
  EXPECT_EQ(read_file(file), "-i [input] -metadata title=\"[title] 新\" [output]\r\n-i [input] -an [output]");
}

TEST_F(CustomCommandDialogTest, AFileInTheOldCodePageIsEditedAndSavedBackInIt) {
  // "中文" in code page 936.
  const std::string line = "-i [input] -metadata title=\"\xD6\xD0\xCE\xC4\" [output]\r\n";
  write_file(file, line);
  open();
  EXPECT_EQ(box(), "-i [input] -metadata title=\"中文\" [output]\r\n");
  type(box() + "-i [input] -metadata comment=\"文字\" [output]");
  ASSERT_TRUE(gui().input_click(at("command_save_button")));
  EXPECT_FALSE(gui().window_exists(dialog));
  const std::string saved = read_file(file);
  EXPECT_EQ(saved, line + "-i [input] -metadata comment=\"\xCE\xC4\xD7\xD6\" [output]");
  EXPECT_EQ(saved.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST_F(CustomCommandDialogTest, UnsavedEditsAskOnCloseEachAnswerClosing) {
  write_file(file, "old\r\n");

  // No: closes, the file keeps its content.
  open();
  type("old\r\nx");
  g.services.answer_message(MessageAnswer::no);
  EXPECT_TRUE(gui().input_close(dialog));
  ASSERT_EQ(questions(), 1);
  const MessageRequest asked = g.services.messages().back();
  EXPECT_EQ(asked.title, "友情提示：");
  EXPECT_EQ(asked.buttons, MessageButtons::yes_no);
  EXPECT_EQ(read_file(file), "old\r\n");

  // Yes: writes the box, then closes.
  open();
  EXPECT_EQ(box(), "old\r\n");
  type("new\r\n");
  g.services.answer_message(MessageAnswer::yes);
  EXPECT_TRUE(gui().input_close(dialog));
  EXPECT_EQ(questions(), 2);
  EXPECT_EQ(read_file(file), "new\r\n");
  EXPECT_EQ(custom_commands_saved, 1);
}

TEST_F(CustomCommandDialogTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheEdits) {
  write_file(file, "old\r\n");
  open();
  type("new\r\n");
  fs::remove(file);
  fs::create_directory(file);  // the file's place can no longer take a file

  ASSERT_TRUE(gui().input_click(at("command_save_button")));
  EXPECT_TRUE(gui().window_exists(dialog));
  EXPECT_EQ(custom_commands_saved, 0);
  ASSERT_EQ(g.services.messages().size(), 1u);
  EXPECT_EQ(g.services.messages()[0].text, "保存失败，无法写入文件：" + file);

  // Closing and answering Yes fails the same way: the dialog stays with the edits.
  g.services.answer_message(MessageAnswer::yes);
  EXPECT_FALSE(gui().input_close(dialog));
  EXPECT_TRUE(gui().window_exists(dialog));
  EXPECT_EQ(box(), "new\r\n");

  // Once the file can be written again, Yes saves and closes.
  fs::remove(file);
  g.services.answer_message(MessageAnswer::yes);
  EXPECT_TRUE(gui().input_close(dialog));
  EXPECT_EQ(read_file(file), "new\r\n");
}

TEST_F(CustomCommandDialogTest, ExampleLinesAreAddedOnceEachOnALineOfItsOwn) {
  open();
  ASSERT_TRUE(gui().input_click(at("title_template_button")));
  EXPECT_EQ(box(), "-i [input] -metadata title=\"[title]\" [output]\r\n");
  EXPECT_EQ(custom_commands_saved, 0);
  ASSERT_TRUE(gui().input_click(at("title_template_button")));
  EXPECT_EQ(box(), "-i [input] -metadata title=\"[title]\" [output]\r\n");

  // After a last line without a line end the example starts a new line.
  type("-i [input] -vf hflip [output]");
  ASSERT_TRUE(gui().input_click(at("comment_template_button")));
  EXPECT_EQ(box(), "-i [input] -vf hflip [output]\r\n-i [input] -metadata comment=\"文字内容可以改\" [output]\r\n");
  ASSERT_TRUE(gui().input_click(at("title_template_button")));
  EXPECT_EQ(box(),
            "-i [input] -vf hflip [output]\r\n-i [input] -metadata comment=\"文字内容可以改\" [output]\r\n"
            "-i [input] -metadata title=\"[title]\" [output]\r\n");

  // The line found anywhere in the box counts, also inside a longer line.
  type("x -i [input] -metadata comment=\"文字内容可以改\" [output] y");
  ASSERT_TRUE(gui().input_click(at("comment_template_button")));
  EXPECT_EQ(box(), "x -i [input] -metadata comment=\"文字内容可以改\" [output] y");
}

TEST_F(CustomCommandDialogTest, CtrlASelectsAllAndOtherKeysPass) {
  open();
  type("-i [input] [output]");
  gui().set_focus(at("command_box"));
  EXPECT_FALSE(gui().input_key(at("command_box"), key_codes::a, key_modifiers::ctrl | key_modifiers::shift));
  EXPECT_EQ(gui().control_state(at("command_box")).selection_length, 0);
  EXPECT_FALSE(gui().input_key(at("command_box"), key_codes::a, key_modifiers::none));
  EXPECT_TRUE(gui().input_key(at("command_box"), key_codes::a, key_modifiers::ctrl));
  const ControlState state = gui().control_state(at("command_box"));
  EXPECT_EQ(state.selection_start, 0);
  EXPECT_EQ(state.selection_length, static_cast<int>(std::string("-i [input] [output]").size()));
  EXPECT_EQ(custom_commands_saved, 0);  // the typing, not the selection
}

TEST_F(CustomCommandDialogTest, DocumentationOpensInTheBrowser) {
  open();
  ASSERT_TRUE(gui().input_click(at("command_docs_button")));
  EXPECT_EQ(g.services.opened(), (std::vector<std::string>{"https://ffmpeg.org/ffmpeg-all.html"}));
  EXPECT_EQ(custom_commands_saved, 1);
}

TEST_F(CustomCommandDialogTest, ResizingFollowsTheWindow) {
  open();
  ASSERT_TRUE(gui().input_resize(dialog, 1200, 800));
  EXPECT_EQ(gui().geometry(at("command_help_box")), (GuiRect{10, 8, 1170, 152}));
  EXPECT_EQ(gui().geometry(at("command_box")), (GuiRect{10, 204, 1170, 560}));
}

TEST(CustomCommandDialogModal, OpensModallyOverItsOwner) {
  HeadlessGui g;
  TempDir dir;
  const std::string run = test_env::make_run_folder(dir.path());
  run_folder.set(run);
  WindowSpec owner_spec;
  owner_spec.name = "MainWindow";
  const WindowToken owner = gui().create_window(owner_spec);
  gui().open_window(owner);
  bool blocked = false;
  g.loop.when_idle([&] {
    const WindowToken dialog = gui().find_window(custom_command_dialog_name);
    blocked = gui().window_state(owner).blocked;
    gui().input_click({dialog, "title_template_button"});
    gui().input_click({dialog, "command_save_button"});
  });
  open_custom_command_dialog(owner);
  EXPECT_TRUE(blocked);
  EXPECT_FALSE(gui().find_window(custom_command_dialog_name));
  EXPECT_EQ(read_file(run + "/data/ffmpeg.txt"), "-i [input] -metadata title=\"[title]\" [output]\r\n");
  run_folder.set("");
}

}  // namespace
