#pragma once
// The program's own folder and the process's current folder.

#include <string>

// The folder of the running executable (links resolved), without a trailing "/";
// empty when the system cannot tell.
std::string executable_folder();

// Makes `folder` the process's current folder; false when it cannot.
bool set_current_folder(const std::string& folder);
