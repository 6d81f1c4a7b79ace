#pragma once
// What the region editors do alike with the edit page's fields: at start-up they copy
// the fields into their value boxes and take the first video of the edit list; their
// "保存设置" copies the value boxes' texts back into the fields and closes the editor.
// The crop and mosaic editors first check that their marker lies within the preview
// frame; the picture-position editor hands its two values back as they stand.

#include <span>
#include <string>

#include "dialogs/region_preview.h"

// One value box and the edit-page field behind it.
struct RegionFieldLink {
  const char* value_box;
  const char* main_field;
};
// The four value boxes of the crop and mosaic editors.
using RegionFieldLinks = RegionFieldLink[4];

// Start-up: copies the edit page's fields into the value boxes (each write runs the
// box's change handler); when the edit list has rows, its first video becomes the
// editor's video and the probe timer starts.
void load_region_fields(WindowToken window, std::span<const RegionFieldLink> links);

// Copies the value boxes' texts into the edit page's fields and closes the editor.
void hand_back_region_fields(WindowToken window, std::span<const RegionFieldLink> links);

// A region in preview pixels, as exact as the values give it.
struct RegionBox {
  double x = 0, y = 0, width = 0, height = 0;
};

// True when `box` (preview pixels) lies within the stored preview frame of `state`.
bool region_within_frame(const RegionBox& box, const RegionEditorState& state);

// The region the four value boxes of `window` give, in preview pixels (each value
// times the zoom factor / 100, truncated, as the box is placed), whatever the size of
// the numbers.
RegionBox region_of_values(WindowToken window);

// "保存设置": refuses a marker `box_role` outside the window's frame with the message box
// (`title`, `message`) and keeps the editor open; otherwise hands the value boxes'
// texts back as `hand_back_region_fields` does. Both the marker and the values that
// place it are checked: a value too large for the marker's coordinates, or typed just
// now, is refused even when the marker does not show it.
void save_region_fields(WindowToken window, const char* box_role, std::span<const RegionFieldLink> links,
                        const char* title, const char* message);
