// A stand-in for the converter that prints scripted bytes with pauses, so tests control
// exactly what the runner reads and where the pipe's chunks begin and end.
//
// Usage: fake_converter SCRIPT [ARGUMENTS...]
// The first argument is the path of a script file (absolute, since the runner starts
// programs in their own folder). Each line of the script is one step:
//   w TEXT    write TEXT to standard output in one write; escapes \n \r \t \0 \\ \xHH
//   e TEXT    the same on standard error
//   s MS      sleep MS milliseconds
//   drain     wait until the reader has taken everything written so far (at most 10 s),
//             so that the next write arrives in a read of its own
//   x CODE    exit with CODE at once
//   big N     write N bytes: lines of "0123456789" ending in "\n"
//   args      write each argument after the script as "[argument]\n"
//   cwd       write the working folder and "\n"
//   fds       write "fds:" and every open descriptor above 2, each after a blank, "\n"
//   stdin     write "stdin:eof\n" when standard input is at its end at once, else
//             "stdin:open\n"
//   hold MS   start a grandchild that keeps the output pipe open for MS milliseconds
//   close     close standard output and standard error
//   kill SIG  raise the signal SIG
// Reaching the end of the script exits with 0. A script that cannot be read exits with 2.

#include <dirent.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'n') out += '\n';
    else if (c == 'r') out += '\r';
    else if (c == 't') out += '\t';
    else if (c == '0') out += '\0';
    else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else out += c;
  }
  return out;
}

void write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string open_descriptors() {
  std::string list = "fds:";
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return list + " unknown\n";
  const int own = dirfd(dir);
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const int fd = std::atoi(entry->d_name);
    if (fd > 2 && fd != own) list += std::string(" ") + entry->d_name;
  }
  closedir(dir);
  return list + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::stringstream script;  // read whole and closed, so "fds" sees no descriptor of its own
  {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "fake_converter: cannot read %s\n", argv[1]);
      return 2;
    }
    script << file.rdbuf();
  }
  for (std::string line; std::getline(script, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t blank = line.find(' ');
    const std::string step = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (step == "w") write_all(1, unescape(rest));
    else if (step == "e") write_all(2, unescape(rest));
    else if (step == "s") std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(rest.c_str())));
    else if (step == "x") return std::atoi(rest.c_str());
    else if (step == "drain") {
      int unread = 0;
      for (int waited = 0; waited < 10000 && ioctl(1, FIONREAD, &unread) == 0 && unread > 0; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    else if (step == "big") {
      const long total = std::atol(rest.c_str());
      std::string bytes;
      for (long i = 0; i < total; ++i) bytes += (i % 11 == 10) ? '\n' : static_cast<char>('0' + i % 11);
      write_all(1, bytes);
    } else if (step == "args") {
      for (int i = 2; i < argc; ++i) write_all(1, std::string("[") + argv[i] + "]\n");
    } else if (step == "cwd") {
      char buffer[4096];
      write_all(1, std::string(getcwd(buffer, sizeof buffer) ? buffer : "?") + "\n");
    } else if (step == "fds") {
      write_all(1, open_descriptors());
    } else if (step == "stdin") {
      char c;
      write_all(1, read(0, &c, 1) == 0 ? "stdin:eof\n" : "stdin:open\n");
    } else if (step == "hold") {
      const int ms = std::atoi(rest.c_str());
      if (fork() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        _exit(0);
      }
    } else if (step == "close") {
      close(1);
      close(2);
    } else if (step == "kill") {
      raise(std::atoi(rest.c_str()));
    }
  }
  return 0;
}
