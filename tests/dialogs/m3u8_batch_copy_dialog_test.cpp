// The m3u8 batch copy dialog on the headless control model: the clipboard polling on
// the virtual clock, filling the convert list of a headless main window, and the fill
// thread's end when the dialog closes.

#include "dialogs/m3u8_batch_copy_dialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/converter/worker_threads.h"
#include "tests/support/convert_page_window.h"

namespace {

using namespace std::chrono_literals;

class M3u8Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    main = gui().create_window(test_env::build_convert_page_window());
    gui().open_window(main);
    list = {main, "convert_list"};
    dialog = create_m3u8_batch_copy_dialog();
    gui().open_window(dialog);
  }
  void TearDown() override {
    if (gui().window_exists(dialog)) gui().destroy_window(dialog);
    EXPECT_FALSE(m3u8_fill_thread.running());
    EXPECT_TRUE(wait_for_worker_threads(10s));
  }

  ControlRef at(const char* role) const { return {dialog, role}; }
  std::string box() const { return gui().text(at("m3u8_address_box")); }
  void add_row(const std::string& number, const std::string& source, const std::string& status) {
    gui().append_row(list, {number, source, status});
  }
  // The list's rows as "number|source|status".
  std::vector<std::string> rows() const {
    std::vector<std::string> out;
    for (const ListRow& row : gui().list_rows(list)) out.push_back(row.cells[0] + "|" + row.cells[1] + "|" + row.cells[2]);
    return out;
  }
  // Clicks "确定" and runs the UI thread until the fill has closed the dialog.
  void click_ok_and_wait_for_close() {
    ASSERT_TRUE(gui().input_click(at("m3u8_ok_button")));
    ASSERT_TRUE(g.loop.wait_until([&] { return !gui().window_exists(dialog); }));
  }

  HeadlessGui g;
  WindowToken main;
  WindowToken dialog;
  ControlRef list;
};

TEST_F(M3u8Dialog, StartsAsDesigned) {
  EXPECT_EQ(gui().title(dialog), "m3u8视频地址批量复制");
  EXPECT_EQ(gui().window_size(dialog).x, 971);
  EXPECT_EQ(gui().text(at("m3u8_auto_paste_check")), "自动粘贴网址");
  EXPECT_FALSE(gui().checked(at("m3u8_auto_paste_check")));
  EXPECT_EQ(gui().text(at("m3u8_filter_duplicates_check")), "确定时过滤重复地址");
  EXPECT_TRUE(gui().checked(at("m3u8_filter_duplicates_check")));
  EXPECT_EQ(gui().text(at("m3u8_clear_button")), "清空所有网址");
  EXPECT_EQ(gui().text(at("m3u8_ok_button")), "确定");
  EXPECT_EQ(gui().geometry(at("m3u8_address_box")).width, 950);
  EXPECT_EQ(gui().timer_interval(dialog, m3u8_clipboard_timer), 0);
}

TEST_F(M3u8Dialog, AutoPasteTakesNewAddressesEvery100MsAndEmptiesTheClipboard) {
  ASSERT_TRUE(gui().input_click(at("m3u8_auto_paste_check")));
  EXPECT_EQ(gui().timer_interval(dialog, m3u8_clipboard_timer), 100);

  g.services.set_clipboard_text("<a href=\"https://s/1.m3u8\">一</a> https://s/1.mp4");
  g.loop.advance(99ms);
  EXPECT_EQ(box(), "");
  g.loop.advance(1ms);
  EXPECT_EQ(box(), "https://s/1.m3u8\r\n");
  EXPECT_EQ(g.services.clipboard_text(), "");

  // Copied again: the box holds it, nothing is added and the clipboard stays.
  g.services.set_clipboard_text("https://s/1.m3u8");
  g.loop.advance(300ms);
  EXPECT_EQ(box(), "https://s/1.m3u8\r\n");
  EXPECT_EQ(g.services.clipboard_text(), "https://s/1.m3u8");

  // Text without addresses stays on the clipboard too.
  g.services.set_clipboard_text("只是文字");
  g.loop.advance(100ms);
  EXPECT_EQ(g.services.clipboard_text(), "只是文字");

  // A line the user typed without a line end keeps its own line.
  gui().input_text(at("m3u8_address_box"), "https://s/1.m3u8\r\nhttps://s/typed.m3u8");
  g.services.set_clipboard_text("https://s/2.m3u8,https://s/3.M3U8");
  g.loop.advance(100ms);
  EXPECT_EQ(box(), "https://s/1.m3u8\r\nhttps://s/typed.m3u8\r\nhttps://s/2.m3u8\r\nhttps://s/3.M3U8\r\n");
  EXPECT_EQ(g.services.clipboard_text(), "");
  EXPECT_EQ(gui().timer_interval(dialog, m3u8_clipboard_timer), 100);

  // Turned off: the timer stops and the clipboard is left alone.
  ASSERT_TRUE(gui().input_click(at("m3u8_auto_paste_check")));
  EXPECT_EQ(gui().timer_interval(dialog, m3u8_clipboard_timer), 0);
  g.services.set_clipboard_text("https://s/4.m3u8");
  g.loop.advance(1000ms);
  EXPECT_EQ(g.services.clipboard_text(), "https://s/4.m3u8");
  EXPECT_EQ(box().find("4.m3u8"), std::string::npos);
}

