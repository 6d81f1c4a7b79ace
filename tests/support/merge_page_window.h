#pragma once
// A headless `MainWindow` that holds only the controls the merge job and the progress
// display use: both lists (number, source, duration) with their list buttons, the two
// merge-all boxes (enabled, unchecked), the two other page buttons, the transition box
// (unchecked) and its combo ("随机特效" and the labels, "随机特效" selected), the title
// radios (source 1 checked), the output-count label ("0"), the output folder field,
// the format radios (MP4 checked), the start button and the hidden progress strip.

#include "platform/gui/gui.h"

namespace test_env {

WindowSpec build_merge_page_window();

}  // namespace test_env
