#pragma once
// The start buttons' pictures, which the batch jobs switch while they run, and loading
// a picture of the run folder into a control picture. The paths are relative to the
// run folder (the build copies resources/ there); ui/resource_paths.h lists them with
// the program's other pictures.

#include <string>

#include "platform/gui/gui_types.h"

// 32 x 32 start-button pictures: the stop sign of a running job, and each page's idle
// picture (convert: a circular arrow, merge: a start sign, edit: a pair of scissors).
inline constexpr const char* stop_picture_path = "resources/stop.png";
inline constexpr const char* convert_idle_picture_path = "resources/circular_arrow.png";
inline constexpr const char* merge_idle_picture_path = "resources/start.png";
inline constexpr const char* edit_idle_picture_path = "resources/scissors.png";
// The mosaic editor's box: 400 x 200, white with the black text 马赛克位置.
inline constexpr const char* mosaic_box_picture_path = "resources/mosaic_box.png";

// The picture at `relative_path` under the run folder; no picture when it cannot be read.
GuiPicture load_program_picture(const std::string& relative_path);
// The same under another folder.
GuiPicture load_program_picture(const std::string& folder, const std::string& relative_path);
