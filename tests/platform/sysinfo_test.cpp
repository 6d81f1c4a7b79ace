#include "platform/sysinfo.h"

#include <gtest/gtest.h>

#include "tests/support/test_env.h"

namespace {
std::string uname_answer(const char* option) {
  auto r = test_env::run_program({"uname", option});
  while (!r.output.empty() && r.output.back() == '\n') r.output.pop_back();
  return r.output;
}
}  // namespace

TEST(Sysinfo, VersionNameIsTheKernelAndItsVersionNumber) {
  const std::string release = uname_answer("-r");  // e.g. "6.1.0-18-amd64"
  const std::string name = os_version_name();
  ASSERT_EQ(name.rfind(uname_answer("-s") + " ", 0), 0u) << name;
  const std::string version = name.substr(name.find(' ') + 1);
  EXPECT_FALSE(version.empty());
  EXPECT_EQ(release.rfind(version, 0), 0u) << version << " of " << release;
  EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << version;
  EXPECT_NE(version.back(), '.');
}

TEST(Sysinfo, SixtyFourBitKernelIsRecognised) {
  const std::string machine = uname_answer("-m");
  const bool expected = machine == "x86_64" || machine == "aarch64" || machine == "ppc64le" || machine == "s390x" ||
                        machine == "riscv64";
  EXPECT_EQ(is_64bit_system(), expected) << machine;
}
