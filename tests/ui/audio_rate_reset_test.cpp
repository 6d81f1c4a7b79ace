// The sample rate step's reset of its field in the real main window: the field keeps
// "48", and the next save of the edit settings (here an option click) stores it.

#include <gtest/gtest.h>

#include "engine/edit/edit_job_state.h"
#include "engine/edit/edit_step_sample_rate.h"
#include "tests/ui/settings_test_support.h"

TEST(AudioRateReset, TheResetFieldIsKeptAndTheNextSaveStoresIt) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(2);
  EXPECT_TRUE(gui().input_click(control("audio_rate_check")));
  EXPECT_TRUE(gui().input_text(control("audio_rate_field"), "0"));
  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  ASSERT_EQ(stored(run, "y35"), "0");

  // A video whose work file is missing: the command fails, the reset stays.
  EditVideoState video = make_edit_video_state(1, 0, run.path() + "/missing.mp4", "00:00:02", edit_work_folder());
  run_audio_sample_rate_step(video, EditPage(main_window()));
  EXPECT_EQ(gui().text(control("audio_rate_field")), "48");
  EXPECT_EQ(stored(run, "y35"), "0");  // typed values wait for the next save

  EXPECT_TRUE(gui().input_click(control("sharpen_check")));
  EXPECT_EQ(stored(run, "y35"), "48");
}
