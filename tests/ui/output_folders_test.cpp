// The pages' output-folder rows ("浏览", "打开文件夹") and the buttons that open the
// dialogs through their registered openers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/edit/watermark_picture_size.h"
#include "engine/window/dialog_openers.h"
#include "platform/files.h"
#include "platform/gui/gui.h"
#include "platform/profile.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

struct PageRow {
  int page;  // the tab page that holds the row
  const char* field;
  const char* browse;
  const char* open;
  const char* title;
  const char* section;
};

const PageRow page_rows[] = {
    {0, "convert_output_folder_field", "convert_browse_button", "convert_open_folder_button", "新媒体保存位置",
     "批量转换视频"},
    {1, "merge_output_folder_field", "merge_browse_button", "merge_open_folder_button", "新视频保存位置", "批量合并视频"},
    {2, "edit_output_folder_field", "edit_browse_button", "edit_open_folder_button", "新视频保存位置", "批量剪辑视频"},
};

// Shows the page (a hidden page's buttons take no clicks).
void show_page(int page) { gui().set_selected_index(main_control("job_tabs"), page); }

std::string stored_folder(const MainWindowRunFolder& run, const char* section) {
  return read_profile_text(run.config(), section, "保存位置", "(missing)");
}

// Removes every opener a test registered, also when it fails.
struct RegisteredOpeners {
  ~RegisteredOpeners() {
    for (ProgramDialog d : {ProgramDialog::custom_command, ProgramDialog::m3u8_batch_copy,
                            ProgramDialog::picture_position, ProgramDialog::crop_region,
                            ProgramDialog::mosaic_region})
      set_dialog_opener(d, {});
  }
};

TEST(OutputFolders, AChosenFolderGoesIntoTheFieldAndAtOnceIntoThePagesSettings) {
  for (const PageRow& row : page_rows) {
    SCOPED_TRACE(row.browse);
    HeadlessGui g;
    MainWindowRunFolder run;
    open_main_window_in(run.path());
    show_page(row.page);
    const std::string before = gui().text(main_control(row.field));
    const std::string chosen = run.path() + "/我的 输出";
    create_folders(chosen);
    g.services.answer_folder(chosen);
    EXPECT_TRUE(gui().input_click(main_control(row.browse)));

    const auto requests = g.services.folder_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].title, row.title);
    EXPECT_EQ(requests[0].initial_folder, before);
    EXPECT_FALSE(requests[0].owner);  // the main window stays usable
    EXPECT_EQ(gui().text(main_control(row.field)), chosen);
    EXPECT_EQ(stored_folder(run, row.section), chosen);
    // Only the page's own section is written.
    for (const PageRow& other : page_rows)
      if (&other != &row) {
        EXPECT_EQ(stored_folder(run, other.section), "(missing)") << other.section;
      }
  }
}

TEST(OutputFolders, ACancelledChooserChangesNothingButTheConvertPageStillSelectsTheChosenFolder) {
  for (const PageRow& row : page_rows) {
    SCOPED_TRACE(row.browse);
    HeadlessGui g;
    MainWindowRunFolder run;
    run.write_config("[批量转换视频]\r\n保存方式=a\r\n");
    open_main_window_in(run.path());
    ASSERT_TRUE(gui().checked(main_control("convert_save_beside_source_radio")));
    show_page(row.page);
    gui().set_text(main_control(row.field), "/typed but not saved");
    const std::string config_before = test_env::read_file(run.config());

    EXPECT_TRUE(gui().input_click(main_control(row.browse)));  // cancelled
    EXPECT_EQ(g.services.folder_requests().size(), 1u);
    EXPECT_EQ(gui().text(main_control(row.field)), "/typed but not saved");
    EXPECT_EQ(test_env::read_file(run.config()), config_before);
    const bool convert = std::string(row.browse) == "convert_browse_button";
    EXPECT_EQ(gui().checked(main_control("convert_save_to_folder_radio")), convert);
    EXPECT_EQ(gui().checked(main_control("convert_save_beside_source_radio")), !convert);
  }
}

