// Windows paths over the POSIX file system: drive letters mapped to POSIX
// directories, backslashes, code page 932 names and case-insensitive lookup.
#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/posix/Internal.h"
#include "platform/posix/vxposix.h"

namespace vxposix {
namespace {

std::mutex drivesLock;

std::array<std::string, 26>& Drives() {
  static std::array<std::string, 26> drives = [] {
    std::array<std::string, 26> d;
    d[25].assign(1, '/');  // Z: is the POSIX root (a literal here trips a false GCC 12 warning)
    return d;
  }();
  return drives;
}

int DriveIndex(char letter) {
  if (letter >= 'a' && letter <= 'z') return letter - 'a';
  if (letter >= 'A' && letter <= 'Z') return letter - 'A';
  return -1;
}

// Splits a code page 932 path at backslashes and slashes; a 0x5C trail
// byte of a double-byte character is part of its name.
std::vector<std::string> SplitWin(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = path[i];
    if (detail::IsLead(c) && i + 1 < path.size()) {
      cur += path[i];
      cur += path[++i];
    } else if (c == '\\' || c == '/') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += path[i];
    }
  }
  parts.push_back(cur);
  return parts;
}

// Drops "", "." and resolves ".." without climbing above the root.
std::vector<std::string> Normalise(const std::vector<std::string>& parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) {
    if (p.empty() || p == ".") continue;
    if (p == "..") {
      if (!out.empty()) out.pop_back();
      continue;
    }
    out.push_back(p);
  }
  return out;
}

// Lexically normalised absolute POSIX path.
std::string NormalisePosix(const std::string& path) {
  std::string abs = path;
  if (abs.empty() || abs[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return std::string();
    abs = std::string(cwd) + "/" + abs;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= abs.size()) {
    size_t end = abs.find('/', start);
    if (end == std::string::npos) end = abs.size();
    parts.push_back(abs.substr(start, end - start));
    start = end + 1;
  }
  std::string out;
  for (const auto& p : Normalise(parts)) out += "/" + p;
  return out.empty() ? "/" : out;
}

bool CurrentWinDirectory(std::string& dir) {
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) return false;
  return ToWinPath(cwd, dir);
}

// Finds name (UTF-8) in posixDir: exact match first, then a case-insensitive
// scan comparing the code page 932 forms.
std::string FindComponent(const std::string& posixDir, const std::string& utf8Name,
                          const std::string& cp932Name, bool& exists) {
  const std::string exact = posixDir == "/" ? "/" + utf8Name : posixDir + "/" + utf8Name;
  struct stat st;
  if (lstat(exact.c_str(), &st) == 0) {
    exists = true;
    return utf8Name;
  }
  exists = false;
  DIR* d = opendir(posixDir.c_str());
  if (d == nullptr) return utf8Name;
  std::string found = utf8Name;
  while (dirent* e = readdir(d)) {
    std::string sjis;
    if (!Utf8ToCp932(e->d_name, sjis)) continue;
    if (detail::EqualsNoCase(sjis, cp932Name)) {
      found = e->d_name;
      exists = true;
      break;
    }
  }
  closedir(d);
  return found;
}

}  // namespace