TEST_F(M3u8Dialog, ClearEmptiesTheBox) {
  gui().input_text(at("m3u8_address_box"), "https://s/1.m3u8\r\n");
  ASSERT_TRUE(gui().input_click(at("m3u8_clear_button")));
  EXPECT_EQ(box(), "");
}

TEST_F(M3u8Dialog, OkWithoutALowerCaseM3u8DoesNothing) {
  add_row("1", "/v/a.mp4", "");
  gui().input_text(at("m3u8_address_box"), "HTTPS://S/1.M3U8\r\n");
  ASSERT_TRUE(gui().input_click(at("m3u8_ok_button")));
  g.loop.run_until_idle();
  EXPECT_FALSE(m3u8_fill_thread.running());
  EXPECT_TRUE(gui().window_exists(dialog));
  EXPECT_EQ(rows(), (std::vector<std::string>{"1|/v/a.mp4|"}));
  EXPECT_TRUE(g.services.messages().empty());
}

TEST_F(M3u8Dialog, OkWithTheFilterKeepsListedRowsFirstAndNumbersEveryRowAfresh) {
  add_row("7", "/v/a.mp4", "任务完成");
  add_row("3", "https://s/1.m3u8", "");
  gui().input_text(at("m3u8_address_box"), "HTTPS://S/1.M3U8\r\n\r\nhttps://s/2.m3u8\r\nhttps://s/2.m3u8?t=1\r\n/V/A.MP4");
  click_ok_and_wait_for_close();
  EXPECT_EQ(rows(), (std::vector<std::string>{"1|/v/a.mp4|", "2|https://s/1.m3u8|", "3|https://s/2.m3u8|",
                                              "4|https://s/2.m3u8?t=1|"}));
}

TEST_F(M3u8Dialog, OkWithoutTheFilterReplacesTheListByTheBoxLines) {
  add_row("1", "/v/a.mp4", "");
  ASSERT_TRUE(gui().input_click(at("m3u8_filter_duplicates_check")));
  gui().input_text(at("m3u8_address_box"), "https://s/1.m3u8\r\n\r\nhttps://s/1.m3u8\r\n");
  click_ok_and_wait_for_close();
  EXPECT_EQ(rows(), (std::vector<std::string>{"1|https://s/1.m3u8|", "2||", "3|https://s/1.m3u8|", "4||"}));
}

TEST_F(M3u8Dialog, ClosingTheDialogWaitsUntilTheFillHasWrittenEveryRow) {
  std::string many;
  const int count = 20000;
  for (int i = 0; i < count; ++i) many += "https://s/" + std::to_string(i) + ".m3u8\r\n";
  gui().input_text(at("m3u8_address_box"), many);
  ASSERT_TRUE(gui().input_click(at("m3u8_ok_button")));
  // The button stays off until the dialog has closed: a second click starts nothing.
  EXPECT_FALSE(gui().input_click(at("m3u8_ok_button")));
  gui().destroy_window(dialog);
  EXPECT_FALSE(m3u8_fill_thread.running());
  EXPECT_EQ(gui().row_count(list), count);
  std::this_thread::sleep_for(20ms);
  g.loop.run_until_idle();
  EXPECT_EQ(gui().row_count(list), count);
  EXPECT_EQ(gui().cell(list, count - 1, 0), std::to_string(count));
  EXPECT_EQ(gui().cell(list, count - 1, 1), "https://s/" + std::to_string(count - 1) + ".m3u8");
}

TEST_F(M3u8Dialog, TheTimerEndsWithTheDialog) {
  ASSERT_TRUE(gui().input_click(at("m3u8_auto_paste_check")));
  gui().input_close(dialog);
  EXPECT_FALSE(gui().window_exists(dialog));
  g.services.set_clipboard_text("https://s/1.m3u8");
  g.loop.advance(500ms);
  EXPECT_EQ(g.services.clipboard_text(), "https://s/1.m3u8");
  EXPECT_EQ(gui().row_count(list), 0);
}

TEST(M3u8DialogModal, OpensModallyAndReturnsOnceTheFillHasClosedIt) {
  HeadlessGui g;
  const WindowToken main = gui().create_window(test_env::build_convert_page_window());
  gui().open_window(main);
  bool blocked = false;
  g.loop.when_idle([&] {
    const WindowToken dialog = gui().find_window(m3u8_dialog_name);
    blocked = gui().window_state(main).blocked;
    gui().input_text({dialog, "m3u8_address_box"}, "https://s/1.m3u8\r\n");
    gui().input_click({dialog, "m3u8_ok_button"});
  });
  open_m3u8_batch_copy_dialog();
  EXPECT_TRUE(blocked);
  EXPECT_FALSE(gui().find_window(m3u8_dialog_name));
  EXPECT_EQ(gui().cell({main, "convert_list"}, 0, 1), "https://s/1.m3u8");
  EXPECT_EQ(gui().row_count({main, "convert_list"}), 1);
  EXPECT_TRUE(wait_for_worker_threads(10s));
}

}  // namespace
