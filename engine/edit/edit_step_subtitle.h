#pragma once
// The edit step that runs a line of text across the bottom of the picture
// (subtitle_check), drawn with the chosen font, size, colour and shadow, a gap above the
// bottom edge, and a speed of V pixels a frame:
//
//   -vf "drawtext=fontfile=FONT: textfile=TEXT: expansion=none: y=h-line_h-BOTTOM:X
//        :fontsize=SIZE:fontcolor=#RRGGBB:shadowy=SHADOW"
//
// X runs the text to the left ("向左" exactly: it enters at the right edge),
//   x=(w-mod(V*n\,w+tw))
// and to the right for any other direction (it enters at the left edge),
//   x=(mod(V*n\,w+tw)-tw)
//
// The subtitle text is written, as typed, into a UTF-8 file of the work folder, which
// the converter reads with expansion off: quotes, colons, backslashes, percent signs and
// any script are drawn as they are and never reach the command line. The gap, the size
// (positive), the shadow (a whole number) and V reach the command only when they are
// numbers as typed; otherwise the step is passed over after its "before" status.
//
// The font is the one selected in subtitle_font_combo, which the start of the job has
// copied next to the converter, so it is named by its bare file name (the converter
// runs in that folder). With no font selected the first font of the list is used from
// the fonts folder; with no font at all the step is passed over. A font that lacks a
// character of the text (the first font of the list, selected when the remembered font
// is not installed, may have no Chinese at all) would draw boxes in its place: the text
// is then drawn with an installed font that has every character of it, as fontconfig
// chooses one, named by its full path. Names are escaped for the filter syntax; a name
// that cannot stay inside the command's quotes passes the step over too.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/edit/edit_job_state.h"

// The name of the subtitle's text file in the work folder.
inline constexpr const char* subtitle_text_file_name = "subtitle.txt";

// `value` written as one option value of a filter inside a "-vf" argument: every
// character other than ASCII letters, digits, ".", "_", "-", "/" and non-ASCII bytes is
// escaped for both levels of the filter syntax (the option and the filter graph).
// Nothing when `value` holds a double quote or a control character, which no escape
// keeps inside the command's quotes.
std::optional<std::string> filter_option_value_text(const std::string& value);

// The horizontal position X for the direction combo's text and the speed V.
std::string subtitle_position_text(const std::string& direction, const std::string& speed);

// What the subtitle filter is made of, as read from the page.
struct SubtitleFilterValues {
  std::string font;       // the font file as the converter finds it
  std::string text_file;  // the text file as the converter finds it
  std::string direction;  // the direction combo's text
  std::string speed;      // V
  std::string bottom;     // the gap to the bottom edge, pixels
  std::string size;       // the font size
  std::string shadow;     // the shadow's vertical offset, pixels
  std::uint32_t colour = 0;  // the colour picker's value (red in the lowest byte)
};

// The drawtext filter; nothing when a number is no number of its kind or a name cannot
// be written into it.
std::optional<std::string> subtitle_filter_text(const SubtitleFilterValues& values);

// The font file the step draws the UTF-8 text `text` with, as the converter finds it:
// the bare name of the selected font, or the first font of the list in the fonts folder
// when none is selected; when that font lacks a character of the text, the installed
// font that has them all (when there is one); "" when there is no font.
std::string subtitle_font_for_drawing(const EditPage& page, const std::string& text);

void run_scrolling_subtitle_step(EditVideoState& state, const EditPage& page);
