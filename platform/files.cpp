#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool path_exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool is_folder(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool create_folders(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  fs::create_directories(fs::path(path), ec);
  return is_folder(path);
}

namespace {

// Writes all of `size` bytes from `data`; false on an error.
bool write_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies everything from `in` (at its start) to `out`: in-kernel when the file
// systems allow it, else through a buffer.
bool copy_descriptor(int in, int out) {
  bool kernel_copy = true;
  for (;;) {
    if (kernel_copy) {
      const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
      if (n > 0) continue;
      if (n == 0) return true;
      if (errno == EINTR) continue;
      if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EPERM) {
        return false;
      }
      kernel_copy = false;  // nothing was copied by the failed call: go on by hand
      continue;
    }
    char buffer[1 << 16];
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!write_all(out, buffer, static_cast<size_t>(n))) return false;
  }
}

}  // namespace

bool copy_file_bytes(const std::string& source, const std::string& destination, bool fail_if_exists) {
  if (source.empty() || destination.empty()) return false;
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat in_st;
  if (::fstat(in, &in_st) != 0 || !S_ISREG(in_st.st_mode)) {
    ::close(in);
    return false;
  }
  // No O_TRUNC here: the destination is emptied only once it is known not to be
  // the source itself.
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (fail_if_exists ? O_EXCL : 0);
  const int out = ::open(destination.c_str(), flags, in_st.st_mode & 07777);
  if (out < 0) {
    ::close(in);
    return false;
  }
  struct stat out_st;
  if (::fstat(out, &out_st) != 0 || !S_ISREG(out_st.st_mode) ||
      (out_st.st_dev == in_st.st_dev && out_st.st_ino == in_st.st_ino)) {
    ::close(in);
    ::close(out);
    return false;
  }
  bool ok = ::ftruncate(out, 0) == 0 && copy_descriptor(in, out);
  ::close(in);
  if (::close(out) != 0) ok = false;
  if (!ok) ::unlink(destination.c_str());  // never leave a partial copy behind
  return ok;
}

bool remove_file(const std::string& path) {
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

std::optional<std::uint64_t> file_length(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  if (!S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool is_regular_file(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool is_same_file(const std::string& a, const std::string& b) {
  struct stat st_a, st_b;
  if (a.empty() || b.empty() || ::stat(a.c_str(), &st_a) != 0 || ::stat(b.c_str(), &st_b) != 0) return false;
  return st_a.st_dev == st_b.st_dev && st_a.st_ino == st_b.st_ino;
}

std::optional<FileStamp> file_stamp(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  const auto nanoseconds = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
  return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::uint64_t>(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

std::optional<std::string> read_file_bytes(const std::string& path, bool* missing) {
  if (missing) *missing = false;
  if (path.empty()) return std::nullopt;
  // Non-blocking, so that opening a named pipe cannot hang; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (missing) *missing = errno == ENOENT;
    return std::nullopt;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

bool replace_file_contents(const std::string& path, std::string_view bytes, unsigned mode) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return false;
  std::string temp = folder + "/." + name + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && write_all(fd, bytes.data(), bytes.size());
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

std::string resolve_real_path(const std::string& path) {
  if (path.empty()) return {};
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string result = real;
  std::free(real);
  return result;
}

std::vector<FolderEntry> list_folder_entries(const std::string& folder) {
  std::vector<FolderEntry> entries;
  if (folder.empty()) return entries;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return entries;
  const int dir_fd = ::dirfd(dir);
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.name = name;
    unsigned char type = d->d_type;
    if (type == DT_UNKNOWN) {
      struct stat st;
      if (::fstatat(dir_fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
      }
    }
    entry.is_folder = type == DT_DIR;
    entry.is_link = type == DT_LNK;
    if (entry.is_link) {
      struct stat st;
      entry.link_to_folder = ::fstatat(dir_fd, d->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return entries;
}

namespace {

// Length of the UTF-8 sequence that starts with byte `b` (1 for a stray byte).
size_t utf8_sequence_length(unsigned char b) {
  if (b >= 0xF0 && b < 0xF8) return 4;
  if (b >= 0xE0 && b < 0xF0) return 3;
  if (b >= 0xC0 && b < 0xE0) return 2;
  return 1;
}

char fold_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool match_from(const std::string& name, size_t n, const std::string& pattern, size_t p) {
  while (p < pattern.size()) {
    const char pc = pattern[p];
    if (pc == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      if (p == pattern.size()) return true;
      for (size_t start = n; start <= name.size();
           start += start < name.size() ? utf8_sequence_length(static_cast<unsigned char>(name[start])) : 1) {
        if (match_from(name, start, pattern, p)) return true;
      }
      return false;
    }
    if (n >= name.size()) return false;
    if (pc == '?') {
      n += utf8_sequence_length(static_cast<unsigned char>(name[n]));
      if (n > name.size()) return false;
      ++p;
      continue;
    }
    if (fold_ascii(pc) != fold_ascii(name[n])) return false;
    ++n;
    ++p;
  }
  return n == name.size();
}

}  // namespace

bool name_matches_pattern(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return match_from(name, 0, pattern, 0);
}

namespace {

// `path` without "." and ".." parts, doubled separators and a trailing "/".
std::string normal_form(const fs::path& path) {
  std::string s = path.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// True when removing `candidate` (a normal absolute path) would take the root
// folder or the home folder `home` (normal form) with it.
bool covers_protected_folder(const std::string& candidate, const std::string& home) {
  if (candidate == "/") return true;
  if (home.empty() || home == "/") return false;
  return home == candidate || home.compare(0, candidate.size() + 1, candidate + "/") == 0;
}

}  // namespace

bool remove_folder_tree(const std::string& path) {
  if (path.empty() || path.front() != '/') return false;
  // The trailing "/" must go: "link/" would name the link's target.
  const std::string target = normal_form(path);
  std::string home;
  if (const char* h = std::getenv("HOME"); h && *h == '/') home = normal_form(h);
  if (covers_protected_folder(target, home)) return false;
  // The same test on the real location: the folders above the last part may be links.
  std::error_code ec;
  const fs::path parent = fs::weakly_canonical(fs::path(target).parent_path(), ec);
  if (ec) return false;
  std::string real_home = home;
  if (!home.empty()) {
    const fs::path h = fs::weakly_canonical(home, ec);
    if (!ec) real_home = normal_form(h);
  }
  if (covers_protected_folder(normal_form(parent / fs::path(target).filename()), real_home)) return false;
  fs::remove_all(fs::path(target), ec);
  struct stat st;
  return ::lstat(target.c_str(), &st) != 0 && errno == ENOENT;
}
