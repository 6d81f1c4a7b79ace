#pragma once
// The edit page's file choosers and its subtitle reversal.
//
// Five buttons let the user pick the files that edit steps use instead of typing their
// paths: the audio file (audio_file_dialog) and the watermark, top, bottom and
// background pictures (all through picture_file_dialog, so its remembered folder moves
// between them; engine/window/file_dialogs.h). A chooser opens its dialog on the folder of the
// path its field holds (an empty field keeps the folder the dialog had), writes the
// chosen path into the field as chosen (neither its existence nor its kind is tested
// here: the edit job's start tests the files), and then saves the edit settings,
// also when the user cancelled. The buttons are enabled only while their option is on
// (ui/edit_options.h).
//
// "文字颠倒" beside the subtitle field reverses the field's characters (code points, so
// a character is never split); an empty field stays as it is. The reversed text is not
// saved here: it reaches the settings file with the next save.

#include "platform/gui/gui.h"

// UI thread. The handlers of the five chooser buttons and of the reversal button.
void on_choose_audio_file_clicked();
void on_choose_watermark_picture_clicked();
void on_choose_top_picture_clicked();
void on_choose_bottom_picture_clicked();
void on_choose_background_picture_clicked();
void on_reverse_subtitle_clicked();

void bind_edit_file_chooser_handlers(WindowToken window);
