#include "common/Extractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "common/SafePath.h"
#include "common/TempFile.h"
#include "common/Wildcard.h"
#include "common/WinNames.h"

namespace arc {

namespace {

// The bytes of a file this run wrote, for a hard link to it.
void ReadFile(const std::string& path, const std::string& shown, const std::function<void(const void*, size_t)>& sink) {
  struct Fd {
    int fd;
    ~Fd() {
      if (fd >= 0) close(fd);
    }
  } in{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)};
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = in.fd < 0 ? -1 : read(in.fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Failure(ARCERR_CANNOT_READ, "cannot read " + shown + ": " + std::strerror(errno));
    if (n == 0) return;
    sink(buffer.data(), static_cast<size_t>(n));
  }
}

}  // namespace

Extractor::Extractor(const ExtractRules& rules, Progress& progress, Report& report)
    : rules_(rules), progress_(progress), report_(report) {}

bool Extractor::Selected(const std::string& nameUtf8) const {
  if (rules_.patterns.empty()) return true;
  const std::string name = WithBackslashes(Cp932ForReport(nameUtf8));
  const std::string base = SplitPath(name).back();
  for (const std::string& raw : rules_.patterns) {
    const std::string pattern = WithBackslashes(raw);
    if (MatchWildcard(pattern, name, rules_.patternClasses)) return true;
    // A pattern without a directory also picks members by their bare name.
    if (SplitPath(pattern).size() == 1 && MatchWildcard(pattern, base, rules_.patternClasses)) return true;
  }
  return false;
}

void Extractor::Refuse(const MemberToExtract& member, const std::string& reason) {
  ++refused_;
  report_.Line("Refused: " + Cp932ForReport(member.name) + " (" + reason + ")");
}

bool Extractor::Destination(const MemberToExtract& member, std::string& path) {
  std::vector<std::string> parts;
  std::string reason;
  const bool dir = member.kind == MemberToExtract::Kind::Directory;
  std::string root;
  const bool safe = SafeMemberPath(member.name, parts, reason, &root);
  if (!root.empty() && rootsShown_.insert(root).second) report_.Line(RootRemovedLine(Cp932ForReport(root)));
  if (!safe) {
    // "./" names the destination itself: nothing to make.
    if (!(dir && parts.empty() && reason == kEmptyName)) Refuse(member, reason);
    return false;
  }
  if (rules_.junkPaths) {
    if (dir) return false;
    parts = {parts.back()};
  }
  if (!MakeDirectories(rules_.destination, parts, dir, path, reason)) {
    Refuse(member, reason);
    return false;
  }
  return true;
}

void Extractor::Extract(const MemberToExtract& member, const DataReader& data) {
  using Kind = MemberToExtract::Kind;
  if (member.kind == Kind::Link || member.kind == Kind::Other) {
    report_.Line("Skipped: " + Cp932ForReport(member.name) + " (link or special file)");
    ++skipped_;
    return;
  }
  std::string path;
  if (!Destination(member, path)) return;
  if (member.kind == Kind::Directory) return;
  const std::string shown = Cp932ForReport(member.name);
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      Refuse(member, "a directory of that name exists");
      return;
    }
    if (!rules_.overwrite || (rules_.newerOnly && member.info.mtime <= st.st_mtime)) {
      report_.Line("Skipped: " + shown + " (exists)");
      return;
    }
  }
  // A hard link is made as a copy of the file it names: no links are made.
  DataReader copy;
  if (member.kind == Kind::HardLink) {
    std::string from;
    if (!WrittenBefore(member.linkTarget, from)) {
      Refuse(member, "hard link to a file not extracted before it");
      return;
    }
    copy = [from, target = Cp932ForReport(member.linkTarget)](const std::function<void(const void*, size_t)>& sink) {
      ReadFile(from, target, sink);
    };
  }
  progress_.Begin(shown, Cp932ForReport(path), member.info);
  TempFile out;
  if (!out.Open(path, member.mode & 0777))
    throw WriteFailure(shown);
  uint64_t written = 0;
  bool endsInHole = false;
  (copy ? copy : data)([&](const void* block, size_t size) {
    // A hole of a sparse member (no data) stays a hole in the file.
    endsInHole = block == nullptr;
    if (block == nullptr ? lseek(out.Fd(), static_cast<off_t>(size), SEEK_CUR) < 0
                         : !WriteAll(out.Fd(), block, size))
      throw WriteFailure(shown);
    written += size;
    progress_.Step(written);
  });
  if (endsInHole && ftruncate(out.Fd(), static_cast<off_t>(written)) != 0)
    throw WriteFailure(shown);
  if (member.info.mtime != 0) {
    struct timespec times[2] = {{member.info.mtime, 0}, {member.info.mtime, 0}};
    futimens(out.Fd(), times);
  }
  if (!out.Commit()) throw WriteFailure(shown);
  written_.insert(path);
  ++files_;
  original_ += written;
  packed_ += member.info.packed;
  report_.Member(shown, written, member.info.packed);
}

