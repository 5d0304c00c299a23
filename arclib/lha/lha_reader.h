// Lists the members of an LHA archive (header levels 0 to 3) and decodes
// -lh0-, -lz4-, -pm0- (stored), -lh1-, -lzs-, -lz5- and -lh4- to -lh7- data.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "lha_io.h"
#include "lha_types.h"

namespace lha {

// Receives data piece by piece; false stops with Result::WriteError.
using DataFn = std::function<bool(const uint8_t*, size_t)>;

class LhaReader {
 public:
  // The archive starts at offset `start` of `source` (offsets in the
  // headers it gives are counted from the source's offset 0).
  explicit LhaReader(ByteSource& source, uint64_t start = 0) : source_(source), next_(start) {}
  LhaReader(const LhaReader&) = delete;
  LhaReader& operator=(const LhaReader&) = delete;

  // The next member's header: Ok, End at the end mark or the end of the
  // data, Corrupt for a damaged header (listing stops there), Unsupported
  // for a header level this reader does not know.
  Result Next(MemberHeader* member);
  // Decodes a member that Next returned and checks its CRC. Directories give
  // no data. Unsupported for other methods.
  Result Extract(const MemberHeader& member, const DataFn& out);
  Result Extract(const MemberHeader& member, std::vector<uint8_t>* data);
  // The member's bytes as they stand in the archive, header and data.
  Result ReadRaw(const MemberHeader& member, const DataFn& out);

  // Whether Extract can decode a method.
  static bool CanDecode(const std::string& method);

  // Where the archive starts: offset 0 when a sound header stands there;
  // in a program (MS-DOS/Windows "MZ" or ELF, a self-extractor) the first
  // offset below `limit` at which one does, as LHA programs search. False
  // when there is none.
  static bool FindStart(ByteSource& source, uint64_t limit, uint64_t* start);

 private:
  Result ReadExact(uint64_t offset, uint8_t* data, size_t size);

  ByteSource& source_;
  uint64_t next_;       // offset of the next header
  bool done_ = false;
};

}  // namespace lha