TEST(OutputFolders, OpenFolderShowsOnlyAnExistingLocalFolder) {
  HeadlessGui g;
  MainWindowRunFolder run;
  open_main_window_in(run.path());
  const std::string folder = run.path() + "/新媒体 2";
  create_folders(folder);
  create_folders(run.path() + "/relative");
  test_env::write_file(run.path() + "/clip.mp4", "x");
  struct Case {
    std::string text;
    std::string opened;  // "" : nothing is handed to the shell
  };
  const Case cases[] = {
      {folder, folder},
      {"relative", run.path() + "/relative"},  // the run folder is the current folder
      {run.path() + "/missing", ""},
      {run.path() + "/clip.mp4", ""},  // a file would be opened by its program
      {"https://example.org/", ""},
      {"--help", ""},
      {"", ""},
  };
  for (const PageRow& row : page_rows) {
    show_page(row.page);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(row.open) + " " + c.text);
      g.services.clear_records();
      gui().set_text(main_control(row.field), c.text);
      EXPECT_TRUE(gui().input_click(main_control(row.open)));
      EXPECT_EQ(g.services.opened(), c.opened.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.opened});
      EXPECT_TRUE(g.services.messages().empty());
    }
  }
}

TEST(DialogOpeners, TheButtonsRunTheRegisteredOpenersAndAreInertWithoutThem) {
  HeadlessGui g;
  MainWindowRunFolder run;
  RegisteredOpeners cleanup;
  open_main_window_in(run.path());
  const std::pair<const char*, ProgramDialog> buttons[] = {
      {"custom_command_edit_button", ProgramDialog::custom_command},
      {"convert_add_m3u8_button", ProgramDialog::m3u8_batch_copy},
      {"crop_region_button", ProgramDialog::crop_region},
      {"delogo_region_button", ProgramDialog::mosaic_region},
  };
  for (const auto& [button, dialog] : buttons) {
    SCOPED_TRACE(button);
    show_page(dialog == ProgramDialog::m3u8_batch_copy ? 0 : 2);
    gui().set_enabled(main_control(button), true);  // the custom command box enables its button
    EXPECT_FALSE(has_dialog_opener(dialog));
    EXPECT_TRUE(gui().input_click(main_control(button)));  // nothing registered: nothing happens
    EXPECT_TRUE(g.services.messages().empty());

    int opened = 0;
    set_dialog_opener(dialog, [&] { ++opened; });
    EXPECT_TRUE(gui().input_click(main_control(button)));
    EXPECT_EQ(opened, 1);
    set_dialog_opener(dialog, {});
    EXPECT_TRUE(gui().input_click(main_control(button)));
    EXPECT_EQ(opened, 1);
  }
}

TEST(DialogOpeners, ThePicturePositionEditorOpensOnlyForAReadableWatermarkPicture) {
  HeadlessGui g;
  MainWindowRunFolder run;
  RegisteredOpeners cleanup;
  open_main_window_in(run.path());
  const std::string png = run.path() + "/水印 图.png";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=200x80", "-frames:v", "1", png}));
  test_env::write_file(run.path() + "/notes.txt", "not a picture");
  test_env::write_file(run.path() + "/names_a_picture.txt", png);

  int opened = 0;
  std::pair<int, int> size_at_opening;
  set_dialog_opener(ProgramDialog::picture_position, [&] {
    ++opened;
    size_at_opening = {watermark_picture_width, watermark_picture_height};
  });
  show_page(2);
  gui().set_enabled(main_control("watermark_position_button"), true);  // as the watermark box does

  struct Case {
    std::string picture;
    const char* message;  // nullptr: the editor opens
  };
  const Case cases[] = {
      {"", "请先选择一张水印图片！"},
      {run.path() + "/missing.png", "请先选择一张水印图片！"},
      {run.path() + "/notes.txt", "请重新选择一张有效的图片。"},
      {run.path() + "/names_a_picture.txt", "请重新选择一张有效的图片。"},
      {run.path(), "请重新选择一张有效的图片。"},  // a folder
      {png, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    g.services.clear_records();
    opened = 0;
    watermark_picture_width = -1;
    watermark_picture_height = -1;
    gui().set_text(main_control("watermark_picture_field"), c.picture);
    EXPECT_TRUE(gui().input_click(main_control("watermark_position_button")));
    const auto messages = g.services.messages();
    if (c.message) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].title, "温馨提示：");
      EXPECT_EQ(messages[0].text, c.message);
      EXPECT_EQ(messages[0].buttons, MessageButtons::ok);
      EXPECT_EQ(opened, 0);
    } else {
      EXPECT_TRUE(messages.empty());
      EXPECT_EQ(opened, 1);
      EXPECT_EQ(size_at_opening, std::make_pair(200, 80));
    }
  }
  // A readable picture without a registered editor: measured, nothing opens, no message.
  set_dialog_opener(ProgramDialog::picture_position, {});
  g.services.clear_records();
  watermark_picture_width = 0;
  EXPECT_TRUE(gui().input_click(main_control("watermark_position_button")));
  EXPECT_EQ(watermark_picture_width, 200);
  EXPECT_TRUE(g.services.messages().empty());
}

}  // namespace