bool Extractor::WrittenBefore(const std::string& nameUtf8, std::string& path) {
  std::vector<std::string> parts;
  std::string reason;
  if (!SafeMemberPath(nameUtf8, parts, reason)) return false;
  if (rules_.junkPaths) parts = {parts.back()};
  path = rules_.destination;
  for (const std::string& part : parts) path += (path.empty() || path.back() != '/') ? "/" + part : part;
  struct stat st;
  // Only a file this run wrote, still a plain file: never one the user had.
  return written_.count(path) != 0 && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void Extractor::Finish() {
  report_.Totals(files_, original_, packed_);
  if (refused_ > 0)
    throw Failure(ARCERR_CANNOT_WRITE, std::to_string(refused_) + " member(s) refused (each named above with "
                                                                  "the reason)");
  // Not everything asked for was made: the result must not say success.
  if (skipped_ > 0)
    throw Failure(ARCERR_NOT_SUPPORT, std::to_string(skipped_) + " link(s) or special file(s) not extracted: "
                                                                 "links are not created");
}

void ExtractMembers(ArchiveReader& reader, Extractor& extractor, const std::function<bool(size_t, uint32_t&)>& crcs) {
  for (size_t index = 0; archive_entry* entry = reader.Next(); ++index) {
    MemberToExtract m;
    m.name = ArchiveReader::NameOf(entry);
    if (!extractor.Selected(m.name)) continue;
    RefuseUnreadable(entry);
    m.info.name = Cp932ForReport(m.name);
    m.info.original = archive_entry_size_is_set(entry) ? static_cast<uint64_t>(archive_entry_size(entry)) : 0;
    m.info.packed = m.info.original;
    m.info.mtime = archive_entry_mtime(entry);
    m.mode = archive_entry_perm(entry) == 0 ? 0644 : (archive_entry_perm(entry) & 0777);
    const char* hardlink = archive_entry_hardlink_utf8(entry);
    if (hardlink == nullptr) hardlink = archive_entry_hardlink(entry);
    // A pax hard link may carry the file's data itself: that is the file.
    if (hardlink != nullptr && m.info.original > 0) hardlink = nullptr;
    switch (archive_entry_filetype(entry)) {
      case AE_IFREG:
        m.kind = hardlink != nullptr ? MemberToExtract::Kind::HardLink : MemberToExtract::Kind::File;
        break;
      case AE_IFDIR:
        m.kind = MemberToExtract::Kind::Directory;
        break;
      case AE_IFLNK:
        m.kind = MemberToExtract::Kind::Link;
        break;
      default:
        m.kind = hardlink != nullptr ? MemberToExtract::Kind::HardLink : MemberToExtract::Kind::Other;
        break;
    }
    if (hardlink != nullptr) m.linkTarget = hardlink;
    extractor.Extract(m, [&](const std::function<void(const void*, size_t)>& sink) {
      ReadChecked(reader, index, m.name, crcs, sink, true);
    });
  }
  extractor.Finish();
}

}  // namespace arc
