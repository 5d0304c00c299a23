// Deflating pieces apart and joining them must give one stream that zlib
// inflates to exactly the input, whatever the bytes and wherever the cuts.
// The first byte picks the level, the next eight four piece sizes.
#include <zlib.h>

#include <cstdlib>
#include <vector>

#include "common/DeflatePiece.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  const int level = 1 + data[0] % 12;
  std::vector<size_t> cuts;
  for (int i = 0; i < 4; ++i) cuts.push_back(static_cast<size_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8));
  const uint8_t* input = data + 9;
  const size_t length = size - 9;
  std::vector<uint8_t> joined;
  size_t at = 0;
  for (size_t cut : cuts) {
    const size_t n = std::min(cut, length - at);
    const auto piece = arc::DeflatePiece(level, input + at, n, false);
    joined.insert(joined.end(), piece.begin(), piece.end());
    at += n;
  }
  const auto tail = arc::DeflatePiece(level, input + at, length - at, true);
  joined.insert(joined.end(), tail.begin(), tail.end());

  std::vector<uint8_t> out(length + 1);
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return 0;
  z.next_in = joined.data();
  z.avail_in = static_cast<uInt>(joined.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int r = inflate(&z, Z_FINISH);
  const bool whole = r == Z_STREAM_END && z.avail_in == 0 && z.total_out == length &&
                     std::equal(out.begin(), out.begin() + static_cast<long>(length), input);
  inflateEnd(&z);
  if (!whole) std::abort();
  return 0;
}
