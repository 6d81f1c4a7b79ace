#pragma once
// Selecting, deleting and clearing rows of the four job lists, the list menu, and
// playing a row.
//
// Each list has "全选" (select every row), "反选" (invert the selection), both giving
// the list the keyboard focus, a delete button and "清空表格". A right click sets
// `current_list` and pops up `list_context_menu` at the cursor: "播放原视频",
// "打开原视频文件夹", "删除已选择", "清空表格", acting on that list. A double click sets
// `current_list` and plays the first selected row. In the convert list Ctrl+A (Ctrl the
// only modifier) selects all and Delete deletes the selected rows.
//
// Deleting or clearing is refused while the list's job runs, or while its add-videos
// button is disabled, from the menu, the buttons and the Delete key alike: a message
// box (title "友情提示") says "正在转换视频，请勿删除！" (or 合并 / 剪辑, and "请勿清空！"
// for clearing) and nothing else happens. Otherwise deleting the selected rows takes
// the ids of the rows selected at that moment and deletes those rows on a thread of
// its own, wherever they stand by then; the delete button is disabled meanwhile, and a
// second deletion of the same list is not started while one runs. At the end, on the
// UI thread, the button is enabled again (unless the list's job runs) and the count
// update runs. The remaining rows keep their numbers. Clearing deletes every row and
// runs the count update.
//
// Playing: the first selected row's source (nothing without a selection or with an
// empty source). A source whose extension is exactly ".m3u8" opens the online player
// page with "/?play=" and the address appended unchanged; any other source is handed
// to the shell's "open" (xdg-open, started with an argument list). Opening the folder:
// the folder of the first selected row's source, opened only when it is an existing
// local folder (a stream address has none).

#include "ui/job_lists.h"

// The online player page that plays an m3u8 address ("/?play=" and the address follow).
inline constexpr const char* m3u8_player_page_address = "https://qifeng.example.org/m3u8player";

// Binds the buttons, the lists' mouse and key events and the list menu.
void bind_list_editing_handlers(WindowToken window);

// UI thread, any list.
void select_all_list_rows(JobList list);
void invert_list_selection(JobList list);
// Refuses, or starts the deletion thread of the list. True when a deletion started.
bool delete_selected_list_rows(JobList list);
// Refuses, or clears the list and runs its count update. True when it was cleared.
bool clear_job_list(JobList list);
// The address `play_selected_video` opens for a source.
std::string play_target(const std::string& source);

// The handlers of each list.
void select_all_convert_list_rows();
void on_merge_list1_select_all_clicked();
void on_merge_list2_select_all_clicked();
void on_edit_select_all_clicked();
void on_convert_invert_clicked();
void on_merge_list1_invert_clicked();
void on_merge_list2_invert_clicked();
void on_edit_invert_clicked();
void on_convert_delete_selected_clicked();
void on_merge_list1_delete_selected_clicked();
void on_merge_list2_delete_selected_clicked();
void on_edit_delete_selected_clicked();
void on_convert_clear_clicked();
void on_merge_list1_clear_clicked();
void on_merge_list2_clear_clicked();
void on_edit_clear_clicked();
void on_convert_list_right_clicked();
void on_merge_list1_right_clicked();
void on_merge_list2_right_clicked();
void on_edit_list_right_clicked();
void on_convert_list_double_clicked();
void on_merge_list1_double_clicked();
void on_merge_list2_double_clicked();
void on_edit_list_double_clicked();
// True when the key was handled (Ctrl+A, Delete).
bool on_convert_list_key_down(int key, int modifiers);

// The list menu's commands, acting on `current_list`.
void play_selected_video();
void on_open_source_folder_menu_clicked();
void on_delete_selected_menu_clicked();
void on_clear_list_menu_clicked();
