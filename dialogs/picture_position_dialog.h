#pragma once
// `PicturePositionDialog`: the picture-position editor of the edit page. The user sets
// where the edit job lays the watermark picture over every video by dragging the
// picture over a real frame of a video, or by typing its left and top while the
// picture follows. The preview, the probe, the grab, the zoom and the video choice are
// the region editors' pipeline (dialogs/region_preview.h); here the preview is an
// animation box whose background is the grabbed frame and whose one object is the
// watermark picture (the overlay), drawn at the zoom.
//
// The two value boxes hold the watermark's left and top in source-video pixels; the
// overlay lies at value x zoom / 100 (truncated) in the preview. A drag keeps the
// point of the overlay that was pressed under the cursor: every tick of the drag timer
// writes the cursor position minus the grab offset, divided by the zoom, into the
// boxes, and each box's change handler moves the overlay. "换一张水印图片" replaces the
// picture: a readable one goes into the edit page's picture field at once (and the
// edit options are saved), an unreadable one is refused with a message. "保存设置"
// hands the two texts, as they stand, to the edit page's watermark_left_field and
// watermark_top_field and closes the editor; the close box hands nothing back.
//
// Closing the editor ends its probe, grab and place tasks and their converter runs;
// the editor grabs its frames into a file of its own, so it and the mosaic editor,
// both open beside the main window, never read each other's frame. The editor is not
// modal: it may be opened twice; each window has its own tasks and overlay, and the
// windows grab into the frame file one after the other.

#include "dialogs/region_preview.h"

inline constexpr const char* picture_pos_dialog_name = "PicturePositionDialog";
inline constexpr const char* picture_pos_dialog_title = "智能编辑水印位置";
inline constexpr const char* picture_pos_settings_section = "智能编辑图片";
inline constexpr const char* picture_pos_frame_file = "/bin/xp.jpg";
inline constexpr const char* overlay_template = "overlay_template";
inline constexpr const char* picture_pos_drag_timer = "picture_pos_drag_timer";
inline constexpr const char* picture_pos_choose_picture_button = "picture_pos_choose_picture_button";
inline constexpr const char* picture_pos_message_title = "温馨提示：";
inline constexpr const char* picture_pos_invalid_picture_message = "请重新选择一张有效的图片。";

// The overlay of an editor window: its id in the preview (0 before the first
// placement, and for a window that is no open editor) and whether it is being dragged
// (0 or 1); each window has its own (RegionEditorState::marker_object and
// marker_dragging). The last cursor position over the preview and the grab offset are
// preview_mouse_pos and overlay_grab_offset (engine/common/globals.h): one mouse drags
// in one window at a time. The picture's size is watermark_picture_width and
// watermark_picture_height (engine/edit/watermark_picture_size.h).
int overlay_object(WindowToken window);
int overlay_dragging(WindowToken window);

// The editor's data; each window's own state is region_editor_state(window).
const RegionEditor& picture_pos_region_editor();

// The window's description.
WindowSpec picture_position_dialog_spec();

// Creates the editor and binds its handlers (not opened).
WindowToken create_picture_position_dialog();

// UI thread. Opens the editor beside `owner` (not modal) and returns at once.
void open_picture_position_dialog(WindowToken owner);

// Registers the editor's opener for the edit page's "智能编辑图片位置" button
// (engine/window/dialog_openers.h): not modal, owned by the main window. The button measures
// the watermark picture before it asks for the opener. Call at program start.
void register_picture_position_dialog_opener();

// The place task: the overlay anew from the template, at the picture's size and the
// boxes' position at the zoom.
void place_picture_overlay(WindowToken window, RegionEditorState& state);
