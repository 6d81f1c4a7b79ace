#pragma once
// Finding a program of the system the way a shell does, and linking to it.

#include <string>

// The first file named `name` in the folders of PATH, in their order, that is a
// regular file (or a link to one) which this program may execute; "" when there is
// none. Only absolute folders count (an empty or relative entry would depend on the
// current folder).
std::string find_program_on_path(const std::string& name);

// Makes `path` a symbolic link to `target`. A dangling link at `path` (its target
// gone) is replaced; anything else there is left alone and the call fails. True when
// `path` is the new link afterwards.
bool link_to_program(const std::string& target, const std::string& path);
