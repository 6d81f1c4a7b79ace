#include "ui/edit_file_choosers.h"

#include <string>

#include "engine/common/file_helpers.h"
#include "engine/common/text_encoding.h"
#include "engine/window/file_dialogs.h"
#include "engine/window/main_window_token.h"
#include "ui/edit_settings.h"
#include "ui/main_window.h"

namespace {

void choose_file_into_field(OpenFileDialog& dialog, const char* field_role) {
  const ControlRef field = main_control(field_role);
  const std::string current = gui().text(field);
  if (!current.empty()) dialog.initial_folder = parent_folder(current);
  const std::string chosen = show_open_file_dialog(dialog, main_window());
  if (!chosen.empty()) gui().set_text(field, chosen);
  save_edit_settings();
}

}  // namespace

void on_choose_audio_file_clicked() { choose_file_into_field(audio_file_dialog, "audio_file_field"); }

void on_choose_watermark_picture_clicked() {
  choose_file_into_field(picture_file_dialog, "watermark_picture_field");
}

void on_choose_top_picture_clicked() { choose_file_into_field(picture_file_dialog, "top_picture_field"); }

void on_choose_bottom_picture_clicked() { choose_file_into_field(picture_file_dialog, "bottom_picture_field"); }

void on_choose_background_picture_clicked() {
  choose_file_into_field(picture_file_dialog, "background_picture_field");
}

void on_reverse_subtitle_clicked() {
  const ControlRef field = main_control("subtitle_text_field");
  const std::string text = gui().text(field);
  if (text.empty()) return;
  gui().set_text(field, reverse_text(text));
}

void bind_edit_file_chooser_handlers(WindowToken window) {
  const struct {
    const char* role;
    void (*handler)();
  } buttons[] = {
      {"choose_audio_file_button", on_choose_audio_file_clicked},
      {"choose_watermark_picture_button", on_choose_watermark_picture_clicked},
      {"choose_top_picture_button", on_choose_top_picture_clicked},
      {"choose_bottom_picture_button", on_choose_bottom_picture_clicked},
      {"choose_background_picture_button", on_choose_background_picture_clicked},
      {"reverse_subtitle_button", on_reverse_subtitle_clicked},
  };
  for (const auto& button : buttons) {
    auto handler = button.handler;
    gui().bind({window, button.role}, EventKind::clicked, [handler](const GuiEvent&) { handler(); });
  }
}
