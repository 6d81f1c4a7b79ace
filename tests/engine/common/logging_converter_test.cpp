#include "tests/support/logging_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

using namespace test_env;

// Calls that overlap, as the convert job's probes beside its conversions do, are each
// logged as one whole record: no argument of one call lands in another's, and no
// record is empty.
TEST(LoggingConverter, OverlappingCallsKeepTheirRecordsWhole) {
  TempDir dir;
  std::filesystem::create_directories(dir / "bin");
  const std::string log = dir / "calls.log";
  install_logging_converter(dir.path(), log);
  constexpr int calls = 24;
  constexpr int arguments = 40;
  std::string script;
  for (int call = 0; call < calls; ++call) {
    script += "'" + (dir / "bin/ffmpeg") + "' -hide_banner -loglevel quiet -version";
    for (int argument = 0; argument < arguments; ++argument) script += " c" + std::to_string(call) + "_a";
    script += " >/dev/null 2>&1 &\n";
  }
  script += "wait\n";
  write_file(dir / "run.sh", script);
  ASSERT_EQ(std::system(("sh '" + (dir / "run.sh") + "'").c_str()), 0);

  const std::vector<std::vector<std::string>> logged = read_logged_commands(log);
  ASSERT_EQ(logged.size(), static_cast<std::size_t>(calls));
  for (const std::vector<std::string>& record : logged) {
    ASSERT_EQ(record.size(), static_cast<std::size_t>(4 + arguments));
    const std::string& own = record.back();
    for (std::size_t i = 4; i < record.size(); ++i) EXPECT_EQ(record[i], own);
  }
}
