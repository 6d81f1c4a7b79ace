// The main of every test program: HOME and the XDG folders point into a temporary
// folder, so nothing a test writes (trash, settings, fonts) touches the user's files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/test_env.h"

// Leak checks (AddressSanitizer builds) ignore what fontconfig loses on its own while it
// parses its configuration files; it is no fault of this program and cannot be freed.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  test_env::TempDir home;
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_DATA_HOME", (home.path() + "/.local/share").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home.path() + "/.config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home.path() + "/.cache").c_str(), 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  return RUN_ALL_TESTS();
}
