// Starting the converter directly, as the benchmarks' yardstick: posix_spawn with the
// arguments of a command line (or with arguments as given), input and output on
// /dev/null, then waitpid.

#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "platform/process.h"

extern char** environ;

// Runs `program` with `arguments` (without the program itself), output to /dev/null,
// in `folder` when one is given; false unless it ended with 0.
inline bool run_arguments_directly(const std::string& program, std::vector<std::string> arguments,
                                   const std::string& folder = {}) {
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs `program` with the arguments of `command_line`, output to /dev/null; false
// unless it ended with 0.
inline bool run_directly(const std::string& program, const std::string& command_line) {
  return run_arguments_directly(program, split_command_line(command_line));
}
