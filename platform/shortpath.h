#pragma once
// Plain aliases for paths that cannot be written into a converter command as they are.
//
// The original platform handed a path with a blank to the converter in its short (8.3)
// form. Linux has no short names, so a path gets an alias instead: a symbolic link
// with a plain name in a private folder of this process. The name is a running number
// followed by the original's extension ("3.mp4"), and the folder is made with mode
// 0700 under $XDG_RUNTIME_DIR, $TMPDIR or /tmp, whichever comes first with a plain path
// (ASCII letters, digits, "/", ".", "_", "-"), so an alias holds no character that a
// command line or the converter would read differently.
//
// - An existing file or folder gets a link to itself.
// - A path where nothing exists yet, in an existing folder, gets a link to the
//   would-be file: a program that creates the alias creates the file at the real
//   path, and later reads and writes through the alias reach it.
// - Anything else gets no alias.
// Reading, writing, copying or deleting the contents through an alias act on the
// target; removing the alias path itself removes only the link.
//
// The same path asked again gets the same alias. The folder and its links are removed
// when the process exits normally (never by a child made with fork), or earlier by
// `remove_path_aliases`. All functions are thread-safe.

#include <string>

// True when `text` holds a character that changes how a command line or the converter
// reads a path: a blank, a tab or another control character, a double or single
// quote, a backslash or a percent sign.
bool path_needs_alias(const std::string& text);

// The alias of `path` (relative paths count from the current folder), or "" when none
// can be made: nothing exists there and its folder does not exist either, or no
// private folder can be made.
std::string make_path_alias(const std::string& path);

// The path an alias made here stands for (absolute); `path` itself when it is no
// alias of this process.
std::string path_behind_alias(const std::string& path);

// The private folder of this process's aliases; "" while there is none.
std::string path_alias_folder();

// Removes the private folder and every alias in it; the next alias makes a new one.
void remove_path_aliases();
