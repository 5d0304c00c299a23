// Directory search with the Windows wildcard rules: "*" any run of
// characters, "?" one character (or none at the end of the name), a mask
// ending in ".*" or "." also matches a name without an extension; letters
// compare without case; a double-byte character is one character.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/posix/Handles.h"
#include "platform/posix/Internal.h"
#include "platform/posix/vxposix.h"
#include "platform/posix/vxui.h"

namespace vxposix::detail {
namespace {

size_t CharLen(const char* s) { return (IsLead(static_cast<unsigned char>(*s)) && s[1] != '\0') ? 2 : 1; }

bool SameChar(const char* a, size_t la, const char* b, size_t lb) {
  if (la != lb) return false;
  if (la == 2) return a[0] == b[0] && a[1] == b[1];
  auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  return fold(*a) == fold(*b);
}

// True when the rest of the mask can match an empty name end.
bool MatchesEmpty(const char* mask) {
  if (*mask == '.') ++mask;
  for (; *mask != '\0'; ++mask)
    if (*mask != '*' && *mask != '?') return false;
  return true;
}

bool Match(const char* mask, const char* name) {
  for (;;) {
    if (*mask == '\0') return *name == '\0';
    if (*name == '\0') return MatchesEmpty(mask);
    if (*mask == '*') {
      while (*mask == '*') ++mask;
      if (*mask == '\0') return true;
      for (const char* n = name;; n += CharLen(n)) {
        if (Match(mask, n)) return true;
        if (*n == '\0') return false;
      }
    }
    const size_t lm = CharLen(mask), ln = CharLen(name);
    if (*mask == '?') {
      mask += 1;
      name += ln;
      continue;
    }
    if (!SameChar(mask, lm, name, ln)) return false;
    mask += lm;
    name += ln;
  }
}

// A mask ending in "." asks for names without an extension.
bool MatchName(const std::string& mask, const char* name) {
  if (mask.size() > 1 && mask.back() == '.' && mask != "..")
    return std::strchr(name, '.') == nullptr && Match(mask.substr(0, mask.size() - 1).c_str(), name);
  return Match(mask.c_str(), name);
}

struct DirectoryFd {
  explicit DirectoryFd(const std::string& path) : fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~DirectoryFd() {
    if (fd >= 0) close(fd);
  }
  DirectoryFd(const DirectoryFd&) = delete;
  DirectoryFd& operator=(const DirectoryFd&) = delete;
  int fd;
};

class FindObject : public KernelObject {
 public:
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

// The entry's data from a stat relative to the open directory (cheaper than
// resolving the whole path again for every entry); a dangling link is
// described as the link itself.
bool FillEntry(int dirFd, const std::string& utf8Name, const std::string& winName, WIN32_FIND_DATAA& data) {
  struct stat st;
  if (fstatat(dirFd, utf8Name.c_str(), &st, 0) != 0 &&
      fstatat(dirFd, utf8Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
    return false;
  std::memset(&data, 0, sizeof data);
  data.dwFileAttributes = AttributesOf(utf8Name, st);
  data.ftCreationTime = UnixToFileTime(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
  data.ftLastAccessTime = UnixToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  data.ftLastWriteTime = UnixToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  if (!S_ISDIR(st.st_mode)) {
    const unsigned long long size = static_cast<unsigned long long>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  }
  std::strncpy(data.cFileName, winName.c_str(), MAX_PATH - 1);
  return true;
}

// Splits "C:\d\*.txt" into "C:\d\" and "*.txt" (a 0x5C trail byte is no separator).
void SplitPattern(const std::string& pattern, std::string& dir, std::string& mask) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < pattern.size(); i += CharLen(pattern.c_str() + i))
    if (pattern[i] == '\\' || pattern[i] == '/') cut = i;
  if (cut != std::string::npos) {
    dir = pattern.substr(0, cut + 1);
    mask = pattern.substr(cut + 1);
  } else if (pattern.size() >= 2 && pattern[1] == ':') {
    dir = pattern.substr(0, 2);
    mask = pattern.substr(2);
  } else {
    dir.assign(1, '.');  // (GCC 12 warns wrongly on assigning a literal here)
    mask = pattern;
  }
}

bool Next(FindObject* find, LPWIN32_FIND_DATAA data) {
  if (find->next >= find->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  *data = find->entries[find->next++];
  return true;
}

}  // namespace
}  // namespace vxposix::detail

using namespace vxposix::detail;

VXAPI HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  if (lpFileName == nullptr || lpFindFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string dir, mask, posixDir, fullDir;
  SplitPattern(lpFileName, dir, mask);
  if (!ResolvePath(dir.c_str(), posixDir) || !FullWinPath(dir, fullDir)) return INVALID_HANDLE_VALUE;
  struct stat st;
  if (stat(posixDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (mask.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  if (!ListDirectory(posixDir, names)) {
    SetLastErrorFromErrno();
    return INVALID_HANDLE_VALUE;
  }
  struct Named {
    std::string utf8, sjis;
  };
  std::vector<Named> matched;
  for (auto& name : names) {
    std::string sjis;
    if (!vxposix::Utf8ToCp932(name, sjis)) {
      // As Windows' ANSI functions do: every character the code page lacks
      // becomes "?", which no file name may hold, so the name can be told
      // and refused by whoever receives it. Said on standard error too.
      ReportUnconvertible("UTF-8 to code page 932", posixDir + "/" + name);
      sjis = vxui::Cp932BestFit(name);
    }
    if (MatchName(mask, sjis.c_str())) matched.push_back({name, sjis});
  }
  std::sort(matched.begin(), matched.end(),
            [](const Named& a, const Named& b) { return CompareNoCase(a.sjis.c_str(), b.sjis.c_str()) < 0; });

  auto find = std::make_unique<FindObject>();
  const DirectoryFd dirFd(posixDir);
  if (dirFd.fd < 0) {
    SetLastErrorFromErrno();
    return INVALID_HANDLE_VALUE;
  }
  const bool root = fullDir.size() <= 3;  // "C:\" has no "." or ".."
  if (!root) {
    for (const char* dot : {".", ".."}) {
      WIN32_FIND_DATAA data;
      if (MatchName(mask, dot) && FillEntry(dirFd.fd, dot, dot, data)) find->entries.push_back(data);
    }
  }
  for (const auto& m : matched) {
    WIN32_FIND_DATAA data;
    if (FillEntry(dirFd.fd, m.utf8, m.sjis, data)) find->entries.push_back(data);
  }
  if (find->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Next(find.get(), lpFindFileData);
  SetLastError(ERROR_SUCCESS);
  return AddHandle(std::move(find));
}

VXAPI BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  auto* find = HandleAs<FindObject>(hFindFile);
  if (find == nullptr || lpFindFileData == nullptr) return FALSE;
  return Next(find, lpFindFileData) ? TRUE : FALSE;
}

VXAPI BOOL WINAPI FindClose(HANDLE hFindFile) {
  if (HandleAs<FindObject>(hFindFile) == nullptr) return FALSE;
  RemoveHandle(hFindFile);
  return TRUE;
}
