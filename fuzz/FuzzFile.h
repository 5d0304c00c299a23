// The fuzz input as a file: our libraries take archives by name, as the
// back-ends hand them over. One file per process, rewritten for every input,
// removed at exit.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vxfuzz {

class FuzzFile {
 public:
  explicit FuzzFile(const std::string& extension) {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    posix_ = std::string(dir) + "/vxfuzz-" + std::to_string(getpid()) + extension;
    // Drive Z: is the root of the POSIX file system.
    win_ = "Z:" + posix_;
    for (char& c : win_)
      if (c == '/') c = '\\';
  }
  ~FuzzFile() { std::remove(posix_.c_str()); }
  FuzzFile(const FuzzFile&) = delete;
  FuzzFile& operator=(const FuzzFile&) = delete;

  void Write(const uint8_t* data, size_t size) const {
    FILE* f = std::fopen(posix_.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
  }
  const std::string& Posix() const { return posix_; }
  const std::string& Win() const { return win_; }
  // The archive name quoted for a command line.
  std::string Quoted() const { return "\"" + win_ + "\""; }

 private:
  std::string posix_, win_;
};

}  // namespace vxfuzz
