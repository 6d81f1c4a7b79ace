#pragma once
// What the program needs to know about the system it runs on.

#include <string>

// The kernel's name and version, e.g. "Linux 6.1.0": the system name and the leading
// dotted number of its release ("6.1.0" of "6.1.0-18-amd64"; the whole release when it
// does not start with a number). Empty when the system cannot be asked.
std::string os_version_name();

// True when the system runs a 64-bit kernel (x86_64, aarch64, ppc64, s390x, ...),
// whatever the program itself was built for.
bool is_64bit_system();
