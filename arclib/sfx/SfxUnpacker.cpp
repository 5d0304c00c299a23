#include "sfx/SfxUnpacker.h"

#include <iconv.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/SafePath.h"

namespace sfx {

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

std::string Utf8FromCp932(const std::string& text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return text;
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string in = text;
  std::string out(text.size() * 3 + 4, '\0');
  char* ip = in.data();
  size_t inLeft = in.size();
  char* op = out.data();
  size_t outLeft = out.size();
  const bool ok = iconv(cd, &ip, &inLeft, &op, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  return ok ? out.substr(0, out.size() - outLeft) : text;
}

namespace {

// Names as the user's system writes paths.
std::string Shown(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

}  // namespace

Unpacker::Unpacker(std::string destination, bool overwriteAll, bool interactive)
    : destination_(std::move(destination)), overwriteAll_(overwriteAll), interactive_(interactive) {}

bool Unpacker::MayReplace(const std::string& name) {
  if (overwriteAll_ || answerForAll_ == 1) return true;
  if (answerForAll_ == 0 || !interactive_) return false;
  for (;;) {
    std::printf("%s exists. Replace it? [y]es, [n]o, [A]ll, [N]one: ", name.c_str());
    std::fflush(stdout);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
      std::printf("\n");
      answerForAll_ = 0;
      return false;
    }
    switch (line[0]) {
      case 'y': case 'Y': return true;
      case 'n': return false;
      case 'A': answerForAll_ = 1; return true;
      case 'N': answerForAll_ = 0; return false;
      default: break;
    }
  }
}

bool Unpacker::Begin(const std::string& member, bool directory, std::time_t mtime, unsigned mode) {
  const std::string name = Shown(member);
  current_ = name;
  std::vector<std::string> parts;
  std::string reason, path, root;
  const bool safe = arc::SafeMemberPath(name, parts, reason, &root);
  if (!root.empty() && rootsShown_.insert(root).second) std::printf("%s\n", arc::RootRemovedLine(root).c_str());
  if (!safe) {
    if (directory && reason == arc::kEmptyName) return false;
    Fail(name, reason);
    return false;
  }
  if (!arc::MakeDirectories(destination_, parts, directory, path, reason)) {
    Fail(name, reason);
    return false;
  }
  if (directory) return false;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && !MayReplace(name)) {
    std::printf("kept %s (it exists)\n", name.c_str());
    ++kept_;
    return false;
  }
  if (!file_.Open(path, (mode & 0777) ? (mode & 0777) : 0644)) {
    Fail(name, std::strerror(errno));
    return false;
  }
  mtime_ = mtime;
  writeFailed_ = false;
  return true;
}

bool Unpacker::Write(const void* data, size_t size) {
  if (writeFailed_) return false;
  if (!arc::WriteAll(file_.Fd(), data, size)) {
    writeFailed_ = true;
    writeErrno_ = errno;
    return false;
  }
  return true;
}

void Unpacker::End(bool good, const std::string& reason) {
  if (writeFailed_) {
    file_.Discard();
    Fail(current_, std::strerror(writeErrno_));
    return;
  }
  if (!good) {
    file_.Discard();
    Fail(current_, reason);
    return;
  }
  struct timespec times[2] = {{mtime_, 0}, {mtime_, 0}};
  futimens(file_.Fd(), times);
  if (!file_.Commit()) {
    Fail(current_, std::strerror(errno));
    return;
  }
  std::printf("%s\n", current_.c_str());
  ++written_;
}

void Unpacker::Fail(const std::string& name, const std::string& reason) {
  std::fprintf(stderr, "not extracted: %s (%s)\n", Shown(name).c_str(), reason.c_str());
  ++failed_;
}

void Unpacker::Skip(const std::string& name, const std::string& why) {
  std::printf("skipped %s (%s)\n", Shown(name).c_str(), why.c_str());
  ++skipped_;
}

int Unpacker::Finish() {
  char where[PATH_MAX];
  const char* shown = realpath(destination_.c_str(), where) ? where : destination_.c_str();
  std::printf("extracted %d file%s to %s\n", written_, written_ == 1 ? "" : "s", shown);
  if (kept_ > 0)
    std::printf("kept %d existing file%s; run the program with -y to replace %s\n", kept_, kept_ == 1 ? "" : "s",
                kept_ == 1 ? "it" : "them");
  if (skipped_ > 0)
    std::printf("skipped %d link%s or special file%s\n", skipped_, skipped_ == 1 ? "" : "s", skipped_ == 1 ? "" : "s");
  if (failed_ > 0) std::fprintf(stderr, "%d member%s not extracted\n", failed_, failed_ == 1 ? "" : "s");
  std::fflush(stdout);
  return failed_ == 0 && kept_ == 0 && skipped_ == 0 ? 0 : 1;
}

}  // namespace sfx
