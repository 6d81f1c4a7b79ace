// Program entry: the Qt window of the control model, then the program's own start,
// which opens the main window and runs the message loop until it is closed.
#include <cstdlib>

#include "dialogs/crop_region_dialog.h"
#include "dialogs/mosaic_region_dialog.h"
#include "dialogs/custom_command_dialog.h"
#include "dialogs/m3u8_batch_copy_dialog.h"
#include "dialogs/picture_position_dialog.h"
#include "engine/worker_threads.h"
#include "platform/qt/qt_gui.h"
#include "ui/program_start.h"

int main(int argc, char** argv) {
  int exit_code = 0;
  run_qt_program(argc, argv, [&exit_code](GuiModel&) {
    // The dialogs the main window's buttons open (engine/dialog_openers.h).
    register_crop_region_dialog_opener();
    register_mosaic_region_dialog_opener();
    register_picture_position_dialog_opener();
    register_custom_command_dialog_opener();
    register_m3u8_batch_copy_dialog_opener();
    exit_code = program_start();
    // A worker thread that outlived shutdown's bounded wait may still use the model
    // and the global state: end the process now, before anything is torn down.
    if (running_worker_threads() > 0) std::_Exit(exit_code);
  });
  return exit_code;
}
