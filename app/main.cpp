// Program entry: a check that there is a desktop to show the windows on, the Qt window
// of the control model, then the program's own start, which opens the main window and
// runs the message loop until it is closed. Signals and a lost display end the program
// the way its own quit does.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialogs/crop_region_dialog.h"
#include "dialogs/custom_command_dialog.h"
#include "dialogs/m3u8_batch_copy_dialog.h"
#include "dialogs/mosaic_region_dialog.h"
#include "dialogs/picture_position_dialog.h"
#include "engine/converter/worker_threads.h"
#include "platform/qt/desktop_check.h"
#include "platform/qt/qt_gui.h"
#include "platform/qt/qt_program_end.h"
#include "ui/program_start.h"

int main(int argc, char** argv) {
  if (const std::string missing = missing_desktop_reason(argc, argv); !missing.empty()) {
    std::fprintf(stderr, "videotool: %s\n", missing.c_str());
    return 1;
  }
  int exit_code = 0;
  run_qt_program(argc, argv, [&exit_code](GuiModel&) {
    // The dialogs the main window's buttons open (engine/window/dialog_openers.h).
    register_crop_region_dialog_opener();
    register_mosaic_region_dialog_opener();
    register_picture_position_dialog_opener();
    register_custom_command_dialog_opener();
    register_m3u8_batch_copy_dialog_opener();
    install_program_end_handlers({.end_requested = on_exit_menu_clicked, .display_lost = end_program_without_display});
    exit_code = program_start();
    // A worker thread that outlived shutdown's bounded wait may still use the model
    // and the global state: end the process now, before anything is torn down.
    if (running_worker_threads() > 0) std::_Exit(exit_code);
  });
  return exit_code;
}
