// The first-use splash in the real view (Qt's offscreen platform): its busy sign plays
// as an animation, and a screenshot is saved into the build folder
// (<build>/screenshots/init-splash.png).

#include <gtest/gtest.h>

#include <QLabel>
#include <QMovie>
#include <QWidget>

#include <filesystem>
#include <set>

#include "engine/common/globals.h"
#include "platform/gui/gui.h"
#include "platform/picture.h"
#include "tests/support/qt_app_environment.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/init_splash_window.h"
#include "ui/program_start.h"

namespace {

TEST(InitSplashScreenshot, TheBusySignPlaysAndTheSplashIsSavedAsAPicture) {
  QtGui qt;
  MainWindowRunFolder run;
  const WindowToken main = open_main_window_in(run.path());
  // Opened beside the main window rather than modally, so the test keeps the loop.
  const WindowToken splash = gui().create_window(init_splash_window_spec(run_folder.get()));
  gui().open_window(splash, main);
  qt.loop.process_pending();
  QWidget* widget = qt.view.window_widget(splash);
  ASSERT_NE(widget, nullptr);

  bool playing = false;
  for (const QLabel* label : widget->findChildren<QLabel*>())
    if (label->movie() && label->movie()->state() == QMovie::Running) playing = true;
  EXPECT_TRUE(playing);

  const std::string folder = QF_BINARY_DIR "/screenshots";
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/init-splash.png";
  std::filesystem::remove(path);
  ASSERT_TRUE(save_window_png(splash, path));
  const std::optional<std::string> bytes = read_file_bytes(path);
  ASSERT_TRUE(bytes);
  const std::optional<Picture> picture = decode_picture(*bytes);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 645);
  EXPECT_EQ(picture->height, 250);
  // The text and the busy sign are drawn, not an empty surface.
  std::set<std::uint32_t> colours;
  for (std::size_t i = 0; i + 3 < picture->rgba.size(); i += 4 * 3)
    colours.insert(picture->rgba[i] | picture->rgba[i + 1] << 8 | picture->rgba[i + 2] << 16);
  EXPECT_GT(colours.size(), 10u);
  gui().destroy_window(splash);
}

}  // namespace
