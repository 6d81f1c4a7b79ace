#pragma once
// `CropRegionDialog`: the crop editor of the edit page. The user places the rectangle
// that the edit job's crop step keeps on a frame of the first video of the edit list:
// moves the crop box with the mouse or the arrow keys, resizes it by its eight
// handles or with Shift and the arrow keys, or types its four values. The preview, the
// probe, the grab, the zoom and the video choice are the region editors' pipeline
// (dialogs/region_preview.h).
//
// The values are source-video pixels in the value boxes; "保存设置" checks that the
// box lies within the frame, writes the four texts into the main window's crop fields
// (crop_left_field, crop_top_field, crop_width_field, crop_height_field) and closes the
// editor; the values reach the settings file with the edit page's next save. Closing it
// otherwise leaves the edit page as it was.

#include <string>

#include "dialogs/region_preview.h"

inline constexpr const char* crop_dialog_name = "CropRegionDialog";
inline constexpr const char* crop_dialog_title = "智能编辑裁切区域";
inline constexpr const char* crop_settings_section = "智能编辑裁切";
inline constexpr const char* crop_frame_file = "/bin/xy.jpg";
inline constexpr const char* crop_box = "crop_box";
inline constexpr const char* crop_box_design_caption = "裁切区域（保留）";
inline constexpr const char* crop_outside_frame_message = "裁切的区域不能超过视频的区域";
inline constexpr const char* crop_message_title = "温馨提示：";

// The eight resize handles, in the order of their designer names 左上, 中中, 右上,
// 左中, 右中, 左下, 中下, 右下.
inline constexpr const char* crop_handle_top_left = "crop_handle_top_left";
inline constexpr const char* crop_handle_top = "crop_handle_top";
inline constexpr const char* crop_handle_top_right = "crop_handle_top_right";
inline constexpr const char* crop_handle_left = "crop_handle_left";
inline constexpr const char* crop_handle_right = "crop_handle_right";
inline constexpr const char* crop_handle_bottom_left = "crop_handle_bottom_left";
inline constexpr const char* crop_handle_bottom = "crop_handle_bottom";
inline constexpr const char* crop_handle_bottom_right = "crop_handle_bottom_right";

// The crop editor's data; each window's own state is region_editor_state(window).
const RegionEditor& crop_region_editor();

// The window's description.
WindowSpec crop_region_dialog_spec();

// Creates the editor and binds its handlers (not opened).
WindowToken create_crop_region_dialog();

// UI thread. Opens the editor modally over `owner` and returns when it has closed.
void open_crop_region_dialog(WindowToken owner);

// Registers the editor's opener for the edit page's "智能编辑裁切区域" button
// (engine/window/dialog_openers.h): modal over the main window. Call at program start.
void register_crop_region_dialog_opener();

// The place task: the crop box from the value boxes, and its caption.
void place_crop_rect(WindowToken window, RegionEditorState& state);

// Lays the handles out around the crop box and writes its geometry into the value
// boxes (in source pixels); nothing until the box has been pressed, or while the
// handles are laid out for the box's present geometry.
void update_crop_handles();

// The crop box's caption for source frame and crop values.
std::string crop_box_caption(const std::string& frame_width, const std::string& frame_height,
                             const std::string& width, const std::string& height, const std::string& left,
                             const std::string& top);
