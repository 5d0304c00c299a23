#include "common/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace arc {

namespace {

mode_t CurrentUmask() {
  static const mode_t mask = [] {
    const mode_t m = umask(022);
    umask(m);
    return m;
  }();
  return mask;
}

}  // namespace

TempFile::~TempFile() { Discard(); }

bool TempFile::Open(const std::string& target, mode_t mode) {
  Discard();
  target_ = target;
  mode_ = mode;
  const size_t slash = target.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  std::string pattern = dir + (dir.back() == '/' ? "" : "/") + ".vxarc-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  path_ = name.data();
  return true;
}

bool TempFile::Commit() {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  fchmod(fd_, mode_ & ~CurrentUmask() & 07777);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 || rename(path_.c_str(), target_.c_str()) != 0) {
    const int saved = errno;
    unlink(path_.c_str());
    path_.clear();
    errno = saved;
    return false;
  }
  path_.clear();
  return true;
}

void TempFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!path_.empty()) unlink(path_.c_str());
  path_.clear();
}

namespace {

// Writes all bytes through `put(bytes, count, done)`, which writes some of
// them and returns how many (-1 with errno); a write of nothing is a full disk.
template <typename Put>
bool WriteLoop(const void* data, size_t size, Put put) {
  const char* p = static_cast<const char*>(data);
  uint64_t done = 0;
  while (size > 0) {
    const ssize_t n = put(p, size, done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
    done += static_cast<uint64_t>(n);
  }
  return true;
}

}  // namespace

bool WriteAll(int fd, const void* data, size_t size) {
  return WriteLoop(data, size, [fd](const char* p, size_t n, uint64_t) { return write(fd, p, n); });
}

bool WriteAllAt(int fd, const void* data, size_t size, uint64_t at) {
  return WriteLoop(data, size, [fd, at](const char* p, size_t n, uint64_t done) {
    return pwrite(fd, p, n, static_cast<off_t>(at + done));
  });
}

ssize_t ReadSome(int fd, void* data, size_t size) {
  for (;;) {
    const ssize_t n = read(fd, data, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

}  // namespace arc
