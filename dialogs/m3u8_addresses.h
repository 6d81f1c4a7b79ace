#pragma once
// How the m3u8 batch copy dialog picks stream addresses out of copied text and turns
// its address box into the rows of the convert list. Plain text functions, so the
// rules can be tested without windows.
//
// Duplicates are whole lines: an address is a duplicate only when an equal line is
// already there, never because it is part of a longer address (one address with a
// query part and the same address without it are two addresses).

#include <string>
#include <vector>

// The pattern of an address in copied text (Perl syntax), compiled ignoring case.
inline constexpr const char* m3u8_address_pattern = "[a-zA-z]+://[^\\s]*";

// The m3u8 addresses found in the clipboard text `copied` that the box `box_text`
// does not hold yet, each followed by "\r\n" ("" when there is none): tabs are removed,
// every address the pattern finds is split at its commas, each piece is cut before its
// first double quote (or, when it has none, before its first ";"), and a piece is kept
// when it contains ".m3u8" in any letter case and is neither a line of the box nor
// kept already (both compared with case).
std::string collect_m3u8_addresses(const std::string& copied, const std::string& box_text);

// The sources the convert list gets from the box, in order. With `filter_duplicates`:
// the sources already listed (`listed`, column 1 of the list's rows, in order) and
// then the box's lines, leaving out empty ones and every one equal, ignoring ASCII
// letter case, to one taken before. Without: the box's lines as they are, empty ones
// included, and one more empty line when the box ends with a line end.
std::vector<std::string> m3u8_fill_sources(const std::vector<std::string>& listed, const std::string& box_text,
                                           bool filter_duplicates);
