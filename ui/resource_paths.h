#pragma once
// The program's pictures, as paths relative to the run folder. The build copies the
// source tree's resources/ folder there; scripts/make_pictures.py draws them.

#include <array>

#include "engine/window/program_pictures.h"

// The program icon: one icon file holding 16, 32, 48 and 64 pixel images, and the same
// images as single PNG files.
inline constexpr const char* program_icon_path = "resources/program_icon.ico";
inline constexpr std::array<const char*, 4> program_icon_png_paths = {
    "resources/program_icon_16.png", "resources/program_icon_32.png", "resources/program_icon_48.png",
    "resources/program_icon_64.png"};

// The 32 x 32 start-button pictures (stop_picture_path and the three pages' idle
// pictures) are in engine/window/program_pictures.h, where the batch jobs that switch them
// find them.

// 16 x 16 picture of the small button that reverses the subtitle text.
inline constexpr const char* reverse_text_picture_path = "resources/reverse_text.png";

// 48 x 48 pictures of the three page buttons.
inline constexpr const char* convert_page_picture_path = "resources/page_convert.png";
inline constexpr const char* merge_page_picture_path = "resources/page_merge.png";
inline constexpr const char* edit_page_picture_path = "resources/page_edit.png";

// The first-use splash's busy sign: a 300 x 300 animated GIF.
inline constexpr const char* init_splash_busy_picture_path = "resources/busy.gif";

// Every picture above, for checks and copies.
inline constexpr std::array<const char*, 15> resource_picture_paths = {
    program_icon_path,
    program_icon_png_paths[0],
    program_icon_png_paths[1],
    program_icon_png_paths[2],
    program_icon_png_paths[3],
    stop_picture_path,
    convert_idle_picture_path,
    merge_idle_picture_path,
    edit_idle_picture_path,
    reverse_text_picture_path,
    convert_page_picture_path,
    merge_page_picture_path,
    edit_page_picture_path,
    init_splash_busy_picture_path,
    mosaic_box_picture_path};
