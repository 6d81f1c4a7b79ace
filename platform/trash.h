#pragma once
// Deleting "to the recycle bin": moving a file or folder into the user's trash as the
// freedesktop.org Trash standard lays it out, so that a file manager can put it
// back.
//
// The home trash is $XDG_DATA_HOME/Trash (default ~/.local/share/Trash), with the
// moved item in files/ and a files' twin info/<name>.trashinfo that records the
// original absolute path (URL-encoded) and the deletion time. An item on another file
// system than the home trash goes to that file system's own trash at its top folder
// ($topdir/.Trash/$uid when $topdir/.Trash is a sticky folder, else $topdir/.Trash-$uid);
// when neither can be used the item is not moved and the call fails. Nothing is ever
// copied across file systems and nothing is deleted outright.

#include <string>

// Moves the file, link or folder at `path` into the trash; a link is moved as a link,
// never its target. True when it now lies in the trash; `trashed_as`, when given,
// receives its path there.
bool move_to_trash(const std::string& path, std::string* trashed_as = nullptr);
