// The one place where the features of the main window bind their handlers.

#include "engine/convert/convert_job.h"
#include "engine/edit/edit_job.h"
#include "engine/merge/merge_job.h"
#include "ui/converter_presence.h"
#include "ui/edit_file_choosers.h"
#include "ui/edit_options.h"
#include "ui/edit_settings.h"
#include "ui/list_adding.h"
#include "ui/list_editing.h"
#include "ui/main_window.h"
#include "ui/main_window_created.h"
#include "ui/merge_list_drag.h"
#include "ui/merge_options.h"
#include "ui/output_folders.h"
#include "ui/program_start.h"
#include "ui/subtitle_font_list.h"
#include "ui/tray_and_pages.h"

void bind_main_window_handlers(WindowToken window) {
  // One call per feature, each binding its own controls' handlers (and setting its
  // start-up task or closing save, ui/startup_tasks.h, ui/program_start.h).
  bind_main_window_created_handler(window);
  bind_start_and_shutdown_handlers(window);
  bind_tray_and_page_handlers(window);
  gui().bind({window, "convert_start_button"}, EventKind::clicked, on_convert_start_stop_clicked);
  gui().bind({window, "merge_start_button"}, EventKind::clicked, on_merge_start_stop_clicked);
  gui().bind({window, "edit_start_button"}, EventKind::clicked, on_edit_start_stop_clicked);
  bind_list_adding_handlers(window);
  bind_list_editing_handlers(window);
  bind_edit_option_handlers(window);
  bind_merge_option_handlers(window);
  bind_subtitle_font_list(window);
  bind_edit_settings(window);
  bind_converter_presence_check(window);
  bind_output_folder_and_dialog_handlers(window);
  bind_edit_file_chooser_handlers(window);
  bind_merge_list_drag_handlers(window);
}
