// The headless services record and answer from scripts; the open-file filter; the
// real shell "open" runs a program with an argument list; pictures decode.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/gui/file_filter.h"
#include "platform/shell_open.h"
#include "tests/platform/gui/gui_test_window.h"
#include "tests/support/test_env.h"

namespace {

TEST(HeadlessServices, RecordEveryRequestAndAnswerFromTheirScripts) {
  HeadlessGui g;
  HeadlessServices& s = g.services;
  const GuiServices& services = gui_services();

  // Message boxes: OK boxes answer ok and take no script; Yes/No boxes take the
  // script in order and answer no without one.
  s.answer_message(MessageAnswer::yes);
  EXPECT_EQ(show_message_box("友情提示", "正在转换视频，请勿删除！"), MessageAnswer::ok);
  EXPECT_EQ(show_message_box("友情提示：", "是否要退出软件？", MessageButtons::yes_no), MessageAnswer::yes);
  EXPECT_EQ(show_message_box("友情提示：", "是否要退出软件？", MessageButtons::yes_no), MessageAnswer::no);
  ASSERT_EQ(s.messages().size(), 3u);
  EXPECT_EQ(s.messages()[0].text, "正在转换视频，请勿删除！");

  // File dialogs.
  s.answer_open_files({"/v/a.mp4", "/v/b.mp4"});
  OpenFileRequest open{{}, "请选择要转换的视频", "视频文件|*.mp4;*.mkv|所有格式|*.*", "/v", true};
  EXPECT_EQ(services.file_dialogs->choose_open_files(open), (std::vector<std::string>{"/v/a.mp4", "/v/b.mp4"}));
  EXPECT_TRUE(services.file_dialogs->choose_open_files(open).empty());  // cancelled
  s.answer_open_files({"/v/a.mp4", "/v/b.mp4"});
  open.multi_select = false;
  EXPECT_EQ(services.file_dialogs->choose_open_files(open).size(), 1u);
  EXPECT_EQ(s.open_file_requests().front(), (OpenFileRequest{{}, "请选择要转换的视频",
                                                              "视频文件|*.mp4;*.mkv|所有格式|*.*", "/v", true}));
  s.answer_folder("/home/user/新媒体");
  EXPECT_EQ(services.file_dialogs->choose_folder({{}, "新媒体保存位置", "/tmp"}), "/home/user/新媒体");
  EXPECT_EQ(services.file_dialogs->choose_folder({{}, "新视频保存位置", ""}), "");
  EXPECT_EQ(s.folder_requests()[1].title, "新视频保存位置");
  s.answer_colour(make_colour(255, 0, 0));
  EXPECT_EQ(services.file_dialogs->choose_colour({{}, 0}), 0xFFu);
  EXPECT_FALSE(services.file_dialogs->choose_colour({{}, 0xFF}).has_value());

  // Balloon at the cursor, tray, clipboard, shell, cursor shape.
  s.set_cursor_position({640, 480});
  show_balloon_at_cursor("用Nvidia显卡解码，未必会比CPU解码更快。");
  ASSERT_EQ(s.balloons().size(), 1u);
  EXPECT_EQ(s.balloons()[0].at, (GuiPoint{640, 480}));
  const WindowToken w = gui().create_window(sample_window_spec());
  EXPECT_TRUE(services.tray->show_tray_icon({w, {}, "栖枫视频剪辑工具"}));
  EXPECT_EQ(s.tray_icon(w)->tip, "栖枫视频剪辑工具");
  gui().destroy_window(w);
  EXPECT_FALSE(s.tray_icon(w).has_value());  // the icon goes with its window
  s.set_tray_available(false);
  EXPECT_FALSE(services.tray->show_tray_icon({w, {}, "tip"}));
  services.clipboard->set_clipboard_text("http://a/b.m3u8");
  EXPECT_EQ(services.clipboard->clipboard_text(), "http://a/b.m3u8");
  services.clipboard->clear_clipboard();
  EXPECT_EQ(services.clipboard->clipboard_text(), "");
  services.shell->shell_open("/v/folder/");
  services.cursor->set_cursor_shape(CursorShape::no_drop);
  EXPECT_EQ(s.opened(), (std::vector<std::string>{"/v/folder/"}));
  EXPECT_EQ(s.cursor_shapes(), (std::vector<CursorShape>{CursorShape::no_drop}));
  s.clear_records();
  EXPECT_TRUE(s.messages().empty());
  EXPECT_TRUE(s.opened().empty());
}

TEST(HeadlessServices, AreSafeFromManyThreads) {
  HeadlessServices s;
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&s, t] {
      for (int i = 0; i < 200; ++i) {
        s.show_balloon({{}, "", std::to_string(t), {i, i}});
        s.set_clipboard_text(std::to_string(i));
        (void)s.clipboard_text();
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(s.balloons().size(), 1600u);
}

TEST(FileFilter, ParsesPairsAndMatchesWithoutLetterCase) {
  const auto filters = parse_file_filter("视频文件|*.mp4;*.wmv;*.flv;*.ts;*.mov;*.mkv;*.avi|所有格式|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].name, "视频文件");
  EXPECT_EQ(filters[0].patterns.size(), 7u);
  EXPECT_EQ(filters[1], (FileFilter{"所有格式", {"*.*"}}));
  EXPECT_TRUE(file_filter_matches(filters[0].patterns, "/v/片头.MP4"));
  EXPECT_TRUE(file_filter_matches(filters[0].patterns, "a.Mkv"));
  EXPECT_FALSE(file_filter_matches(filters[0].patterns, "a.mp4.txt"));
  EXPECT_FALSE(file_filter_matches(filters[0].patterns, "/v.mp4/readme"));  // the folder does not count
  EXPECT_TRUE(file_filter_matches(filters[1].patterns, "noextension"));
  EXPECT_EQ(parse_file_filter("图片文件| *.jpg ; ;*.png|"),
            (std::vector<FileFilter>{{"图片文件", {"*.jpg", "*.png"}}}));
  EXPECT_TRUE(parse_file_filter("").empty());
  EXPECT_EQ(parse_file_filter("only name"), (std::vector<FileFilter>{{"only name", {}}}));
}

TEST(ShellOpen, RunsTheProgramWithTheTargetAsOneArgument) {
  test_env::TempDir dir;
  // touch stands in for xdg-open: the file it creates proves that the whole target,
  // blanks, quotes and a semicolon included, arrived as one argument and no shell ran.
  const std::string target = dir / "a b \"c\"; touch x $(y).txt";
  XdgShell shell("touch");
  ASSERT_TRUE(shell.shell_open(target));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(target) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(target));
  EXPECT_FALSE(std::filesystem::exists(dir / "x"));
  EXPECT_FALSE(shell.shell_open(""));
  EXPECT_FALSE(XdgShell("/no/such/program").shell_open(target));
}

TEST(ControlPictures, KeepTheBytesAndTheDecodedPixelsWhereThereAreAny) {
  test_env::TempDir dir;
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=4x2", "-frames:v", "1", dir / "red.png"}));
  const std::string bytes = test_env::read_file(dir / "red.png");
  const GuiPicture png = picture_from_bytes(bytes);
  ASSERT_TRUE(png.decoded());
  EXPECT_EQ(png.width, 4);
  EXPECT_EQ(png.height, 2);
  EXPECT_EQ(png.rgba->size(), 4u * 2 * 4);
  EXPECT_GT((*png.rgba)[0], 240);  // red, as the converter's colour conversion gives it
  EXPECT_EQ(png.encoded->size(), bytes.size());
  const GuiPicture copy = png;  // copies share the pixels
  EXPECT_EQ(copy.rgba.get(), png.rgba.get());

  // Bytes the model cannot decode (damaged, or a GIF) stay for the view.
  const GuiPicture damaged = picture_from_bytes(bytes.substr(0, 40));
  EXPECT_FALSE(damaged.decoded());
  EXPECT_FALSE(damaged.empty());
  EXPECT_EQ(damaged.width, 0);
  EXPECT_FALSE(picture_from_bytes("GIF89a....").decoded());
  EXPECT_TRUE(picture_from_bytes("").empty());
  EXPECT_TRUE(picture_from_rgba(2, 2, {1, 2, 3}).empty());
  EXPECT_TRUE(picture_from_rgba(1, 1, {1, 2, 3, 4}).decoded());
}

}  // namespace
