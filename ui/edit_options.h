#pragma once
// The edit page's option boxes, the two global converter options above the page tabs,
// and what a change of any of them does: the value controls a box enables, the hint a
// box shows when it is switched on, `FfmpegGlobalOptions`, the "开始剪辑" button's
// enabled state, and the save of the page's settings.
//
// Every option handler ends in `refresh_edit_options`, which applies all of these at
// once from the controls' present states (so the order of clicks never matters) and
// saves the page (ui/edit_settings.h). A hint shows as a balloon at the mouse cursor
// only when its box is checked after the click; the frame-rate hint shows whenever its
// field gets the focus.

#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gui.h"

// The hint of a control (its lines joined by CR LF); "" for a control without one.
std::string edit_option_hint(const std::string& role);

// The thread count of a field's text: a whole number from 1 to 999 written in ASCII
// digits (blanks around it allowed); nothing for any other text, so that no typed or
// stored text can reach a converter command as anything but a count.
std::optional<int> thread_count_from_text(const std::string& text);

// `FfmpegGlobalOptions`: " -threads N" when multi-threading is on and the field holds a
// valid count (else nothing for it), then " -hwaccel auto" when GPU decoding is on;
// empty when neither applies.
std::string build_ffmpeg_global_options(bool multithread, const std::string& thread_count_text, bool gpu_decode);

// The 30 option boxes of which one must be checked (with a row in the edit list) for
// "开始剪辑" to be enabled; the global boxes and the merge page's transition box do not
// count.
const std::vector<std::string>& edit_start_option_boxes();

// Applies the option rules to the main window: each box enables its value controls
// (the background position fields only while the position combo does not show "居中",
// the compression slider only while the mode combo shows "模式一"), sets
// `ffmpeg_global_options`, enables the transition combo exactly while the merge page's
// transition box is checked, enables "开始剪辑" by the rule above, and saves the edit
// settings. UI thread.
void refresh_edit_options();

// Binds every option handler of the edit page and the two global boxes, and installs
// refresh_edit_options to follow every change of the edit list (ui/list_counts.h) and
// the settings load (ui/edit_settings.h).
void bind_edit_option_handlers(WindowToken window);

// The option handlers (UI thread). A box's click handler shows its hint when it has one
// and the box is now checked, then applies the options; checking one rotation unchecks
// the other. The frame-rate field's focus shows its hint; a choice in the background
// position or compression mode combo applies the options; a click on "在选项后执行"
// shows its hint and applies nothing (the choice is saved with the next save).
void on_head_trim_option_clicked();
void on_tail_trim_option_clicked();
void on_frame_rate_option_clicked();
void on_frame_rate_box_got_focus();
void on_sharpen_option_clicked();
void on_decolour_option_clicked();
void on_mute_option_clicked();
void on_flash_halo_option_clicked();
void on_portrait_to_landscape_option_clicked();
void on_landscape_to_portrait_option_clicked();
void on_hflip_option_clicked();
void on_vflip_option_clicked();
void on_rotate_cw_option_clicked();
void on_rotate_ccw_option_clicked();
void on_random_transition_option_clicked();
void on_fade_in_option_clicked();
void on_colour_shift_option_clicked();
void on_halo_option_clicked();
void on_speed_option_clicked();
void on_audio_rate_option_clicked();
void on_subtitle_option_clicked();
void on_merge_audio_option_clicked();
void on_remove_watermark_option_clicked();
void on_picture_watermark_option_clicked();
void on_top_bottom_pictures_option_clicked();
void on_resize_option_clicked();
void on_background_picture_option_clicked();
void on_video_position_combo_changed();
void on_crop_option_clicked();
void on_blur_border_option_clicked();
void on_custom_command_option_clicked();
void on_custom_after_option_clicked();
void on_compress_option_clicked();
void on_compress_mode_changed();
void on_threads_option_clicked();
void on_gpu_decode_option_clicked();
