#pragma once
// A headless `MainWindow` that holds only the controls the convert job and the progress
// display use: the page's list buttons and the two other page buttons, the start
// button, `convert_list` (number, source, status), the format radios (MP4 checked), the
// save-mode radios (into the folder checked), the output folder field, the delete-source
// box and the hidden progress strip. Shared by the convert job's tests and benchmark.

#include "platform/gui/gui.h"

namespace test_env {

WindowSpec build_convert_page_window();

}  // namespace test_env
