#include "common/Sources.h"

#include <dirent.h>

#include <algorithm>
#include <set>

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "common/Wildcard.h"
#include "common/WinNames.h"

namespace arc {

namespace {

std::string JoinName(const std::string& dir, const std::string& name) {
  return dir.empty() ? name : dir + "/" + name;
}

std::string JoinPosix(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

// Children of a directory, sorted by name; "." and ".." left out.
std::vector<std::string> ReadDirectory(const std::string& posixDir, const std::string& shown) {
  DIR* d = opendir(posixDir.c_str());
  if (d == nullptr) throw Failure(ARCERR_FILE_OPEN, "cannot read the directory " + shown);
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

class Collector {
 public:
  Collector(const SourceRules& rules, std::vector<SourceItem>& out) : rules_(rules), out_(out) {}

  // One file or directory found on disk; `name` is its archive name.
  void AddPath(const std::string& posix, const std::string& name, const struct stat& st) {
    SourceItem item;
    item.posixPath = posix;
    item.name = name;
    item.shownName = Cp932ForReport(name);
    item.directory = S_ISDIR(st.st_mode);
    item.st = st;
    if (item.directory) {
      if (rules_.directoryEntries && rules_.keepPaths && !name.empty()) Push(item);
      if (rules_.expandDirectories) Walk(posix, name, nullptr);
    } else if (S_ISREG(st.st_mode)) {
      Push(item);
    }
  }

  // Children of a directory: all, or those matching `pattern` (and, with
  // recursion, matches in subdirectories too).
  void Walk(const std::string& posixDir, const std::string& dirName, const std::string* pattern) {
    for (const std::string& child : ReadDirectory(posixDir, Cp932ForReport(dirName.empty() ? posixDir : dirName))) {
      const std::string posix = JoinPosix(posixDir, child);
      struct stat lst, st;
      if (lstat(posix.c_str(), &lst) != 0) continue;
      const bool link = S_ISLNK(lst.st_mode);
      if (stat(posix.c_str(), &st) != 0) continue;  // a dangling link
      // Linked directories are not entered: no cycles, nothing outside.
      if (link && S_ISDIR(st.st_mode)) continue;
      const std::string name = rules_.keepPaths ? JoinName(dirName, child) : child;
      if (pattern == nullptr) {
        AddPath(posix, name, st);
        continue;
      }
      std::string cp932;
      if (ToCp932(child, cp932) && MatchWildcard(*pattern, cp932, rules_.wildcardClasses)) {
        ++matches_;
        AddPath(posix, name, st);
      } else if (rules_.recurseWildcards && S_ISDIR(st.st_mode)) {
        Walk(posix, rules_.keepPaths ? JoinName(dirName, child) : std::string(), pattern);
      }
    }
  }

  size_t matches_ = 0;

 private:
  void Push(const SourceItem& item) {
    if (!seen_.insert(item.posixPath + '\0' + item.name).second) return;
    out_.push_back(item);
  }

  const SourceRules& rules_;
  std::vector<SourceItem>& out_;
  std::set<std::string> seen_;
};

bool IsAbsolute(const std::string& win) {
  if (!win.empty() && (win[0] == '\\' || win[0] == '/')) return true;
  return win.size() >= 2 && win[1] == ':' && !IsLeadByte(static_cast<unsigned char>(win[0]));
}

// The archive name (UTF-8) of a full Windows path: below the anchor when
// it lies there, else the path without its drive.
std::string StoredName(const std::string& full, const std::string& anchor, bool keepPaths, const std::string& shown) {
  std::string win;
  if (!keepPaths) {
    win = SplitPath(full).back();
  } else {
    const std::string prefix = EndsWithSeparator(anchor) ? anchor : anchor + "\\";
    if (UpperAscii(full.substr(0, prefix.size())) == UpperAscii(prefix))
      win = full.substr(prefix.size());
    else if (UpperAscii(full) == UpperAscii(anchor))
      win.clear();
    else
      win = WithoutDrive(full);
  }
  std::string utf8;
  if (!ToUtf8(WithSlashes(win), utf8)) throw Failure(ARCERR_NOT_FILENAME, "cannot store the name " + shown);
  while (!utf8.empty() && utf8.back() == '/') utf8.pop_back();
  return utf8;
}

}  // namespace

std::vector<SourceItem> CollectSources(const std::string& baseDirWin, const std::vector<std::string>& args,
                                       const SourceRules& rules) {
  std::vector<SourceItem> out;
  Collector collector(rules, out);
  const std::string anchor = FullWinPath(baseDirWin.empty() ? std::string(".") : baseDirWin);
  for (const std::string& rawArg : args) {
    const std::string arg = WithBackslashes(rawArg);
    const std::vector<std::string> parts = SplitPath(arg);
    const std::string last = parts.back();
    const bool wild = HasWildcards(last, rules.wildcardClasses);
    const std::string joined = IsAbsolute(arg) || baseDirWin.empty()
                                   ? arg
                                   : (EndsWithSeparator(baseDirWin) ? baseDirWin : baseDirWin + "\\") + arg;
    const std::string joinedLiteral =
        rules.wildcardClasses ? UnescapeClasses(joined) : joined;
    // A literal file wins over a pattern reading of its name ("a[1].txt").
    std::string posix;
    struct stat st;
    const std::string full = FullWinPath(joinedLiteral);
    if (PosixPathOf(full, posix) && stat(posix.c_str(), &st) == 0) {
      collector.AddPath(posix, StoredName(full, anchor, rules.keepPaths, rawArg), st);
      continue;
    }
    if (!wild) throw Failure(ARCERR_FILE_OPEN, "cannot find the file " + rawArg);
    const size_t cut = full.size() - SplitPath(full).back().size();
    const std::string dirFull = FullWinPath(full.substr(0, cut));
    std::string posixDir;
    if (!PosixPathOf(dirFull, posixDir) || stat(posixDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      throw Failure(ARCERR_FILE_OPEN, "cannot find the directory of " + rawArg);
    const std::string dirName = rules.keepPaths ? StoredName(dirFull, anchor, true, rawArg) : std::string();
    const size_t before = collector.matches_;
    collector.Walk(posixDir, dirName, &last);
    if (collector.matches_ == before) throw Failure(ARCERR_FILE_OPEN, "no file matches " + rawArg);
  }
  return out;
}

}  // namespace arc
