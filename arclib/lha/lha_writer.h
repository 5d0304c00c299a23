// Writes LHA archives: -lh5- members, -lh0- for data that does not shrink,
// -lhd- for directories, all with level-2 headers.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "lha_io.h"
#include "lha_types.h"

namespace lha {

class LhaReader;
namespace detail {
class Lh5Encoder;
}

// Compression method for file members that shrink. -lh5- (8 KiB window)
// is what every LHA program reads; -lh6- and -lh7- (32 and 64 KiB windows)
// pack text noticeably smaller and need a reader of the 1990s or later.
enum class Method { Lh5, Lh6, Lh7 };

struct WriterOptions {
  Method method = Method::Lh5;
  bool storeOnly = false;  // every file member as -lh0-
  char osId = 'M';         // OS id of the headers ('M' = MS-DOS)
  // Members of 4 GiB or more get extended header 0x42 (64-bit sizes).
  // False keeps every header to 32-bit sizes, as header levels 0 and 1
  // have them: such a member is refused before anything of it is written.
  bool sizes64 = true;
};

class LhaWriter {
 public:
  // Members go to `sink` from its current position on. The sink must allow
  // seeking back over what this writer wrote.
  explicit LhaWriter(ByteSink& sink, const WriterOptions& options = {});
  ~LhaWriter();
  LhaWriter(const LhaWriter&) = delete;
  LhaWriter& operator=(const LhaWriter&) = delete;

  // Adds a member with the given data (ignored for a directory).
  Result AddMember(const MemberInfo& info, std::span<const uint8_t> data,
                   AddResult* result = nullptr);
  // Adds a member read from `data`, from its offset 0 to its end. The source
  // is read a second time when the member turns out not to shrink and is
  // stored instead.
  Result AddMember(const MemberInfo& info, ByteSource& data, AddResult* result = nullptr);
  // Copies a member of another archive as it is, header and data (for
  // updating an archive into a new file).
  Result CopyMember(LhaReader& reader, const MemberHeader& member);
  // Writes the end mark. The sink then holds a complete archive.
  Result Finish();

  // Bytes written so far.
  uint64_t Size() const { return pos_; }

  // A BadName, and a TooLarge for a member whose expected size the
  // headers cannot hold, leave the writer usable (nothing was written).
  // Any other error leaves a half-written member behind: the writer
  // refuses further calls with BadState and the caller discards the output.
  // A member that grows past 4 GiB while read into a header chosen
  // without 64-bit sizes ends as such an error (TooLarge).

 private:
  Result Fail(Result r);
  bool Write(const uint8_t* data, size_t size);
  Result StoreFrom(ByteSource& data, uint64_t limit, uint64_t* size, uint16_t* crc);

  ByteSink& sink_;
  WriterOptions options_;
  uint64_t pos_ = 0;
  std::unique_ptr<detail::Lh5Encoder> encoder_;  // made once, reset per member
  std::vector<uint8_t> chunk_;
  bool broken_ = false;
  bool finished_ = false;
};

}  // namespace lha
