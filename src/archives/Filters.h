// The framework's own expansion of a file list: directories walked, files
// chosen by attribute, recursion, short-name and date switches.
#pragma once

#include <memory>
#include <string>

#include "archives/ArchiverOptions.h"
#include "archives/DateTime.h"
#include "archives/Paths.h"
#include "archives/Types.h"
#include "platform/win32api.h"

namespace vx {

// Expands Files (absent or empty: the current directory) into a sorted list
// of files without duplicates (case-insensitive, first spelling kept), then
// sets Options' r to -1, jo and job to NoValue and p to 1. Options is the
// caller's private copy. An invalid jo or job date raises EConvertError.
TStringList FilterFiles(TArchiverOptions& Options, const TStringList* Files);

bool IsDirectory(const std::string& Name);
// 0 unless S has 6 (YYMMDD) or 12 (YYMMDDhhmmss) characters; YY below 80
// is 20YY. Raises EConvertError for text that is no valid date or time.
TDateTime ParseDate(const std::string& S);
bool HasWildcard(const std::string& S);

// A directory search that takes only entries whose special attributes
// (hidden, system, volume, directory) are among Attributes; closed by its
// destructor (a search that found nothing is already closed).
class TFileSearch {
 public:
  TFileSearch(const std::string& Path, DWORD Attributes);
  ~TFileSearch();
  TFileSearch(const TFileSearch&) = delete;
  TFileSearch& operator=(const TFileSearch&) = delete;

  // True when a search with Attributes takes an entry with EntryAttributes.
  static bool Takes(DWORD EntryAttributes, DWORD SearchAttributes);

  bool Found() const { return Handle != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAA& Data() const { return FindData; }
  // Moves to the next matching entry; false (and closed) at the end.
  bool Next();

 private:
  bool Matches() const;
  bool SkipToMatch();
  void Close();

  HANDLE Handle = INVALID_HANDLE_VALUE;
  DWORD ExcludeAttributes;
  WIN32_FIND_DATAA FindData{};
};

// Starts a search; when it finds nothing the search is already closed.
inline std::unique_ptr<TFileSearch> FindFirstChecked(const std::string& Path, DWORD Attributes) {
  return std::make_unique<TFileSearch>(Path, Attributes);
}

}  // namespace vx
