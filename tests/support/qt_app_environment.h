#pragma once
// One QApplication per test program that includes this header (Qt allows only one
// per process). It is made when the tests start, after the shared test main has set
// HOME and the XDG folders, and goes when they end. Without a display the offscreen
// platform is used, so the tests also run outside scripts/test.sh.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <memory>

#include "platform/qt/qt_gui.h"

class QtApplicationEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    set_up_application_look();
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "qt-tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const qt_application_environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
