#include "engine/globals.h"

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
