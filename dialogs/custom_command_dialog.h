#pragma once
// `CustomCommandDialog`: the editor of the custom command file
// (engine/edit/custom_command_file.h), the user's own converter command lines that the edit
// job runs on every video.
//
// The dialog shows the whole file in `command_box`, offers two example lines (each
// added once, as a line of its own at the end of the box), opens
// the converter's documentation in the web browser, and saves the box back. It checks
// nothing of the lines: the edit job skips a line without "[input]" and "[output]".
//
// Unsaved edits: `custom_commands_saved` is 1 while the box holds no edit since it was
// loaded or saved, 0 after any change. Closing with unsaved edits asks
// "您还没保存当前设置，是否现在保存？" (Yes saves, No discards); either way the dialog
// closes. A save that cannot be written says so and keeps the dialog open with the
// edits, instead of closing as if they were saved.

#include <atomic>
#include <string>

#include "platform/gui/gui.h"

inline constexpr const char* custom_command_dialog_name = "CustomCommandDialog";
inline constexpr const char* custom_command_dialog_title = "自定义ffmpeg命令";

// The two example lines.
inline constexpr const char* title_template_line = "-i [input] -metadata title=\"[title]\" [output]";
inline constexpr const char* comment_template_line = "-i [input] -metadata comment=\"文字内容可以改\" [output]";

// The converter's documentation: its web site and the page with every option.
inline constexpr const char* ffmpeg_docs_host = "https://ffmpeg.org";
inline constexpr const char* ffmpeg_docs_page = "/ffmpeg-all.html";

inline constexpr const char* unsaved_commands_question = "您还没保存当前设置，是否现在保存？";
inline constexpr const char* custom_command_message_title = "友情提示：";
// Shown, followed by the file's path, when the file cannot be written.
inline constexpr const char* custom_commands_not_saved_message = "保存失败，无法写入文件：";

// 1 while the box holds no unsaved edit, 0 after a change.
extern std::atomic<int> custom_commands_saved;

// The help text of `command_help_box`, lines separated by "\r\n".
std::string custom_command_help_text();

// The design of the dialog's window.
WindowSpec build_custom_command_dialog();

// Builds the dialog and binds its handlers; not opened yet.
WindowToken create_custom_command_dialog();

// UI thread. Opens the dialog modally (the main window passes itself as the owner) and
// returns when it has closed.
void open_custom_command_dialog(WindowToken owner = {});

// Registers the dialog's opener for the edit page's "编辑" button
// (engine/window/dialog_openers.h): modal, owned by the main window. Called at program start.
void register_custom_command_dialog_opener();

// Handlers (UI thread; each event names the dialog).
void on_custom_command_dialog_created(const GuiEvent& event);
void on_command_box_changed(const GuiEvent& event);
bool on_command_box_key_down(const GuiEvent& event);
void on_insert_title_template_clicked(const GuiEvent& event);
void on_insert_comment_template_clicked(const GuiEvent& event);
void on_ffmpeg_docs_clicked(const GuiEvent& event);
// The save button: writes the box into the file and closes the dialog.
void save_custom_commands(const GuiEvent& event);
bool on_custom_command_dialog_can_close(const GuiEvent& event);
void on_custom_command_dialog_resized(const GuiEvent& event);
