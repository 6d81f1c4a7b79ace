#pragma once
// INI settings files, read and written one key at a time.
//
// A file is lines of "[section]" headers and "key=value" pairs, UTF-8, written with
// CRLF line ends; reading also accepts LF and a leading UTF-8 byte-order mark (which a
// write keeps). A file without that mark that is not valid UTF-8 was carried over from
// the original platform in code page 936: it is read in it and a write writes it back
// in it (platform/codepage.h); no byte a user wrote is ever replaced. The rules:
// - Sections and keys are matched without regard to the case of ASCII letters (other
//   bytes must be equal); names and values are trimmed of blanks and tabs, on both
//   the file's side and the caller's.
// - The value is everything after the first "=" of the line (so it may hold "=").
// - A missing file, section or key gives the caller's default; a key present with
//   nothing after "=" gives "".
// - Only the first section of a name counts, and in it the first line of a key: later
//   duplicates are neither read nor written.
// - Lines before the first section, lines without "=", comments and blank lines are
//   kept as they are by every write.
// - Values are taken literally: quotes around a value are part of it.
//
// A write reads the file, replaces the value of the key's line in place (keeping the
// line's key spelling), or adds "key=value" after the last line of the section, or adds
// the section with the key at the end of the file, and puts the result in place
// atomically (a temporary file in the same folder, then a rename), so a reader sees
// either the old file or the new one. Writes of the whole process are serialised, so
// threads writing different keys of one file lose nothing. A file that is a symbolic
// link is written through to its target; the link stays.

#include <string>
#include <utility>
#include <vector>

// The value of `key` in `section` of the file at `path`, or `default_value`.
std::string read_profile_text(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& default_value = "");

// Sets `key` in `section` of the file at `path` to `value`, creating the file (not its
// folder), the section or the key when missing. Refused (false, the file unchanged)
// when the section or key is empty, any of the three holds a line break or a zero byte,
// the key holds "=" or starts with "[", the section holds "]", or the file exists but
// cannot be read or replaced.
bool write_profile_text(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

// Sets several keys of one section in one step: the same as write_profile_text for each
// pair in order, but the file is read once and put in place once, so a reader sees
// either none or all of the new values. A pair that write_profile_text would refuse is
// left out (its old value stays) and the others are written. False when a pair was left
// out, the section is refused, or the file cannot be read or replaced (then the file
// is unchanged). An empty list changes nothing and gives true.
bool write_profile_texts(const std::string& path, const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& pairs);
