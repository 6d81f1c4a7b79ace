#pragma once
// The shell's "open": hands a file, folder or web address to the desktop's default
// program through `xdg-open`, started with an argument list (never a shell), so no
// character of the target can change what runs. The call does not wait for the
// program; it is reaped in the background.

#include <string>
#include <utility>

#include "platform/gui/gui_services.h"

// Starts `program target` (program searched in PATH when it has no "/"), standard
// input /dev/null, without waiting. False when it could not be started or the
// target is empty.
bool spawn_detached(const std::string& program, const std::string& target);

// ShellService that runs xdg-open (or the program given, for tests).
class XdgShell final : public ShellService {
 public:
  explicit XdgShell(std::string program = "xdg-open") : program_(std::move(program)) {}
  bool shell_open(const std::string& target) override { return spawn_detached(program_, target); }

 private:
  std::string program_;
};
