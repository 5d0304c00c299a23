// The files a packing command names: plain names, wildcards and directory
// trees, each with the name it gets inside the archive.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace arc {

struct SourceItem {
  std::string posixPath;   // the file on disk
  std::string name;        // name in the archive: UTF-8, '/' separated
  std::string shownName;   // code page 932 name for reports
  bool directory = false;
  struct stat st {};       // of the file itself (links followed)
};

struct SourceRules {
  bool keepPaths = true;          // paths below the base (or the drive); else bare names
  bool recurseWildcards = false;  // wildcards match in subdirectories too
  bool expandDirectories = true;  // a directory brings its whole tree
  bool directoryEntries = true;   // directories become members of their own
  bool wildcardClasses = false;   // "[...]" is a wildcard class (ZIP)
};

// Throws Failure (ARCERR_FILE_OPEN) naming the first argument that matches
// nothing or a directory that cannot be read, and (ARCERR_NOT_FILENAME) for
// a name that cannot be stored.
std::vector<SourceItem> CollectSources(const std::string& baseDirWin, const std::vector<std::string>& args,
                                       const SourceRules& rules);

}  // namespace arc
