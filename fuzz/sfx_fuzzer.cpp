// The self-extractor's search for the archive appended to its own program,
// on any bytes as the program file.
#include "FuzzFile.h"
#include "sfx/SfxPayload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".exe");
  file.Write(data, size);
  uint64_t end = 0;
  if (sfx::ElfImageEnd(file.Posix(), end)) sfx::PayloadKind(file.Posix(), end);
  return 0;
}
