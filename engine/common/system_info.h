#pragma once
// What the program asks about the system: its name and bitness, the fonts folder, and
// the face name of a font file. Every answer is a text, empty when the system cannot
// give one; nothing here shows a message or keeps state.

#include <string>

// The kind of special folder that `special_folder_path` knows: the fonts folder.
inline constexpr int special_folder_fonts = 4;

// The system's name and version followed by its bitness: "Linux 6.1.0 x64" on a 64-bit
// system, " x86" in place of " x64" otherwise. Empty when the system cannot be asked.
// Callers only test whether it contains "x64".
std::string windows_version_name();

// The path of a special folder with a trailing "/": for `special_folder_fonts` the fonts
// folder (platform/fonts: the folder of links to the installed font files, or the
// folder that QF_FONTS_FOLDER names). Empty for any other kind and when there is no
// such folder.
std::string special_folder_path(int kind);

// The face name of the font in the file `font_path` ("" when it is no readable font).
// A path that names an existing file (a relative one looked up from the current
// folder) is read as it is. Otherwise a relative path is taken as a name inside the
// fonts folder, and `font_path` is replaced by the fonts folder followed by it, also
// when no font is found there; a missing absolute path is left as it is.
std::string font_face_name_from_file(std::string& font_path);
