// Which file a path names: the volume and file index the file system
// reports, so that links and other spellings of a path are recognised.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32api.h"

namespace vx {

struct TFileIdentity {
  DWORD Volume = 0;
  uint64_t Index = 0;
  bool operator==(const TFileIdentity&) const = default;
};

// False when the path cannot be opened or its file system reports no file
// index (then nothing can be told apart by identity).
bool GetFileIdentity(const std::string& Path, TFileIdentity& Identity);

// One file, to tell which other paths name it too: the same full path
// (letters compared without case) or the same volume and file index. Its
// own path and identity are worked out once.
class TSameFile {
 public:
  explicit TSameFile(const std::string& Path);
  bool NamedBy(const std::string& Other) const;

 private:
  std::string FullPath;
  TFileIdentity Identity;
  bool Known;
};

// The folders of a walk from its start down to the folder being walked.
// A folder whose identity is already on the path is a link back to one of
// them: walking it again would never end. A second link to a folder beside
// the path is walked like any other folder.
class TWalkPath {
 public:
  // False for a cycle; otherwise the folder is on the path until Leave.
  bool Enter(const std::string& Folder);
  void Leave();

 private:
  // One entry per entered folder; an index of 0 stands for a folder whose
  // identity is unknown, and never matches.
  std::vector<TFileIdentity> Path;
};

// Enters a folder of a walk and leaves it on every way out.
class TWalkStep {
 public:
  TWalkStep(TWalkPath& Walk, const std::string& Folder) : Walk(Walk), Entered(Walk.Enter(Folder)) {}
  ~TWalkStep() {
    if (Entered) Walk.Leave();
  }
  TWalkStep(const TWalkStep&) = delete;
  TWalkStep& operator=(const TWalkStep&) = delete;
  bool Cycle() const { return !Entered; }

 private:
  TWalkPath& Walk;
  const bool Entered;
};

}  // namespace vx
