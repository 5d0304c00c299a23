#include "archives/Filters.h"

#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "archives/Exceptions.h"
#include "archives/FileIdentity.h"
#include "archives/MbcsText.h"

namespace vx {

namespace {

constexpr DWORD kSpecialAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x08 /*volume*/ |
                                     FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kFileAttributes = 0x21;          // read-only, archive
constexpr DWORD kAllFileAttributes = 0x27;       // ... and hidden, system
constexpr DWORD kSubdirectoryAttributes = 0x16;  // directory, hidden, system
constexpr DWORD kAnyAttributes = 0x3F;           // nothing left out

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int ParseNumber(const std::string& S, std::string::size_type at) {
  const std::string part = S.substr(at, 2);
  int value = 0;
  for (char ch : part) {
    if (ch < '0' || ch > '9') throw EConvertError("'" + part + "' is not a valid integer value");
    value = value * 10 + (ch - '0');
  }
  return value;
}

struct CompareTextLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};

class TFileCollector {
 public:
  TFileCollector(const TArchiverOptions& options)
      : Options(options),
        After(ParseDate(options.jo)),
        Before(ParseDate(options.job)),
        FileAttributes(options.a >= 1 ? kAllFileAttributes : kFileAttributes) {}

  // One walk from Dir; a link back to a directory above is not followed.
  void Walk(const std::string& Dir, const std::string& Mask) {
    TWalkPath walk;
    WalkDirectory(walk, Dir, Mask);
  }

  // The sorted result, moved out name by name.
  TStringList TakeResult() {
    TStringList list;
    list.reserve(Result.size());
    while (!Result.empty()) list.push_back(std::move(Result.extract(Result.begin()).value()));
    return list;
  }

 private:
  std::string EntryName(const WIN32_FIND_DATAA& data) const {
    if (Options.ji >= 1 && data.cAlternateFileName[0] != '\0') return data.cAlternateFileName;
    return data.cFileName;
  }

  // Without bounds the time is not converted: nothing depends on it.
  bool InDateRange(const FILETIME& LastWrite) const {
    if (After == 0 && Before == 0) return true;
    const TDateTime t = FileTimeToDateTime(LastWrite);
    return (After == 0 || t >= After) && (Before == 0 || t < Before);
  }

  // A duplicate keeps the first spelling. Names mostly arrive in sorted
  // order, so the place just after the previous one is tried first.
  void Add(std::string Name) {
    Last = Result.insert(Last == Result.end() ? Last : std::next(Last), std::move(Name));
  }

  void AddFile(const std::string& Dir, const WIN32_FIND_DATAA& data) {
    if (!IsDotEntry(data.cFileName) && InDateRange(data.ftLastWriteTime))
      Add(JoinPath(Dir, EntryName(data)));
  }

  void WalkDirectory(TWalkPath& Walk, const std::string& Dir, const std::string& Mask) {
    const TWalkStep step(Walk, Dir);
    if (step.Cycle()) return;

    const bool recurse = Options.r >= 1 && !(Options.p > 0 && !HasWildcard(Mask));
    std::vector<std::string> subdirectories;
    if (recurse && Mask == "*.*") {
      // The file search and the subdirectory search would list the same
      // entries: one listing serves both, split by the same attribute rules.
      for (TFileSearch search(JoinPath(Dir, Mask), kAnyAttributes); search.Found(); search.Next()) {
        const WIN32_FIND_DATAA& data = search.Data();
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
          if (TFileSearch::Takes(data.dwFileAttributes, FileAttributes)) AddFile(Dir, data);
        } else if (TFileSearch::Takes(data.dwFileAttributes, kSubdirectoryAttributes) &&
                   !IsDotEntry(data.cFileName)) {
          subdirectories.push_back(EntryName(data));
        }
      }
    } else {
      for (TFileSearch search(JoinPath(Dir, Mask), FileAttributes); search.Found(); search.Next())
        AddFile(Dir, search.Data());
      if (!recurse) return;
      for (TFileSearch search(JoinPath(Dir, "*.*"), kSubdirectoryAttributes); search.Found();
           search.Next()) {
        const WIN32_FIND_DATAA& data = search.Data();
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !IsDotEntry(data.cFileName))
          subdirectories.push_back(EntryName(data));
      }
    }
    for (const std::string& name : subdirectories) WalkDirectory(Walk, JoinPath(Dir, name), Mask);
  }

  const TArchiverOptions& Options;
  const TDateTime After;
  const TDateTime Before;
  const DWORD FileAttributes;
  std::set<std::string, CompareTextLess> Result;
  std::set<std::string, CompareTextLess>::iterator Last = Result.end();
};

}  // namespace

TFileSearch::TFileSearch(const std::string& Path, DWORD Attributes)
    : ExcludeAttributes(~Attributes & kSpecialAttributes) {
  Handle = FindFirstFileA(Path.c_str(), &FindData);
  if (Found() && !SkipToMatch()) Close();
}

TFileSearch::~TFileSearch() { Close(); }

bool TFileSearch::Takes(DWORD EntryAttributes, DWORD SearchAttributes) {
  return (EntryAttributes & ~SearchAttributes & kSpecialAttributes) == 0;
}

bool TFileSearch::Matches() const { return (FindData.dwFileAttributes & ExcludeAttributes) == 0; }

bool TFileSearch::SkipToMatch() {
  while (!Matches())
    if (!FindNextFileA(Handle, &FindData)) return false;
  return true;
}

bool TFileSearch::Next() {
  if (!Found()) return false;
  if (FindNextFileA(Handle, &FindData) && SkipToMatch()) return true;
  Close();
  return false;
}

void TFileSearch::Close() {
  if (Handle != INVALID_HANDLE_VALUE) FindClose(Handle);
  Handle = INVALID_HANDLE_VALUE;
}

bool IsDirectory(const std::string& Name) {
  const DWORD attributes = GetFileAttributesA(Name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TDateTime ParseDate(const std::string& S) {
  if (S.size() != 6 && S.size() != 12) return 0;
  const int yy = ParseNumber(S, 0);
  TDateTime result = EncodeDate(yy < 80 ? 2000 + yy : 1900 + yy, ParseNumber(S, 2), ParseNumber(S, 4));
  if (S.size() == 12) result += EncodeTime(ParseNumber(S, 6), ParseNumber(S, 8), ParseNumber(S, 10), 0);
  return result;
}

bool HasWildcard(const std::string& S) { return S.find_first_of("?*") != std::string::npos; }

TStringList FilterFiles(TArchiverOptions& Options, const TStringList* Files) {
  TFileCollector collector(Options);
  if (Files == nullptr || Files->empty()) {
    collector.Walk("", "*.*");
  } else {
    for (const std::string& entry : *Files) {
      if (Options.r > 1 && IsDirectory(entry))
        collector.Walk(entry, "*.*");
      else
        collector.Walk(ExtractFileDir(entry), ExtractFileName(entry));
    }
  }
  TStringList result = collector.TakeResult();
  Options.r = -1;
  Options.jo = NoValue;
  Options.job = NoValue;
  Options.p = 1;
  return result;
}

}  // namespace vx
