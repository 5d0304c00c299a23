#include "common/FileFeed.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "common/TempFile.h"

namespace arc {

uint64_t FeedFile(const SourceItem& item, Progress& progress,
                  const std::function<void(const uint8_t* data, size_t size)>& take) {
  const int fd = open(item.posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Failure(ARCERR_FILE_OPEN, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  std::vector<uint8_t> buffer(1 << 18);
  const auto expected = static_cast<uint64_t>(item.st.st_size);
  uint64_t done = 0;
  while (done < expected) {
    const ssize_t n = ReadSome(fd, buffer.data(), static_cast<size_t>(std::min<uint64_t>(buffer.size(), expected - done)));
    if (n < 0) throw Failure(ARCERR_CANNOT_READ, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
    if (n == 0) break;
    take(buffer.data(), static_cast<size_t>(n));
    done += static_cast<uint64_t>(n);
    progress.Step(done);
  }
  return done;
}

}  // namespace arc
