#pragma once
// Finding every match of a regular expression in a text (Perl syntax, Boost.Regex).

#include <string>

// All successive, non-overlapping matches of `pattern` in `text`, joined by
// `separator` ("" also means "\r\n"), none after the last. `first` is the 1-based
// number of the first match taken (0, or a number above the match count, means 1);
// `count` is how many are taken from there (0: all). Without `case_sensitive` the
// pattern ignores letter case. No match, or a pattern that does not compile, gives "".
// Every call replaces `regex_matches` (engine/common/globals.h) with all the matches found.
// The search does not depend on the process's locale.
std::string regex_find_all_joined(const std::string& text, const std::string& pattern, bool case_sensitive,
                                  const std::string& separator = "\r\n", int first = 0, int count = 0);
