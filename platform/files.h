#pragma once
// Files and folders on the local file system.
//
// Paths are UTF-8 byte strings with "/" as the only separator. No function here
// throws or shows anything; failures come back as results.
//
// Symbolic links: a query about a path (exists, is a folder, length) follows links,
// so a link to a folder is a folder and a link to a file has that file's length.
// Listing a folder reports links as links and never looks through them, so nothing
// that walks a tree on top of `list_folder_entries` can loop or leave the tree.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// True when something exists at `path` (a dangling link does not count).
bool path_exists(const std::string& path);

// True when `path` is a folder or a link to one.
bool is_folder(const std::string& path);

// Creates `path` and every missing folder above it; true when it is a folder
// afterwards (also when it already was one). A trailing "/" is allowed.
bool create_folders(const std::string& path);

// Copies the bytes of the regular file `source` to `destination`. With
// `fail_if_exists` an existing destination (even a dangling link) is never touched
// and the call fails; the check and the creation are one step (O_EXCL). Without it
// the destination is overwritten. Copying a file onto itself fails without harm; a
// copy that fails half-way removes the partial destination. The new file gets the
// source's permission bits.
bool copy_file_bytes(const std::string& source, const std::string& destination, bool fail_if_exists);

// Removes the file (or link, never its target) at `path`; folders are refused.
// True when it was removed.
bool remove_file(const std::string& path);

// The length in bytes of the file at `path` (0 for anything that is not a regular
// file, such as a folder); nothing when nothing exists there.
std::optional<std::uint64_t> file_length(const std::string& path);

// True when `path` is a regular file or a link to one.
bool is_regular_file(const std::string& path);

// True when `a` and `b` name one existing file (the same device and inode, links
// followed), however differently the two texts spell it: a link, a hard link, "..",
// a doubled "/". False when either does not exist.
bool is_same_file(const std::string& a, const std::string& b);

// What shows whether the file at `path` (links followed) changed: which file it is,
// its length and its modification and status-change times.
struct FileStamp {
  std::uint64_t device = 0, inode = 0, length = 0;
  std::int64_t modified_ns = 0, changed_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of what is at `path` now; nothing when nothing exists there. Two stamps of
// one path differ when something appeared there or went away in between, or another
// file took its place, or the file was written, unless it kept its length and both
// writes fell within one tick of the file system's clock.
std::optional<FileStamp> file_stamp(const std::string& path);

// The whole content of the regular file (or link to one) at `path`; nothing when it
// cannot be read (missing, a folder, a pipe or device, no permission). With `missing`,
// that tells whether nothing was read because nothing exists at `path` (as opposed to
// something that could not be read).
std::optional<std::string> read_file_bytes(const std::string& path, bool* missing = nullptr);

// Makes `bytes` the whole content of the file at `path` (created or replaced) through
// a temporary file beside it and a rename, so that nobody ever sees a part of the
// content nor a file cut short by a failure; the new file gets the permission bits
// `mode`. A link at `path` is replaced by the file, not written through. True when
// the file holds `bytes` afterwards; on a failure the old file stays as it was.
bool replace_file_contents(const std::string& path, std::string_view bytes, unsigned mode = 0644);

// The absolute path of what `path` names, with every link, "." and ".." resolved;
// empty when it does not exist.
std::string resolve_real_path(const std::string& path);

// One entry of a folder.
struct FolderEntry {
  std::string name;        // the name alone, no folder
  bool is_folder = false;  // a real folder (not a link to one)
  bool is_link = false;    // a symbolic link, whatever it points to
  bool link_to_folder = false;  // a symbolic link whose target is a folder
};

// The entries directly inside `folder`, without "." and "..", in the order the file
// system returns them. Empty when the folder cannot be read.
std::vector<FolderEntry> list_folder_entries(const std::string& folder);

// Wildcard match of a name as file searches do it: "*" stands for any run of
// characters, "?" for exactly one character (a whole UTF-8 sequence), every other
// character for itself with ASCII letters matched without regard to case. "*.*"
// and "*" match every name, with or without a dot.
bool name_matches_pattern(const std::string& name, const std::string& pattern);

// Removes the folder `path` with everything below it. Links inside are removed as
// links; their targets are never entered. Refuses (false, nothing removed) an empty
// or relative path, the root folder and the user's home folder, whatever spelling
// ("//", "/./", "..") names them. True when nothing exists at `path` afterwards.
bool remove_folder_tree(const std::string& path);
