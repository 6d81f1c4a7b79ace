#pragma once
// What the edit page's start button checks before an edit job starts, and the subtitle
// font copy the subtitle step needs.
//
// The checks, in order; the first that fails is shown in a box (OK, "友情提示：") and
// nothing starts:
//  1. 添加滚动字幕 on, no subtitle text: "请先输入字幕文字！" (the focus goes to the text)
//  2. 合并音频文件 on, no audio file: "请先选择一个音频文件。"
//  3.   its file missing: "请重新选择一个音频文件。"
//  4. 添加图片水印 on, no picture: "请先选择一张水印图片！可以选择gif动图或png透明图的。"
//  5.   its file missing: "请重新选择一张水印图片！可以选择gif动图或png透明图的。"
//  6. 添加上下图片水印 on, no top picture: "请先选择一张放置于视频顶端的图片！"
//  7.   no bottom picture: "请先选择一张放置于视频底端的图片！"
//  8.   top picture missing: "请重新选择一张置于顶端的图片！"
//  9.   bottom picture missing: "请重新选择一张置于底端的图片！"
// 10. 添加视频背景图片 on, no picture: "请先选择一张视频背景图！"
// 11.   its file missing: "请重新选择一张视频背景图！"
// Once check 1 has passed with the subtitle on, a subtitle size below 1 (or no number)
// becomes "35" and the selected subtitle font is copied into the converter's folder
// (an existing copy is kept); both stay even when a later check fails.

#include <optional>
#include <string>

#include "engine/edit/edit_job_state.h"

inline constexpr const char* edit_check_title = "友情提示：";
inline constexpr const char* edit_default_subtitle_size = "35";

// A refused start: the message to show and the control that gets the focus ("" to
// leave the focus alone).
struct EditStartRefusal {
  std::string message;
  std::string focus_role;
  friend bool operator==(const EditStartRefusal&, const EditStartRefusal&) = default;
};

// Runs the checks (with the subtitle size correction and the font copy); nothing when
// every check passed. Shows nothing itself.
std::optional<EditStartRefusal> run_edit_start_checks(const EditPage& page);

// True for a font file name that names a file of its own folder: not empty, not "." or
// "..", and without a "/".
bool is_plain_font_file_name(const std::string& name);

// run folder + "/bin/" + the font file behind the selected item of
// `subtitle_font_combo`; "" when no item is selected, its file name is unknown, or the
// name is not a plain file name that may be written there (it must not name a folder
// or the converter itself).
std::string subtitle_font_copy_path(const EditPage& page);

// Copies the selected subtitle font from the fonts folder to `subtitle_font_copy_path`,
// keeping a file already there. True when a copy was made.
bool copy_subtitle_font_into_bin(const EditPage& page);
