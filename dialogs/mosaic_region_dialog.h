#pragma once
// `MosaicRegionDialog`: the mosaic editor of the edit page. The user places the
// rectangle that the edit job's logo-removal step blurs away on a frame of the first
// video of the edit list: drags the mosaic box with the mouse, or types its four
// values (the box follows a typed value at once; width and height change only by
// typing). The preview, the probe, the grab, the zoom and the video choice are the
// region editors' pipeline (dialogs/region_preview.h).
//
// The values are source-video pixels in the value boxes; "保存设置" checks that the
// box lies within the frame, writes the four texts into the main window's logo-removal
// fields (delogo_left_field, delogo_top_field, delogo_width_field, delogo_height_field)
// and closes the editor; the values reach the settings file with the edit page's next
// save. Closing it otherwise leaves the edit page as it was. The editor is not modal.

#include "dialogs/region_preview.h"

inline constexpr const char* mosaic_dialog_name = "MosaicRegionDialog";
inline constexpr const char* mosaic_dialog_title = "智能编辑水印位置";
inline constexpr const char* mosaic_settings_section = "智能编辑水印";
inline constexpr const char* mosaic_frame_file = "/bin/xx.jpg";
inline constexpr const char* mosaic_box = "mosaic_box";
inline constexpr const char* mosaic_outside_frame_message = "马赛克的位置不能超过视频的区域";
inline constexpr const char* mosaic_message_title = "温馨提示：";

// The mosaic editor's data; each window's own state is region_editor_state(window).
const RegionEditor& mosaic_region_editor();

// The window's description.
WindowSpec mosaic_region_dialog_spec();

// Creates the editor and binds its handlers (not opened).
WindowToken create_mosaic_region_dialog();

// UI thread. Opens the editor beside `owner` (not modal) and returns at once.
void open_mosaic_region_dialog(WindowToken owner);

// Registers the editor's opener for the edit page's "智能编辑水印位置" button
// (engine/window/dialog_openers.h): not modal, owned by the main window. Call at program start.
void register_mosaic_region_dialog_opener();

// The place task: shows the mosaic box and sets it from the value boxes.
void place_mosaic_rect(WindowToken window, RegionEditorState& state);
