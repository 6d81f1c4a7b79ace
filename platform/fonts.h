#pragma once
// The fonts folder and the face names of font files.
//
// The program lists fonts the way it would list a system fonts folder: one flat folder
// of files. Linux keeps fonts in many folders, so the fonts folder is a folder of
// symbolic links, one to each font file that fontconfig knows. Its links open, copy and
// read like the font files themselves.

#include <string>
#include <utility>
#include <vector>

// The environment variable that, when set and not empty, names the fonts folder
// instead (tests point it at a folder of their own).
inline constexpr const char* fonts_folder_variable = "QF_FONTS_FOLDER";

// The fonts folder, without a trailing "/". With `fonts_folder_variable` set, the folder
// it names (a trailing "/" removed). Otherwise the folder of links
// $XDG_CACHE_HOME/videotool/fonts (~/.cache/videotool/fonts without XDG_CACHE_HOME), or a
// private temporary folder removed at exit when that one cannot be made; it is brought
// up to date with fontconfig on the first call in a process, and later calls return it
// as it is. Empty when no folder can be made.
std::string fonts_folder();

// The link names for the font files `files`, in order: each file's own name, except
// that a name already given to an earlier file gets "-2", "-3", ... put before its
// extension ("DejaVuSans.ttf", "DejaVuSans-2.ttf"), never a name given before.
// Returns pairs of (link name, file).
std::vector<std::pair<std::string, std::string>> font_link_names(const std::vector<std::string>& files);

// Makes `folder` hold exactly one link per font file that fontconfig lists (regular
// files only), named by `font_link_names` over the files in byte order of their paths.
// Links that do not belong there any more are removed; other entries are left alone.
// True when the folder exists afterwards.
bool update_font_link_folder(const std::string& folder);

// The face name of the font in the file at `path` (the first face of a collection),
// read with FreeType: the family name of the font's name table in Chinese (Microsoft
// entries for the PRC first, then Taiwan, Hong Kong, Singapore and Macao), else in US
// English, else the family name FreeType reports. Empty when the file is missing, is
// not a regular file or is no font FreeType can read.
std::string font_face_name(const std::string& path);

// True when the first face of the font in the file at `path` has a glyph for every
// character of the UTF-8 text `text` (control characters, which are not drawn, need
// none). False for a file that is missing, not a regular file or no font FreeType can
// read, and for a text that is not UTF-8.
bool font_covers_text(const std::string& path, const std::string& text);

// An installed font file whose first face has a glyph for every character of the UTF-8
// text `text`: of the outline fonts fontconfig lists, the one it ranks best for that
// text. Empty when no installed font covers it (or the text is not UTF-8).
std::string installed_font_covering_text(const std::string& text);
