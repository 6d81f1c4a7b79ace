#include "engine/common/globals.h"

#include <gtest/gtest.h>

#include <thread>

TEST(SharedText, ReadersSeeWholeValuesWhileAnotherThreadWrites) {
  SharedText text;
  text.set(" -threads 4");
  std::thread writer([&] {
    for (int i = 0; i < 1000; ++i) text.set(i % 2 ? " -threads 4" : " -hwaccel auto");
  });
  for (int i = 0; i < 1000; ++i) {
    const auto v = text.get();
    EXPECT_TRUE(v == " -threads 4" || v == " -hwaccel auto") << v;
  }
  writer.join();
}

TEST(EngineGlobals, ReleaseEmptiesEveryTextAndListAndResetsThePairs) {
  run_folder.set("/tmp/run");
  config_file_path.set("/tmp/run/data/qfconfig.ini");
  font_file_names.append("a.ttf");
  font_file_names.append("b.ttf");
  EXPECT_EQ(font_file_names.at(1), "b.ttf");
  EXPECT_EQ(font_file_names.at(2), "");
  regex_matches.set({"http://a/b.m3u8"});
  preview_mouse_pos.set({3, 4});
  overlay_grab_offset.set({5, 6});
  release_engine_globals();
  EXPECT_EQ(run_folder.get(), "");
  EXPECT_EQ(config_file_path.get(), "");
  EXPECT_EQ(font_file_names.size(), 0u);
  EXPECT_TRUE(regex_matches.get().empty());
  EXPECT_EQ(preview_mouse_pos.get(), (IntPair{0, 0}));
  EXPECT_EQ(overlay_grab_offset.get(), (IntPair{0, 0}));
}
