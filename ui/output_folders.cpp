#include "ui/output_folders.h"

#include <optional>
#include <string>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/edit/watermark_picture_size.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/file_dialogs.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "ui/main_window.h"

namespace {

struct OutputFolderRow {
  const char* field;
  const char* chooser_title;
  const char* section;
};

constexpr OutputFolderRow convert_row{"convert_output_folder_field", "新媒体保存位置", "批量转换视频"};
constexpr OutputFolderRow merge_row{"merge_output_folder_field", "新视频保存位置", "批量合并视频"};
constexpr OutputFolderRow edit_row{"edit_output_folder_field", "新视频保存位置", "批量剪辑视频"};

constexpr const char* picture_hint_title = "温馨提示：";

void browse_output_folder(const OutputFolderRow& row) {
  const ControlRef field = main_control(row.field);
  const std::string folder = choose_folder(gui().text(field), row.chooser_title);
  if (folder.empty()) return;
  gui().set_text(field, folder);
  write_profile_text(config_file_path.get(), row.section, "保存位置", gui().text(field));
}

void open_output_folder(const OutputFolderRow& row) {
  const std::string folder = gui().text(main_control(row.field));
  if (folder.empty() || !is_directory(folder)) return;
  // A relative folder lies in the current folder, the run folder; handed over as an
  // absolute path it cannot be read as an option or an address.
  gui_services().shell->shell_open(folder.front() == '/' ? folder : run_folder.get() + "/" + folder);
}

}  // namespace

void bind_output_folder_and_dialog_handlers(WindowToken window) {
  GuiModel& model = gui();
  const auto on_click = [&model, window](const char* role, void (*handler)()) {
    model.bind({window, role}, EventKind::clicked, [handler](const GuiEvent&) { handler(); });
  };
  on_click("convert_browse_button", on_convert_browse_clicked);
  on_click("merge_browse_button", on_merge_browse_clicked);
  on_click("edit_browse_button", on_edit_browse_clicked);
  on_click("convert_open_folder_button", on_convert_open_folder_clicked);
  on_click("merge_open_folder_button", on_merge_open_folder_clicked);
  on_click("edit_open_folder_button", on_edit_open_folder_clicked);
  on_click("custom_command_edit_button", on_open_custom_command_dialog_clicked);
  on_click("convert_add_m3u8_button", on_open_m3u8_dialog_clicked);
  on_click("watermark_position_button", on_open_picture_pos_dialog_clicked);
  on_click("crop_region_button", on_open_crop_dialog_clicked);
  on_click("delogo_region_button", on_open_mosaic_dialog_clicked);
}

void on_convert_browse_clicked() {
  gui().set_checked(main_control("convert_save_to_folder_radio"), true);
  gui().set_checked(main_control("convert_save_beside_source_radio"), false);
  browse_output_folder(convert_row);
}
void on_merge_browse_clicked() { browse_output_folder(merge_row); }
void on_edit_browse_clicked() { browse_output_folder(edit_row); }

void on_convert_open_folder_clicked() { open_output_folder(convert_row); }
void on_merge_open_folder_clicked() { open_output_folder(merge_row); }
void on_edit_open_folder_clicked() { open_output_folder(edit_row); }

void on_open_custom_command_dialog_clicked() { open_program_dialog(ProgramDialog::custom_command); }
void on_open_m3u8_dialog_clicked() { open_program_dialog(ProgramDialog::m3u8_batch_copy); }
void on_open_crop_dialog_clicked() { open_program_dialog(ProgramDialog::crop_region); }
void on_open_mosaic_dialog_clicked() { open_program_dialog(ProgramDialog::mosaic_region); }

void on_open_picture_pos_dialog_clicked() {
  const std::string path = gui().text(main_control("watermark_picture_field"));
  if (path.empty() || !path_exists(path)) {
    show_message_box(picture_hint_title, "请先选择一张水印图片！");
    return;
  }
  // Measured from the file's own bytes only: a text file that happens to name a
  // picture is no picture.
  if (measure_watermark_picture(read_file_bytes(path).value_or(std::string())))
    open_program_dialog(ProgramDialog::picture_position);
  else
    show_message_box(picture_hint_title, "请重新选择一张有效的图片。");
}
