// LHA: our archive library's reader, which checks each member's CRC-16.
#include <string>

#include "lha_reader.h"
#include "sfx/SfxFormats.h"

namespace sfx {

namespace {

class PayloadSource : public lha::ByteSource {
 public:
  explicit PayloadSource(const Payload& a) : a_(a) {}
  std::ptrdiff_t Read(uint8_t* data, size_t size) override {
    const std::ptrdiff_t n = a_.ReadSome(position_, data, size);
    if (n > 0) position_ += static_cast<uint64_t>(n);
    return n;
  }
  bool Seek(uint64_t offset) override {
    position_ = offset;
    return true;
  }

 private:
  const Payload& a_;
  uint64_t position_ = 0;
};

}  // namespace

void UnpackLha(const Payload& a, Unpacker& out) {
  PayloadSource source(a);
  lha::LhaReader reader(source);
  for (;;) {
    lha::MemberHeader m;
    const lha::Result r = reader.Next(&m);
    if (r == lha::Result::End) return;
    if (r != lha::Result::Ok) {
      out.Fail("the archive", std::string("header ") + lha::ResultText(r));
      return;
    }
    const std::string name = Utf8FromCp932(m.name);
    // A Unix symbolic link (the reader parts its name from its target) is
    // not made.
    if (m.symlink) {
      out.Skip(name, "link");
      continue;
    }
    if (!m.directory && !lha::LhaReader::CanDecode(m.method)) {
      out.Fail(name, "unsupported method " + m.method);
      continue;
    }
    if (!out.Begin(name, m.directory, m.unixTime, 0644)) continue;
    const lha::Result x = reader.Extract(m, [&](const uint8_t* p, size_t n) { return out.Write(p, n); });
    out.End(x == lha::Result::Ok, lha::ResultText(x));
  }
}

}  // namespace sfx
