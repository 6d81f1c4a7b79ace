// Window grabs for screenshots: a PNG of the window as it shows, with its Chinese
// texts drawn in the CJK font.

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>

#include "platform/gui/picture.h"
#include "tests/platform/gui/gui_test_window.h"
#include "tests/platform/qt/qt_test_support.h"

using QtScreenshotTest = QtGuiTest;

TEST_F(QtScreenshotTest, AWindowGrabSavesAPngWithTheChineseTextsInTheCjkFont) {
  ASSERT_TRUE(QFontDatabase::families().contains(QString::fromUtf8(cjk_font_family)))
      << "fonts-wqy-microhei is not installed";
  EXPECT_EQ(QFontInfo(QApplication::font()).family(), QString::fromUtf8(cjk_font_family));

  WindowSpec spec = sample_window_spec();
  spec.title = "栖枫视频剪辑工具 V7.0";
  const WindowToken w = open(spec);
  const ControlRef list{w, "job_list"};
  model().append_row(list, {"1", "/home/用户/视频/旅行记录.mp4", "任务完成"});
  model().append_row(list, {"2", "/home/用户/视频/毕业典礼.mkv", "正在转换"});
  model().set_value({w, "file_progress_bar"}, 60);
  model().set_text({w, "file_progress_label"}, "60 %");
  model().set_frame_colour({w, "frame_picture"}, make_colour(220, 40, 40));

  // Every Chinese character shown has a glyph in the font the label draws with.
  auto* label = dynamic_cast<QLabel*>(view().control_widget({w, "file_progress_label"}));
  ASSERT_NE(label, nullptr);
  const QFontMetrics metrics(label->font());
  for (const char32_t ch : std::u32string(U"栖枫视频剪辑工具原视频地址状态确定选项任务完成正在转换")) {
    EXPECT_TRUE(metrics.inFontUcs4(ch)) << static_cast<std::uint32_t>(ch);
  }

  const std::string path = std::string(QF_BINARY_DIR) + "/qt_view_sample.png";
  QFile::remove(QString::fromStdString(path));
  ASSERT_TRUE(save_window_png(w, path));
  const QImage saved(QString::fromStdString(path));
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(800, 600) * saved.devicePixelRatio());

  // The caption "确定" of the button is drawn: dark text pixels inside the button.
  const QImage button = view().control_widget({w, "ok_button"})->grab().toImage();
  int dark = 0;
  for (int y = 0; y < button.height(); ++y) {
    for (int x = 0; x < button.width(); ++x) dark += qGray(button.pixel(x, y)) < 100;
  }
  EXPECT_GT(dark, 20);

  EXPECT_FALSE(save_window_png(WindowToken{999999}, path));
}
