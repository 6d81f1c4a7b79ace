// The open-file and folder dialogs: what they ask the dialog service and what they
// hand back.

#include "engine/window/file_dialogs.h"

#include <gtest/gtest.h>

#include "platform/gui/gui.h"

TEST(FileDialogs, OpenFilesGivesEveryChosenPathWholeAndAsksWithTheCallersValues) {
  HeadlessGui g;
  const WindowToken owner{42};
  // One path holds a ";", which a joined text could not keep apart.
  g.services.answer_open_files({"/v/a.mp4", "/v/b;c.mkv", "/v/d e.ts"});
  g.services.answer_open_files({"/v/only.mp4"});
  EXPECT_EQ(choose_open_files(owner, "添加视频", video_open_filter, "/v/"),
            (std::vector<std::string>{"/v/a.mp4", "/v/b;c.mkv", "/v/d e.ts"}));
  EXPECT_EQ(choose_open_files(owner, "添加视频", video_open_filter, "/v/"), (std::vector<std::string>{"/v/only.mp4"}));
  EXPECT_TRUE(choose_open_files(owner, "添加视频", video_open_filter, "").empty());  // cancelled
  const auto requests = g.services.open_file_requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].owner, owner);
  EXPECT_EQ(requests[0].title, "添加视频");
  EXPECT_EQ(requests[0].filter, "视频文件|*.mp4;*.wmv;*.flv;*.ts;*.mov;*.mkv;*.avi|所有格式|*.*");
  EXPECT_EQ(requests[0].initial_folder, "/v/");
  EXPECT_TRUE(requests[0].multi_select);
}

TEST(FileDialogs, FolderChooserHasNoOwnerOpensOnTheGivenFolderAndGivesEmptyOnCancel) {
  HeadlessGui g;
  g.services.answer_folder("/home/u/新媒体");
  EXPECT_EQ(choose_folder("/home/u/旧", "新媒体保存位置"), "/home/u/新媒体");
  EXPECT_EQ(choose_folder("", "新视频保存位置"), "");
  // A folder name may end in a blank here; it comes back as the dialog gave it.
  g.services.answer_folder("/home/u/剪辑 ");
  EXPECT_EQ(choose_folder("", "新视频保存位置"), "/home/u/剪辑 ");
  const auto requests = g.services.folder_requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[0].owner);
  EXPECT_EQ(requests[0].initial_folder, "/home/u/旧");
  EXPECT_EQ(requests[0].title, "新媒体保存位置");
  EXPECT_EQ(requests[1].title, "新视频保存位置");
}

TEST(FileDialogs, OneFileDialogAsksForOneFileAndRemembersOnlyAChoice) {
  HeadlessGui g;
  const WindowToken owner{7};
  OpenFileDialog dialog{picture_file_filter, "/pics/", {}};
  g.services.answer_open_files({"/pics/a b.png"});
  EXPECT_EQ(show_open_file_dialog(dialog, owner), "/pics/a b.png");
  EXPECT_EQ(show_open_file_dialog(dialog, owner), "");  // cancelled: the earlier choice stays
  EXPECT_EQ(dialog.chosen_path, "/pics/a b.png");
  EXPECT_EQ(choose_open_file(owner, "选择", audio_file_filter, ""), "");
  const auto requests = g.services.open_file_requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], (OpenFileRequest{owner, "", "图片文件|*.jpg;*.gif;*.png;*.jpeg", "/pics/", false}));
  EXPECT_EQ(requests[2], (OpenFileRequest{owner, "选择", "音频文件|*.mp3;*.wav", "", false}));
}
