// vxsfx: unpacks the archive appended to this program into the current
// directory (or the directory given as the only argument). Member names
// are checked as our libraries check them: nothing lands outside, links in
// the archive are not created, files appear only when complete.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/SafePath.h"
#include "common/TempFile.h"
#include "sfx/SfxPayload.h"

namespace {

struct Source {
  int fd;
  uint64_t base, size, position = 0;
  std::vector<char> buffer = std::vector<char>(1 << 16);
};

la_ssize_t Read(struct archive*, void* data, const void** block) {
  auto* s = static_cast<Source*>(data);
  *block = s->buffer.data();
  if (s->position >= s->size) return 0;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(s->buffer.size(), s->size - s->position));
  const ssize_t n = pread(s->fd, s->buffer.data(), want, static_cast<off_t>(s->base + s->position));
  if (n < 0) return -1;
  s->position += static_cast<uint64_t>(n);
  return n;
}

la_int64_t Skip(struct archive*, void* data, la_int64_t request) {
  auto* s = static_cast<Source*>(data);
  const uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(request), s->size - std::min(s->position, s->size));
  s->position += n;
  return static_cast<la_int64_t>(n);
}

la_int64_t Seek(struct archive*, void* data, la_int64_t offset, int whence) {
  auto* s = static_cast<Source*>(data);
  int64_t target = offset;
  if (whence == SEEK_CUR) target += static_cast<int64_t>(s->position);
  if (whence == SEEK_END) target += static_cast<int64_t>(s->size);
  if (target < 0) return ARCHIVE_FATAL;
  s->position = static_cast<uint64_t>(target);
  return target;
}

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

// Names without a Unicode mark are code page 932 when they are not UTF-8.
std::string NameOf(archive_entry* entry) {
  const char* raw = archive_entry_pathname(entry);
  std::string name = raw ? raw : "";
  if (IsUtf8(name)) return name;
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return name;
  std::string out(name.size() * 3 + 4, '\0');
  char* in = name.data();
  size_t inLeft = name.size();
  char* o = out.data();
  size_t outLeft = out.size();
  const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  return ok ? out.substr(0, out.size() - outLeft) : name;
}

int Extract(struct archive* a, const std::string& destination) {
  int failures = 0;
  std::vector<char> buffer(1 << 16);
  archive_entry* entry = nullptr;
  for (;;) {
    const int r = archive_read_next_header(a, &entry);
    if (r == ARCHIVE_EOF) break;
    if (r < ARCHIVE_WARN) {
      std::fprintf(stderr, "damaged archive: %s\n", archive_error_string(a));
      return 1;
    }
    const std::string name = NameOf(entry);
    const auto type = archive_entry_filetype(entry);
    if (type != AE_IFREG && type != AE_IFDIR) {
      std::printf("skipped %s (link or special file)\n", name.c_str());
      continue;
    }
    std::vector<std::string> parts;
    std::string reason, path;
    if (!arc::SafeMemberPath(name, parts, reason)) {
      if (type == AE_IFDIR && reason == arc::kEmptyName) continue;
      std::fprintf(stderr, "refused %s (%s)\n", name.c_str(), reason.c_str());
      ++failures;
      continue;
    }
    if (!arc::MakeDirectories(destination, parts, type == AE_IFDIR, path, reason)) {
      std::fprintf(stderr, "refused %s (%s)\n", name.c_str(), reason.c_str());
      ++failures;
      continue;
    }
    if (type == AE_IFDIR) continue;
    arc::TempFile out;
    if (!out.Open(path, archive_entry_perm(entry) ? (archive_entry_perm(entry) & 0777) : 0644)) {
      std::fprintf(stderr, "cannot write %s: %s\n", name.c_str(), std::strerror(errno));
      return 1;
    }
    for (;;) {
      const la_ssize_t n = archive_read_data(a, buffer.data(), buffer.size());
      if (n == 0) break;
      if (n < 0) {
        std::fprintf(stderr, "damaged member %s: %s\n", name.c_str(), archive_error_string(a));
        return 1;
      }
      if (!arc::WriteAll(out.Fd(), buffer.data(), static_cast<size_t>(n))) {
        std::fprintf(stderr, "cannot write %s: %s\n", name.c_str(), std::strerror(errno));
        return 1;
      }
    }
    const time_t t = archive_entry_mtime(entry);
    struct timespec times[2] = {{t, 0}, {t, 0}};
    futimens(out.Fd(), times);
    if (!out.Commit()) {
      std::fprintf(stderr, "cannot write %s: %s\n", name.c_str(), std::strerror(errno));
      return 1;
    }
    std::printf("%s\n", name.c_str());
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  setlocale(LC_ALL, "C.UTF-8");
  const std::string self = "/proc/self/exe";
  const std::string destination = argc > 1 ? argv[1] : ".";
  uint64_t start = 0;
  struct stat st;
  const int fd = open(self.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fstat(fd, &st) != 0 || !sfx::ElfImageEnd(self, start) ||
      start >= static_cast<uint64_t>(st.st_size)) {
    std::fprintf(stderr, "no archive is appended to this program\n");
    return 2;
  }
  const sfx::Kind kind = sfx::PayloadKind(self, start);
  struct archive* a = archive_read_new();
  switch (kind) {
    case sfx::Kind::Zip:
      // Offsets of a ZIP may count from the program's start: read it whole.
      archive_read_support_format_zip_seekable(a);
      start = 0;
      break;
    case sfx::Kind::Cab:
      archive_read_support_format_cab(a);
      break;
    case sfx::Kind::Lha:
      archive_read_support_format_lha(a);
      // LHA names are code page 932 unless a header says otherwise.
      archive_read_set_options(a, "lha:hdrcharset=CP932");
      break;
    case sfx::Kind::Tar:
      archive_read_support_filter_all(a);
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
      break;
    case sfx::Kind::None:
      std::fprintf(stderr, "the data appended to this program is no archive this program knows\n");
      archive_read_free(a);
      close(fd);
      return 2;
  }
  Source source{fd, start, static_cast<uint64_t>(st.st_size) - start};
  archive_read_set_read_callback(a, Read);
  archive_read_set_skip_callback(a, Skip);
  archive_read_set_seek_callback(a, Seek);
  archive_read_set_callback_data(a, &source);
  int result = 1;
  if (archive_read_open1(a) != ARCHIVE_OK)
    std::fprintf(stderr, "cannot read the archive: %s\n", archive_error_string(a));
  else
    result = Extract(a, destination);
  archive_read_free(a);
  close(fd);
  return result;
}
