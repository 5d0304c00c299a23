// A drive C: with a tree of real files for the file-list filter, and the
// filter run on a private option set.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archives/ArchiverOptions.h"
#include "archives/Filters.h"
#include "support/Scratch.h"

namespace filtertest {

class FilterTest : public ::testing::Test {
 protected:
  // Creates the files (relative POSIX paths under C:) with a little content.
  void Files(std::initializer_list<const char*> names) {
    for (const char* name : names) drive.WriteFile(name, "x");
  }

  // FilterFiles over Entries on a fresh copy (used) of the options set so
  // far, as the archive component calls it.
  vx::TStringList Filter(const std::vector<std::string>& Entries) {
    const vx::TStringList list(Entries.begin(), Entries.end());
    used.Assign(&options);
    return vx::FilterFiles(used, &list);
  }

  vxtest::DriveC drive;
  vx::TArchiverOptions options;
  vx::TArchiverOptions used;
};

// Names and patterns in tests are written with "/" for readability.
inline std::string Win(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

inline vx::TStringList WinList(std::initializer_list<const char*> paths) {
  vx::TStringList out;
  for (const char* path : paths) out.push_back(Win(path));
  return out;
}

}  // namespace filtertest
