// A stage between an archive writer and its file: it takes the archive's
// plain byte stream in order and writes what it makes of it (a compressed
// stream) through the sink the writer gives it. Used where libarchive's own
// filters would compress on one core only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace arc {

class OutputStage {
 public:
  using Sink = std::function<void(const void* data, size_t size)>;

  virtual ~OutputStage() = default;
  // The next bytes of the plain stream. May write output already.
  virtual void Write(const uint8_t* data, size_t size) = 0;
  // The plain stream has ended: writes the rest.
  virtual void Finish() = 0;

  // Where the output goes; the sink throws Failure when the file cannot
  // be written. Set before the first Write.
  void SetSink(Sink sink) { sink_ = std::move(sink); }

 protected:
  void Emit(const void* data, size_t size) {
    if (size != 0) sink_(data, size);
  }

 private:
  Sink sink_;
};

}  // namespace arc
