#include "dialogs/custom_command_dialog.h"

#include "engine/edit/custom_command_file.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/main_window_token.h"

std::atomic<int> custom_commands_saved{1};

namespace {

ControlRef at(WindowToken dialog, const char* role) { return {dialog, role}; }

// Adds the example line at the very end of the box, unless the box holds it already.
// It starts a line of its own: continuing a last line without a line end would make
// one broken command of two.
void insert_template_line(WindowToken dialog, const char* line) {
  const ControlRef box = at(dialog, "command_box");
  const std::string text = gui().text(box);
  if (text.find(line) != std::string::npos) return;
  const bool new_line_first = !text.empty() && !text.ends_with("\r\n");
  gui().append_text(box, (new_line_first ? "\r\n" : "") + std::string(line) + "\r\n");
}

// Writes the box into the file. On failure says so and leaves the edits unsaved.
bool write_command_box(WindowToken dialog) {
  if (write_custom_command_file(gui().text(at(dialog, "command_box")))) {
    custom_commands_saved = 1;
    return true;
  }
  show_message_box(custom_command_message_title,
                   std::string(custom_commands_not_saved_message) + custom_command_file_path(), MessageButtons::ok,
                   dialog);
  return false;
}

}  // namespace

std::string custom_command_help_text() {
  return "命令说明：\r\n"
         "1、原视频用 [input] 表示，新视频用 [output] 表示。\r\n"
         "2、视频标题用 [title] 表示。\r\n"
         "3、在命令中，不要写ffmpeg或ffmpeg.exe，而且头尾不要含空格。\r\n"
         "\r\n"
         "命令示例：\r\n"
         "1、比如要批量改视频标题，原命令是【ffmpeg -i in.avi -metadata title=\"my title\" out.flv】，"
         "输入到本软件中的是【-i [input] -metadata title=\"[title]\" [output]】。\r\n"
         "2、比如要批量改视频的备注，原命令是【ffmpeg -i in.avi -metadata comment=\"good\" out.flv】，"
         "输入到本软件中的是【-i [input] -metadata comment=\"文字内容可以改\" [output]】。";
}

WindowSpec build_custom_command_dialog() {
  WindowSpec spec;
  spec.name = custom_command_dialog_name;
  spec.title = custom_command_dialog_title;
  spec.width = 950;
  spec.height = 600;
  spec.resizable = true;
  ControlSpec help = control_spec("command_help_box", ControlKind::edit_box, {10, 8, 930, 152},
                                  custom_command_help_text());
  help.multi_line = true;
  help.read_only = true;
  help.background_colour = make_colour(240, 240, 240);
  spec.controls.push_back(help);
  ControlSpec label =
      control_spec("command_box_label", ControlKind::label, {10, 174, 400, 20}, "一行一个命令：（按从上往下顺序执行）");
  label.transparent = true;
  spec.controls.push_back(label);
  spec.controls.push_back(control_spec("title_template_button", ControlKind::button, {460, 166, 100, 30}, "示例一"));
  spec.controls.push_back(control_spec("comment_template_button", ControlKind::button, {570, 166, 100, 30}, "示例二"));
  spec.controls.push_back(
      control_spec("command_docs_button", ControlKind::button, {680, 166, 130, 30}, "查阅更多命令"));
  spec.controls.push_back(control_spec("command_save_button", ControlKind::button, {820, 166, 120, 30}, "保存设置"));
  ControlSpec box = control_spec("command_box", ControlKind::edit_box, {10, 204, 930, 360});
  box.multi_line = true;
  box.horizontal_scroll_bar = true;
  box.vertical_scroll_bar = true;
  spec.controls.push_back(box);
  return spec;
}

WindowToken create_custom_command_dialog() {
  const WindowToken dialog = gui().create_window(build_custom_command_dialog());
  gui().bind(window_ref(dialog), EventKind::created, on_custom_command_dialog_created);
  gui().bind(at(dialog, "command_box"), EventKind::text_changed, on_command_box_changed);
  gui().bind_answer(at(dialog, "command_box"), EventKind::key_down, on_command_box_key_down);
  gui().bind(at(dialog, "title_template_button"), EventKind::clicked, on_insert_title_template_clicked);
  gui().bind(at(dialog, "comment_template_button"), EventKind::clicked, on_insert_comment_template_clicked);
  gui().bind(at(dialog, "command_docs_button"), EventKind::clicked, on_ffmpeg_docs_clicked);
  gui().bind(at(dialog, "command_save_button"), EventKind::clicked, save_custom_commands);
  gui().bind_answer(window_ref(dialog), EventKind::may_close, on_custom_command_dialog_can_close);
  gui().bind(window_ref(dialog), EventKind::resized, on_custom_command_dialog_resized);
  return dialog;
}

void open_custom_command_dialog(WindowToken owner) {
  const WindowToken dialog = create_custom_command_dialog();
  gui().run_modal(dialog, owner);
}

void register_custom_command_dialog_opener() {
  set_dialog_opener(ProgramDialog::custom_command, [] { open_custom_command_dialog(main_window()); });
}

void on_custom_command_dialog_created(const GuiEvent& event) {
  gui().set_text(at(event.target.window, "command_box"), read_custom_command_file());
  // After the load, which fired the box's change handler: loading is no edit.
  custom_commands_saved = 1;
}

void on_command_box_changed(const GuiEvent&) { custom_commands_saved = 0; }

bool on_command_box_key_down(const GuiEvent& event) {
  if (event.key != key_codes::a || event.modifiers != key_modifiers::ctrl) return false;
  gui().select_all_text(event.target);
  return true;
}

void on_insert_title_template_clicked(const GuiEvent& event) {
  insert_template_line(event.target.window, title_template_line);
}

void on_insert_comment_template_clicked(const GuiEvent& event) {
  insert_template_line(event.target.window, comment_template_line);
}

void on_ffmpeg_docs_clicked(const GuiEvent&) {
  gui_services().shell->shell_open(std::string(ffmpeg_docs_host) + ffmpeg_docs_page);
}

void save_custom_commands(const GuiEvent& event) {
  const WindowToken dialog = event.target.window;
  if (write_command_box(dialog)) gui().destroy_window(dialog);
}

bool on_custom_command_dialog_can_close(const GuiEvent& event) {
  if (custom_commands_saved != 0) return true;
  const WindowToken dialog = event.target.window;
  const MessageAnswer answer = show_message_box(custom_command_message_title, unsaved_commands_question,
                                                MessageButtons::yes_no, dialog);
  if (answer != MessageAnswer::yes) return true;
  // Yes: close only when the edits are in the file.
  return write_command_box(dialog);
}

void on_custom_command_dialog_resized(const GuiEvent& event) {
  const WindowToken dialog = event.target.window;
  const GuiRect help = gui().geometry(at(dialog, "command_help_box"));
  gui().set_size(at(dialog, "command_help_box"), event.width - 30, help.height);
  gui().set_size(at(dialog, "command_box"), event.width - 30, event.height - 240);
}
