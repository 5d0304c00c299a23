// Where the members of the appended archive go: names checked as our
// libraries check them (nothing lands outside the destination, no links),
// existing files replaced only when the user agrees, every file written
// under a temporary name and put in place only when its data proved good.
#pragma once

#include <ctime>
#include <set>
#include <string>

#include "common/TempFile.h"

namespace sfx {

std::string Utf8FromCp932(const std::string& text);
bool IsUtf8(const std::string& text);
// A name without a Unicode mark: UTF-8 as it stands when it is valid
// UTF-8 (as Linux tools write them), else code page 932.
inline std::string UnmarkedName(const std::string& raw) { return IsUtf8(raw) ? raw : Utf8FromCp932(raw); }

class Unpacker {
 public:
  // overwriteAll: replace existing files without asking. Otherwise the user
  // is asked on the terminal; without one the answer is no.
  Unpacker(std::string destination, bool overwriteAll, bool interactive);
  Unpacker(const Unpacker&) = delete;
  Unpacker& operator=(const Unpacker&) = delete;

  // Starts a member (UTF-8 name). True when its data is to be written
  // through Write and End; false when nothing is to be written (a
  // directory, a refused name, a file kept), already reported.
  bool Begin(const std::string& name, bool directory, std::time_t mtime, unsigned mode);
  // False when the file cannot be written; the member is then lost (End
  // reports it).
  bool Write(const void* data, size_t size);
  // Finishes the member begun last: put in place when good, else dropped
  // and reported with the reason.
  void End(bool good, const std::string& reason);
  // A member or the archive that could not be read.
  void Fail(const std::string& name, const std::string& reason);
  // A member this program does not create (a link, a device).
  void Skip(const std::string& name, const std::string& why);

  // Prints what was done and returns the program's exit status: 0 when
  // every member was extracted, else 1 (kept, skipped or failed ones).
  int Finish();

 private:
  bool MayReplace(const std::string& name);

  std::string destination_;
  bool overwriteAll_;
  bool interactive_;
  std::set<std::string> rootsShown_;  // roots taken off names, each said once
  int answerForAll_ = -1;  // -1 ask, 0 keep all, 1 replace all
  arc::TempFile file_;
  std::string current_;
  std::time_t mtime_ = 0;
  bool writeFailed_ = false;
  int writeErrno_ = 0;
  int written_ = 0, kept_ = 0, skipped_ = 0, failed_ = 0;
};

}  // namespace sfx
