// Our own ZIP writer: members are deflated with libdeflate, in pieces on
// every core, and written in order into a temporary file beside the
// archive, which takes the archive's place only when it is complete.
// Local headers are written before their data and filled in afterwards
// (the file is seekable), so no data descriptors are needed. Names are
// UTF-8 with the language-encoding flag when they are not plain ASCII;
// ZIP64 records are written only where a size or offset needs them.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/OrderedWork.h"
#include "common/TempFile.h"

namespace zip {

struct ZipMember {
  std::string name;  // UTF-8, '/' separated, no trailing '/'
  bool directory = false;
  bool symlink = false;  // its data is the link's target
  mode_t mode = 0644;
  time_t mtime = 0;
  uint64_t size = 0;  // expected, to know beforehand whether ZIP64 is needed
};

class ZipWriter {
 public:
  // level: -1 the default, 0 stored, 1..9 as zip's levels. Throws Failure
  // (ARCERR_TMP_OPEN) when no file can be made beside the archive.
  ZipWriter(const std::string& archivePosix, const std::string& shownName, int level);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // A member's data is given between Begin and End, in pieces of any size.
  // `written` runs, in order, once the member is in the file, with its
  // original and compressed sizes.
  using Written = std::function<void(uint64_t original, uint64_t compressed)>;
  void Begin(const ZipMember& member, Written written);
  void Write(const void* data, size_t size);
  void End();
  // Writes the central directory and puts the archive in place; returns
  // its size. Throws Failure naming the archive when it cannot be written.
  uint64_t Commit();

  // libdeflate's level for a zip level (-1: the default) and a member of
  // that many bytes (0: stored).
  static int DeflateLevel(int zipLevel, uint64_t memberSize);
  static constexpr uint64_t kSmallMember = 64 << 10;

 private:
  struct Member;
  struct Piece;
  void Submit(bool last);
  void Deliver(Piece& piece);
  void Append(const void* data, size_t size);
  void Put(const void* data, size_t size, uint64_t at);

  std::string shown_;
  int zipLevel_;
  bool forceZip64_;
  arc::TempFile file_;
  uint64_t offset_ = 0;
  std::vector<uint8_t> central_;
  uint64_t entries_ = 0;
  std::shared_ptr<Member> member_;  // between Begin and End
  std::shared_ptr<std::vector<uint8_t>> buffer_;
  // Last: its destructor stops the workers before what they use goes.
  arc::OrderedWork work_;
};

}  // namespace zip
