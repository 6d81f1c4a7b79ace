#pragma once
// A headless `MainWindow` that holds only the controls the edit job reads and writes:
// the page's list buttons, the custom-command row, the options group, the two other
// page buttons, the start button, `edit_list` (number, source, duration, status), the
// format radios (MP4 checked), the output folder field, the option boxes and fields of
// the start checks and of the save, and the hidden progress strip. Shared by the edit
// job's tests.

#include "platform/gui/gui.h"

namespace test_env {

WindowSpec build_edit_page_window();

}  // namespace test_env
