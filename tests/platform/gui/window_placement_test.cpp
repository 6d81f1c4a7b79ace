// Where windows open: an owned window that is not modal beside its owner (right where
// the screen has room, else left), fully on the screen; a modal one on its owner's
// middle; one without owner on the screen's middle.

#include "platform/gui/window_placement.h"

#include <gtest/gtest.h>

namespace {

struct BesideCase {
  const char* what;
  GuiRect owner;
  GuiRect screen;
  GuiPoint expected;
};

// An editor of 950 x 650 beside a main window of 1020 x 645.
constexpr int width = 950;
constexpr int height = 650;

class BesideOwner : public ::testing::TestWithParam<BesideCase> {};

TEST_P(BesideOwner, OpensBesideItFullyOnTheScreen) {
  const BesideCase& c = GetParam();
  const GuiPoint at = window_beside_owner(c.owner, width, height, c.screen);
  EXPECT_EQ(at, c.expected) << c.what << ": " << at.x << "," << at.y;
  EXPECT_GE(at.x, c.screen.x) << c.what;
  EXPECT_GE(at.y, c.screen.y) << c.what;
  EXPECT_LE(at.x + width, c.screen.x + c.screen.width) << c.what;
  EXPECT_LE(at.y + height, c.screen.y + c.screen.height) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Places, BesideOwner,
    ::testing::Values(
        BesideCase{"room on the right", {0, 100, 1020, 645}, {0, 0, 2560, 1440}, {1020, 100}},
        BesideCase{"exactly enough room on the right", {0, 100, 1020, 645}, {0, 0, 1970, 1080}, {1020, 100}},
        BesideCase{"room on the left only", {1540, 100, 1020, 645}, {0, 0, 2560, 1440}, {590, 100}},
        BesideCase{"room on neither side: the left, pushed onto the screen", {449, 277, 1020, 645},
                   {0, 0, 1920, 1200}, {0, 277}},
        BesideCase{"a main window low on the screen: the editor moves up", {0, 900, 1020, 645}, {0, 0, 2560, 1440},
                   {1020, 790}},
        BesideCase{"a main window partly above the screen", {0, -50, 1020, 645}, {0, 0, 2560, 1440}, {1020, 0}},
        BesideCase{"a usable area that starts below a panel and on a second screen", {1920, 0, 1020, 645},
                   {1920, 32, 2560, 1408}, {2940, 32}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(WindowPlacement, AWindowLargerThanTheScreenKeepsItsTopLeftCornerOnIt) {
  EXPECT_EQ(window_beside_owner({100, 100, 400, 300}, 2000, 1500, {0, 0, 1280, 1024}), (GuiPoint{0, 0}));
}

TEST(WindowPlacement, ModalWindowsOnTheOwnersMiddleAndWindowsWithoutOwnerOnTheScreens) {
  const GuiRect screen{0, 0, 1920, 1200};
  const GuiRect owner{0, 100, 1020, 645};
  WindowState editor;
  editor.owner = WindowToken{1};
  EXPECT_EQ(window_opening_position(editor, owner, width, height, {0, 0, 2560, 1440}), (GuiPoint{1020, 100}));
  WindowState modal = editor;
  modal.modal = true;
  EXPECT_EQ(window_opening_position(modal, owner, 400, 200, screen), (GuiPoint{310, 322}));
  EXPECT_EQ(window_opening_position(WindowState{}, std::nullopt, 1020, 645, screen), (GuiPoint{450, 277}));
}

}  // namespace
