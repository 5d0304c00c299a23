#include "common/SafePath.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace arc {

namespace {

bool IsDriveLetter(const std::string& part) {
  return part.size() >= 2 && part[1] == ':' &&
         ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z'));
}

// A real directory at path (made when missing); links are refused.
bool EnsureDirectory(const std::string& path, std::string& reason) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      reason = std::strerror(errno);
      return false;
    }
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
      reason = std::string("cannot make directory: ") + std::strerror(errno);
      return false;
    }
    if (lstat(path.c_str(), &st) != 0) {
      reason = std::strerror(errno);
      return false;
    }
  }
  if (S_ISLNK(st.st_mode)) {
    reason = "a link stands in the path";
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    reason = "a file stands where a directory is needed";
    return false;
  }
  return true;
}

}  // namespace

bool SafeMemberPath(const std::string& name, std::vector<std::string>& parts, std::string& reason,
                    std::string* root) {
  parts.clear();
  // A drive letter, then any separators: the root other readers strip.
  size_t start = IsDriveLetter(name) ? 2 : 0;
  while (start < name.size() && (name[start] == '/' || name[start] == '\\')) ++start;
  if (root != nullptr) *root = name.substr(0, start);
  std::string part;
  auto flush = [&]() -> bool {
    if (part == "..") {
      reason = "path leads out of the destination";
      return false;
    }
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
    return true;
  };
  for (char c : name.substr(start)) {
    if (c == '/' || c == '\\') {
      if (!flush()) return false;
    } else {
      part += c;
    }
  }
  if (!flush()) return false;
  if (parts.empty()) {
    reason = kEmptyName;
    return false;
  }
  return true;
}

std::string RootRemovedLine(const std::string& root) {
  return "Removed the leading \"" + root + "\" from member names";
}

bool MakeDirectories(const std::string& root, const std::vector<std::string>& parts,
                     bool allAreDirectories, std::string& path, std::string& reason) {
  // The destination itself is the caller's choice and may be a link.
  struct stat st;
  if (stat(root.c_str(), &st) != 0) {
    if (mkdir(root.c_str(), 0777) != 0 && errno != EEXIST) {
      reason = std::string("cannot make the destination: ") + std::strerror(errno);
      return false;
    }
  } else if (!S_ISDIR(st.st_mode)) {
    reason = "the destination is not a directory";
    return false;
  }
  path = root;
  const size_t dirs = allAreDirectories ? parts.size() : parts.size() - 1;
  for (size_t i = 0; i < parts.size(); ++i) {
    path += (path.empty() || path.back() != '/') ? "/" + parts[i] : parts[i];
    if (i < dirs && !EnsureDirectory(path, reason)) return false;
  }
  return true;
}

}  // namespace arc
