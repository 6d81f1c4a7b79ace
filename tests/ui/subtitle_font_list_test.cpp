// The subtitle font list: filled from the fonts folder on its own thread, the
// remembered font selected, and "z1" kept as remembered until the list is there.

#include <gtest/gtest.h>

#include "engine/common/globals.h"
#include "tests/ui/settings_test_support.h"
#include "ui/startup_tasks.h"
#include "ui/subtitle_font_list.h"
#include "ui/ui_globals.h"

namespace {

// Copies of DejaVu fonts under chosen names, one face twice, and a file that is no font.
void add_fonts(const MainWindowRunFolder& run) {
  add_font(run, "DejaVuSans.ttf", "a.ttf");
  add_font(run, "DejaVuSerif.ttf", "b.ttf");
  add_font(run, "DejaVuSans-Bold.ttf", "c.ttf");
  add_font(run, "DejaVuSansMono.ttf", "mono.ttf");
  test_env::write_file(run.fonts() + "/desktop.ini", "[.ShellClassInfo]\r\n");
}

const std::vector<std::string> font_items = {"DejaVu Sans(a)", "DejaVu Serif(b)", "DejaVu Sans(c)",
                                             "DejaVu Sans Mono(mono)"};

TEST(SubtitleFontList, FillsTheComboSelectsTheRememberedFontAndKeepsItStoredMeanwhile) {
  HeadlessGui g;
  MainWindowRunFolder run;
  add_fonts(run);
  run.write_config("[批量剪辑视频]\r\nz1=DejaVu Sans Mono(mono)\r\nx16=y\r\n");
  Gate gate;
  open_main_window_in(run.path(), [&] {
    set_startup_task(StartupTask::font_list, [&] {
      gate.wait();
      fill_subtitle_font_list();
    });
  });
  // The settings load finishes first; its save and later ones keep the remembered font.
  ASSERT_TRUE(g.loop.wait_until(edit_settings_loaded));
  EXPECT_FALSE(subtitle_font_list_filled());
  EXPECT_TRUE(gui().items(control("subtitle_font_combo")).empty());
  EXPECT_EQ(stored(run, "z1"), "DejaVu Sans Mono(mono)");
  show_page(2);
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_EQ(stored(run, "x14"), "y");
  EXPECT_EQ(stored(run, "z1"), "DejaVu Sans Mono(mono)");

  gate.release();
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  EXPECT_TRUE(subtitle_font_list_filled());
  EXPECT_EQ(gui().items(control("subtitle_font_combo")), font_items);
  EXPECT_EQ(font_file_names.get(), (std::vector<std::string>{"a.ttf", "b.ttf", "c.ttf", "mono.ttf"}));
  EXPECT_EQ(gui().text(control("subtitle_font_combo")), "DejaVu Sans Mono(mono)");
  EXPECT_EQ(stored(run, "z1"), "DejaVu Sans Mono(mono)");

  // From now on the combo's choice is saved.
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_EQ(stored(run, "z1"), "DejaVu Sans Mono(mono)");
  EXPECT_TRUE(gui().input_select(control("subtitle_font_combo"), 1));
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_EQ(stored(run, "z1"), "DejaVu Serif(b)");
}

TEST(SubtitleFontList, TheRememberedFontSelectsTheFirstItemBeginningWithItElseTheFirst) {
  struct Case {
    const char* stored;  // nullptr: no "z1" (the default "黑体")
    bool fonts;
    int selected;
  };
  const Case cases[] = {
      {nullptr, true, 0},                // no font begins with 黑体
      {"dejavu serif", true, 1},         // ASCII letters without regard to case
      {"DejaVu Sans(c)", true, 2},       // a saved item text selects that very item
      {"DejaVu Sans", true, 0},          // two items begin with it: the first
      {"Gone Font(gone)", true, 0},      // no longer installed
      {"DejaVu Sans(a)", false, -1},     // no fonts at all: nothing to select
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(missing)");
    HeadlessGui g;
    MainWindowRunFolder run;
    if (c.fonts) add_fonts(run);
    if (c.stored) run.write_config(std::string("[批量剪辑视频]\r\nz1=") + c.stored + "\r\n");
    start_main_window(g, run);
    EXPECT_EQ(subtitle_font_name.get(), c.stored ? c.stored : "黑体");
    EXPECT_EQ(gui().selected_index(control("subtitle_font_combo")), c.selected);
    EXPECT_EQ(gui().items(control("subtitle_font_combo")), c.fonts ? font_items : std::vector<std::string>{});
    // Here the list was filled before the first save, which stores the selected item.
    EXPECT_EQ(stored(run, "z1"), c.selected >= 0 ? font_items[static_cast<size_t>(c.selected)] : "");
  }
}

}  // namespace
