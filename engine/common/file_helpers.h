#pragma once
// Path and file helpers shared by the workers, the job lists, the choosers and the
// region editors. Paths use "/" only; a folder path may or may not end in "/", and
// each helper says whether its result does. Nothing here shows a message: failures
// come back as results and the caller decides.
//
// Links: `is_directory` and `ensure_directory` accept a link to a folder as a folder.
// The folder walks (`list_subfolders`, `has_subfolder`) never go through a link to a
// folder, neither listing it nor descending into it, so a link loop cannot make a
// scan endless and a scan never leaves the tree it was given.

#include <cstdint>
#include <string>
#include <vector>

// The extensions that make a file a video, in the order they are tried.
inline constexpr const char* video_extension_list = ".mp4,.flv,.mov,.mkv,.wmv,.ts,.avi";

// Creates `path` and every missing folder above it; true when it is a folder
// afterwards, also when it already was one.
bool ensure_directory(const std::string& path);

// The path up to and including its last "/"; empty when it holds none.
std::string parent_folder(const std::string& path);

// The extension of the last path part, from its last "." to the end ("" when it has
// no dot, or a blank follows the last dot).
std::string file_extension(const std::string& path);

// The file name of `path`: what follows its last "/" (the only separator; "\" and ":"
// are ordinary name characters), "" when the path ends in "/". Without
// `with_extension` the extension as `file_extension` gives it (the last "." and what
// follows, unless a blank follows that dot) is dropped.
std::string file_name_from_path(const std::string& path, bool with_extension = false);

// True when the extension, with ASCII letters lower-cased, is one of the video
// extensions.
bool is_video_file(const std::string& path);

// Appends the subfolders below `folder` to `list`, each a full path without a
// trailing "/": first the direct subfolders in the order the file system gives them,
// then, for each of those in turn, everything below it, built the same way. Folders
// whose names begin with "." are left out together with everything below them;
// `list` is never cleared. Processes pending events after each entry. Returns the
// number of folders appended (0 when the folder cannot be read).
int list_subfolders(const std::string& folder, std::vector<std::string>& list);

// True when `folder` directly holds at least one folder (one whose name begins with
// "." counts).
bool has_subfolder(const std::string& folder);

// Copies the file `source` to `destination`. With `fail_if_exists` an existing
// destination is left untouched and the result is false; without it the destination
// is overwritten. True when the copy was made.
bool copy_file(const std::string& source, const std::string& destination, bool fail_if_exists);

// Moves every file directly inside `folder` to the trash, one after the other (a
// failure does not stop the rest); subfolders and their contents stay. Does nothing
// when `is_valid_folder_path` refuses the folder, when it is no folder, or when its
// real location (links resolved) is refused.
void clear_folder_files(const std::string& folder);

// True for an absolute path that does not name the root folder, after doubled
// separators are collapsed and "." and ".." parts resolved ("//" and "/tmp/.." are
// refused).
bool is_valid_folder_path(const std::string& path);

// True when `path` is a folder (or a link to one).
bool is_directory(const std::string& path);

// Clears `list` and fills it with folder + "/" + name for each entry directly inside
// `folder` that is not a folder (nor a link to one) and whose name matches the
// wildcard `pattern` ("*.*" for all), in the order the file system gives them.
// Processes pending events after each file. Returns the number of files listed.
int enumerate_files(const std::string& folder, const std::string& pattern, std::vector<std::string>& list);

// Processes the calling thread's pending events (only the UI thread has any).
void pump_messages();

// Moves the file or folder at `path` to the user's trash; true when it went there.
bool delete_file_via_shell(const std::string& path);

// What `get_file_size` answers when there is no file: the size query's failure value
// taken as a size. Callers test that the file exists as well.
inline constexpr std::int64_t file_size_query_failed = 4294967295;

// The length in bytes of the file at `path` (the full 64-bit length, also for a
// sparse file), or `file_size_query_failed` when nothing exists there.
std::int64_t get_file_size(const std::string& path);

// Deletes the file at `path` (a link itself, never its target; never a folder). A
// missing file is no error for any caller; true when a file was deleted.
bool delete_file(const std::string& path);