bool MapDrive(char letter, const std::string& posixDir) {
  const int i = DriveIndex(letter);
  if (i < 0) return false;
  char real[PATH_MAX];
  if (realpath(posixDir.c_str(), real) == nullptr) return false;
  struct stat st;
  if (stat(real, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  std::lock_guard<std::mutex> guard(drivesLock);
  Drives()[i] = real;
  return true;
}

void UnmapDrive(char letter) {
  const int i = DriveIndex(letter);
  if (i < 0) return;
  std::lock_guard<std::mutex> guard(drivesLock);
  Drives()[i].clear();
}

std::string DriveRoot(char letter) {
  const int i = DriveIndex(letter);
  if (i < 0) return std::string();
  std::lock_guard<std::mutex> guard(drivesLock);
  return Drives()[i];
}

bool ToPosixPath(const std::string& winPath, std::string& posixPath) {
  std::string full;
  if (!detail::FullWinPath(winPath, full)) return false;
  std::string root = DriveRoot(full[0]);
  if (root.empty()) return false;
  const bool trailing = full.size() > 3 && detail::EndsWithSeparator(full);
  std::string dir = root;
  bool parentExists = true;
  for (const auto& part : Normalise(SplitWin(full.substr(2)))) {
    std::string utf8;
    if (!Cp932ToUtf8(part, utf8)) return false;
    bool exists = false;
    const std::string name = parentExists ? FindComponent(dir, utf8, part, exists) : utf8;
    parentExists = exists;
    dir = dir == "/" ? "/" + name : dir + "/" + name;
  }
  if (trailing) dir += "/";
  posixPath = dir;
  return true;
}

bool ToWinPath(const std::string& posixPath, std::string& winPath) {
  const std::string abs = NormalisePosix(posixPath);
  if (abs.empty()) return false;
  int best = -1;
  size_t bestLen = 0;
  {
    std::lock_guard<std::mutex> guard(drivesLock);
    for (int i = 0; i < 26; ++i) {
      const std::string& root = Drives()[i];
      if (root.empty()) continue;
      const bool under = root == "/" || abs == root ||
                         (abs.compare(0, root.size(), root) == 0 && abs[root.size()] == '/');
      if (under && (best < 0 || root.size() > bestLen)) {
        best = i;
        bestLen = root.size();
      }
    }
  }
  if (best < 0) return false;
  std::string rest = bestLen == 1 ? abs.substr(1) : abs.substr(std::min(abs.size(), bestLen + 1));
  std::string sjis;
  if (!Utf8ToCp932(rest, sjis)) return false;
  for (auto& c : sjis)
    if (c == '/') c = '\\';
  winPath = std::string(1, static_cast<char>('A' + best)) + ":\\" + sjis;
  return true;
}

namespace detail {

bool FullWinPath(const std::string& path, std::string& full) {
  std::string cwd;
  if (!CurrentWinDirectory(cwd)) return false;
  std::string drive = cwd.substr(0, 2);
  std::string base;
  std::string rest;
  const bool hasDrive = path.size() >= 2 && path[1] == ':' && DriveIndex(path[0]) >= 0;
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/'))
    return false;  // UNC names are not served here
  if (hasDrive) {
    drive = std::string(1, static_cast<char>(path[0] & ~0x20)) + ":";
    rest = path.substr(2);
    if (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')) {
      base = "";
    } else {
      base = EqualsNoCase(drive, cwd.substr(0, 2)) ? cwd.substr(2) : "";
    }
  } else if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
    rest = path;
  } else {
    base = cwd.substr(2);
    rest = path;
  }
  auto parts = SplitWin(base);
  for (auto& p : SplitWin(rest)) parts.push_back(p);
  std::string out = drive;
  for (const auto& p : Normalise(parts)) out += "\\" + p;
  if (out.size() == 2) out += "\\";
  if (EndsWithSeparator(rest) && !EndsWithSeparator(out)) out += "\\";
  full = out;
  return true;
}

bool ResolvePath(const char* winPath, std::string& posixPath) {
  if (winPath == nullptr || *winPath == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (ToPosixPath(winPath, posixPath)) return true;
  std::string full;
  std::string unused;
  if (FullWinPath(winPath, full) && !DriveRoot(full[0]).empty() && !Cp932ToUtf8(full, unused)) {
    ReportUnconvertible("code page 932 to UTF-8", winPath);
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
  } else {
    SetLastError(ERROR_PATH_NOT_FOUND);
  }
  return false;
}

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size < text.size() + 1) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

void ReportUnconvertible(const char* direction, const std::string& name) {
  std::string shown;
  for (unsigned char c : name) {
    if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    }
  }
  std::fprintf(stderr, "vxplatform: file name cannot be converted from %s: %s\n", direction,
               shown.c_str());
}

bool ListDirectory(const std::string& posixDir, std::vector<std::string>& names) {
  DIR* d = opendir(posixDir.c_str());
  if (d == nullptr) return false;
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.push_back(e->d_name);
  }
  closedir(d);
  return true;
}

std::string ExecutablePath() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  return std::string(buf, static_cast<size_t>(n));
}

}  // namespace detail
}  // namespace vxposix

using namespace vxposix;

VXAPI DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                    LPSTR* lpFilePart) {
  std::string full;
  if (lpFileName == nullptr || *lpFileName == '\0' || !detail::FullWinPath(lpFileName, full)) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  const DWORD n = detail::CopyOut(full, lpBuffer, nBufferLength);
  if (lpFilePart != nullptr && n == full.size()) {
    const size_t slash = full.find_last_of('\\');
    *lpFilePart = (full.back() == '\\') ? nullptr : lpBuffer + slash + 1;
  }
  return n;
}

VXAPI DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  char cwd[PATH_MAX];
  std::string win;
  if (getcwd(cwd, sizeof cwd) == nullptr || !ToWinPath(cwd, win)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  return detail::CopyOut(win, lpBuffer, nBufferLength);
}

VXAPI BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
  std::string posix;
  if (!detail::ResolvePath(lpPathName, posix)) return FALSE;
  if (chdir(posix.c_str()) != 0) {
    detail::SetLastErrorFromErrno();
    if (GetLastError() == ERROR_FILE_NOT_FOUND) SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

VXAPI DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  const char* tmp = getenv("TMPDIR");
  std::string win;
  if (!ToWinPath(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp", win)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (win.back() != '\\') win += "\\";
  return detail::CopyOut(win, lpBuffer, nBufferLength);
}

VXAPI BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  std::string posix;
  if (!detail::ResolvePath(lpPathName, posix)) return FALSE;
  if (mkdir(posix.c_str(), 0777) != 0) {
    if (errno == EEXIST) {
      SetLastError(ERROR_ALREADY_EXISTS);
    } else {
      detail::SetLastErrorFromErrno();
      if (GetLastError() == ERROR_FILE_NOT_FOUND) SetLastError(ERROR_PATH_NOT_FOUND);
    }
    return FALSE;
  }
  return TRUE;
}

VXAPI BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
  std::string posix;
  if (!detail::ResolvePath(lpPathName, posix)) return FALSE;
  if (rmdir(posix.c_str()) != 0) {
    detail::SetLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}
