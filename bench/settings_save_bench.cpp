// Time to save the edit page's 72 settings keys: one atomic write per key, as a plain
// profile write does, against one batched write of the same keys. Run by hand; the
// settings file is made in the system's temporary folder (or the folder given as the
// first argument) and removed afterwards.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::string path = folder + "/settings_save_bench_" + std::to_string(::getpid()) + ".ini";
  constexpr int rounds = 50;
  const std::string section = "批量剪辑视频";
  auto pairs_of_round = [](int round) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int key = 0; key < 72; ++key) pairs.emplace_back("k" + std::to_string(key), "value " + std::to_string(round));
    return pairs;
  };
  auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };

  const auto one_by_one_start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round)
    for (const auto& [key, value] : pairs_of_round(round)) write_profile_text(path, section, key, value);
  const auto batched_start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) write_profile_texts(path, section, pairs_of_round(round));
  const auto done = std::chrono::steady_clock::now();
  std::filesystem::remove(path);

  std::printf("72 one-key writes: %.2f ms per save\n", ms(one_by_one_start, batched_start) / rounds);
  std::printf("one batched write: %.2f ms per save\n", ms(batched_start, done) / rounds);
  return 0;
}
