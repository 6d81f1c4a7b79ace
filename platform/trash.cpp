#include "platform/trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "platform/files.h"

namespace {

// Percent-encodes every byte except the unreserved ones and "/".
std::string url_encode_path(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

std::string local_time_text() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &tm);
  return buffer;
}

// A real folder (not a link) at `path`, made with mode 0700 when missing.
bool ensure_private_folder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A trash folder with its files/ and info/ folders, ready to use.
bool prepare_trash(const std::string& trash) {
  return ensure_private_folder(trash) && ensure_private_folder(trash + "/files") &&
         ensure_private_folder(trash + "/info");
}

std::optional<dev_t> device_of(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_dev;
}

// The home trash folder, prepared; empty when there is none.
std::string home_trash() {
  std::string data_home;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') {
    data_home = x;
  } else if (const char* h = std::getenv("HOME"); h && *h == '/') {
    data_home = std::string(h) + "/.local/share";
  } else {
    return {};
  }
  const std::string trash = data_home + "/Trash";
  if (!create_folders(data_home) || !prepare_trash(trash)) return {};
  return trash;
}

// The highest folder above and including `folder` (a real path) on device `dev`:
// the top folder of its file system.
std::string top_folder_of(std::string folder, dev_t dev) {
  while (folder != "/") {
    const auto slash = folder.find_last_of('/');
    const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
    const auto parent_dev = device_of(parent);
    if (!parent_dev || *parent_dev != dev) break;
    folder = parent;
  }
  return folder;
}

// The trash of the file system whose top folder is `top`, prepared; empty when
// neither kind of top-folder trash can be used.
std::string top_folder_trash(const std::string& top) {
  const std::string base = top == "/" ? "" : top;
  const std::string uid = std::to_string(::getuid());
  // The administrator's shared trash: a sticky folder, not a link, with one folder per user.
  struct stat st;
  const std::string shared = base + "/.Trash";
  if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    const std::string mine = shared + "/" + uid;
    if (prepare_trash(mine)) return mine;
  }
  // The user's own trash beside it, which must belong to the user.
  const std::string own = base + "/.Trash-" + uid;
  if (prepare_trash(own) && ::lstat(own.c_str(), &st) == 0 && st.st_uid == ::getuid()) return own;
  return {};
}

// The name the item takes in the trash: its own, or with " (2)", " (3)", … before its
// extension. The name is reserved by creating its info file exclusively; returns the
// open descriptor of that file, or -1.
int reserve_trash_name(const std::string& trash, const std::string& name, std::string& chosen) {
  const auto dot = name.find_last_of('.');
  const bool has_ext = dot != std::string::npos && dot > 0;
  const std::string stem = has_ext ? name.substr(0, dot) : name;
  const std::string ext = has_ext ? name.substr(dot) : "";
  for (int n = 1; n < 100000; ++n) {
    const std::string candidate = n == 1 ? name : stem + " (" + std::to_string(n) + ")" + ext;
    const std::string info = trash + "/info/" + candidate + ".trashinfo";
    const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    struct stat st;
    if (::lstat((trash + "/files/" + candidate).c_str(), &st) == 0) {  // a left-over without info
      ::close(fd);
      ::unlink(info.c_str());
      continue;
    }
    chosen = candidate;
    return fd;
  }
  return -1;
}

bool write_all(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Renames `from` to `to` unless something already exists at `to`.
bool rename_without_replacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the exclusive form: the name was checked when it was reserved.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

bool move_to_trash(const std::string& path, std::string* trashed_as) {
  if (path.empty()) return false;
  // The absolute path of the item itself: its folder resolved, its own name kept
  // (a link is trashed as the link).
  std::string absolute = path;
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  if (absolute.front() != '/') {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return false;
    absolute = std::string(cwd) + "/" + absolute;
  }
  const auto slash = absolute.find_last_of('/');
  const std::string name = absolute.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return false;
  char real_folder[PATH_MAX];
  if (!::realpath(slash == 0 ? "/" : absolute.substr(0, slash).c_str(), real_folder)) return false;
  const std::string folder = real_folder;
  absolute = (folder == "/" ? "" : folder) + "/" + name;

  struct stat item;
  if (::lstat(absolute.c_str(), &item) != 0) return false;
  const auto folder_dev = device_of(folder);
  if (!folder_dev) return false;

  std::string trash = home_trash();
  const auto trash_dev = trash.empty() ? std::nullopt : device_of(trash);
  if (!trash_dev || *trash_dev != *folder_dev) trash = top_folder_trash(top_folder_of(folder, *folder_dev));
  if (trash.empty()) return false;

  std::string chosen;
  const int info_fd = reserve_trash_name(trash, name, chosen);
  if (info_fd < 0) return false;
  const std::string info_path = trash + "/info/" + chosen + ".trashinfo";
  const std::string info =
      "[Trash Info]\nPath=" + url_encode_path(absolute) + "\nDeletionDate=" + local_time_text() + "\n";
  const bool written = write_all(info_fd, info);
  const bool closed = ::close(info_fd) == 0;
  const std::string destination = trash + "/files/" + chosen;
  if (!written || !closed || !rename_without_replacing(absolute, destination)) {
    ::unlink(info_path.c_str());
    return false;
  }
  if (trashed_as) *trashed_as = destination;
  return true;
}
