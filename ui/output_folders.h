#pragma once
// The output-folder rows of the three pages, and the main window's buttons that open
// the dialogs (the custom command editor, the m3u8 batch-copy dialog, the
// picture-position editor, the crop editor and the mosaic editor,
// engine/window/dialog_openers.h).
//
// Each page's row has its folder field, "浏览" and "打开文件夹":
// - "浏览" opens the folder chooser on the field's folder; a chosen folder goes into
//   the field and at once into the settings file (key "保存位置" of the page's
//   section); a cancelled chooser changes nothing. On the convert page it first
//   selects "指定位置", whatever the user then does.
// - "打开文件夹" shows the field's folder in the file browser, but only when it names
//   an existing local folder; for any other text (a file, a web address, a missing
//   folder) nothing is handed to the shell, so a typed text can never open a page or
//   a file.
//
// "智能编辑图片位置" first checks the watermark picture: without one it asks the user
// to choose one, a picture that cannot be read asks for another, and only a picture
// with a size opens the editor (the size goes to watermark_picture_width and
// watermark_picture_height first).

#include "platform/gui/gui.h"

// Binds the six output-folder buttons and the four dialog buttons.
void bind_output_folder_and_dialog_handlers(WindowToken window);

void on_convert_browse_clicked();
void on_merge_browse_clicked();
void on_edit_browse_clicked();

void on_convert_open_folder_clicked();
void on_merge_open_folder_clicked();
void on_edit_open_folder_clicked();

void on_open_custom_command_dialog_clicked();
void on_open_m3u8_dialog_clicked();
void on_open_picture_pos_dialog_clicked();
void on_open_crop_dialog_clicked();
void on_open_mosaic_dialog_clicked();
