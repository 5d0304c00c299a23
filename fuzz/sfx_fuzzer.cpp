// The self-extractor's search for the archive appended to its own program,
// on any bytes as the program file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FuzzFile.h"
#include "sfx/SfxPayload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".exe");
  file.Write(data, size);
  const int fd = open(file.Posix().c_str(), O_RDONLY);
  if (fd < 0) return 0;
  uint64_t end = 0;
  if (sfx::ElfImageEnd(fd, end)) {
    sfx::PayloadKind(fd, end);
    struct stat st;
    if (fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_size) >= end) {
      const sfx::Payload payload{fd, end, static_cast<uint64_t>(st.st_size) - end};
      unsigned char head[512];
      payload.ReadAt(0, head, sizeof head);
      payload.ReadSome(payload.size / 2, head, sizeof head);
    }
  }
  close(fd);
  return 0;
}
