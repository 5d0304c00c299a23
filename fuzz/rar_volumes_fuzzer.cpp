// UNRAR32.DLL on a volume set of two: the input's first four bytes give
// where the rest splits into the first and the second volume, written
// beside each other under the names of a set.
#include <algorithm>

#include "ArchiveEntries.h"

VXFUZZ_DECLARE_ENTRIES(Unrar)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  static const vxfuzz::FuzzFile first(".part1.rar"), second(".part2.rar");
  const uint32_t split = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
  const size_t rest = size - 4;
  const size_t cut = rest == 0 ? 0 : split % (rest + 1);
  first.Write(data + 4, cut);
  second.Write(data + 4 + cut, rest - cut);
  vxfuzz::ExerciseArchive(VXFUZZ_ENTRIES(Unrar, "-t"), first.Win());
  return 0;
}
