#include "writable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "textio.h"

namespace {

// Links followed before the name counts as a loop (the system's own limit).
constexpr int kMaxLinks = 40;

// The folder of a path: what comes before its last "/", the root for a name
// in it, the current folder for a bare name.
std::string folder_of(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A failed look at a name or its folder (errno of stat).
WriteObstacle failed_look(int error) {
  switch (error) {
    case ENOENT:
      return WriteObstacle::NoFolder;
    case ENOTDIR:
      return WriteObstacle::NotAFolder;
    case EACCES:  // a folder on the path that may not be searched
      return WriteObstacle::FolderNotWritable;
    default:  // ENAMETOOLONG, ELOOP and the like
      return WriteObstacle::Unusable;
  }
}

}  // namespace

bool follow_links(std::string& path) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::array<char, 4096> target;
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) == target.size()) return false;
    const std::string to(target.data(), static_cast<std::size_t>(n));
    path = to.front() == '/' ? to : folder_of(path) + "/" + to;
  }
  return false;
}

WriteObstacle write_obstacle(std::string_view name) {
  std::string path = trim_name(name);
  if (path.empty() || path.find('\0') != std::string::npos) return WriteObstacle::Unusable;
  if (!follow_links(path)) return WriteObstacle::Unusable;

  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return WriteObstacle::Folder;
    return access(path.c_str(), W_OK) == 0 ? WriteObstacle::None : WriteObstacle::FileNotWritable;
  }
  if (errno != ENOENT) return failed_look(errno);

  // Nothing has the name: the file is made in its folder, which must be a
  // folder that exists and may be written and searched.
  if (path.back() == '/') return WriteObstacle::Folder;  // names a folder to be
  const std::string folder = folder_of(path);
  if (stat(folder.c_str(), &st) != 0) return failed_look(errno);
  if (!S_ISDIR(st.st_mode)) return WriteObstacle::NotAFolder;
  return access(folder.c_str(), W_OK | X_OK) == 0 ? WriteObstacle::None
                                                  : WriteObstacle::FolderNotWritable;
}
