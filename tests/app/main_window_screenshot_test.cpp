// The real main window in Qt's offscreen platform: it opens as the program opens it,
// and a screenshot of each page is saved into the build folder
// (<build>/screenshots/main-window-*.png).

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/gui/gui.h"
#include "platform/picture.h"
#include "tests/support/qt_app_environment.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

TEST(MainWindowScreenshot, TheRealWindowOpensAndEachPageIsSavedAsAPicture) {
  QtGui qt;
  MainWindowRunFolder run;
  const WindowToken w = open_main_window_in(run.path());
  ASSERT_TRUE(w);
  qt.loop.process_pending();
  ASSERT_NE(qt.view.window_widget(w), nullptr);

  const std::string folder = QF_BINARY_DIR "/screenshots";
  std::filesystem::create_directories(folder);
  const std::pair<const char*, const char*> pages[] = {
      {"convert_page_button", "convert"}, {"merge_page_button", "merge"}, {"edit_page_button", "edit"}};
  int page = 0;
  for (const auto& [button, name] : pages) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(gui().input_click(main_control(button)));
    EXPECT_EQ(gui().selected_index(main_control("job_tabs")), page++);
    qt.loop.process_pending();
    const std::string path = folder + "/main-window-" + name + ".png";
    std::filesystem::remove(path);
    ASSERT_TRUE(save_window_png(w, path));

    const std::optional<std::string> bytes = read_file_bytes(path);
    ASSERT_TRUE(bytes);
    const std::optional<Picture> picture = decode_picture(*bytes);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 1020);
    EXPECT_EQ(picture->height, 645);
    // Drawn controls, not an empty surface: many distinct colours.
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 3 < picture->rgba.size(); i += 4 * 7)
      colours.insert(picture->rgba[i] | picture->rgba[i + 1] << 8 | picture->rgba[i + 2] << 16);
    EXPECT_GT(colours.size(), 50u);
  }
}

}  // namespace
