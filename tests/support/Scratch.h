// Scratch directories for tests: a fresh POSIX directory mapped to a drive
// letter, and a library folder put on the search path.
#pragma once

#include <string>
#include <vector>

namespace vxtest {

// A new empty directory under $TMPDIR (or /tmp), removed with its contents
// by the destructor.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }
  // Creates a file (and its parent directories) below the directory.
  void WriteFile(const std::string& relative, const std::string& content) const;
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  void MakeDir(const std::string& relative) const;

 private:
  std::string path_;
};

// A ScratchDir mapped to drive C: while it lives.
class DriveC : public ScratchDir {
 public:
  DriveC();
  ~DriveC();
};

// Puts the named test libraries ("<variant>/<file>", e.g. "full/UNLHA32.DLL")
// into a fresh folder at the front of PATH, and restores PATH afterwards.
class TestLibraries {
 public:
  explicit TestLibraries(const std::vector<std::string>& libraries);
  ~TestLibraries();
  TestLibraries(const TestLibraries&) = delete;
  TestLibraries& operator=(const TestLibraries&) = delete;
  // Adds one more library to the folder.
  void Add(const std::string& library);
  // Removes a library file from the folder again.
  void Remove(const std::string& fileName);
  const std::string& Folder() const { return dir_.Path(); }

 private:
  ScratchDir dir_;
  std::string oldPath_;
};

// Folder of the built test libraries ($VX_TESTLIBS).
std::string TestLibsRoot();

}  // namespace vxtest
