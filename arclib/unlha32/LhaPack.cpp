// a, u, f and d: a new archive is written beside the old one, unchanged
// members copied as they are, and put in its place only when complete.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "common/Progress.h"
#include "common/Sources.h"
#include "common/TempFile.h"
#include "common/Wildcard.h"
#include "common/WinNames.h"
#include "unlha32/LhaCommand.h"
#include "unlha32/LhaFiles.h"

namespace unlha32 {

namespace {

using arc::Failure;

std::string Key(const std::string& cp932) { return arc::UpperAscii(arc::WithBackslashes(cp932)); }

bool Excluded(const std::vector<std::string>& patterns, const std::string& nameCp932) {
  const std::string name = arc::WithBackslashes(nameCp932);
  for (const std::string& p : patterns)
    if (arc::MatchWildcard(arc::WithBackslashes(p), name) ||
        arc::MatchWildcard(arc::WithBackslashes(p), arc::SplitPath(name).back()))
      return true;
  return false;
}

// Writes a new archive beside the old one and renames it into place.
class Rewrite {
 public:
  Rewrite(const std::string& posix, const std::string& shown, const lha::WriterOptions& options)
      : posix_(posix), shown_(shown) {
    if (!temp_.Open(posix, 0666))
      throw Failure(ARCERR_TMP_OPEN, "cannot create a file beside " + shown + ": " + std::strerror(errno));
    file_ = std::make_unique<StdFile>(temp_.Fd(), "wb");
    if (file_->Get() == nullptr) throw Failure(ARCERR_TMP_OPEN, "cannot write " + shown);
    sink_ = std::make_unique<lha::FileSink>(file_->Get());
    writer_ = std::make_unique<lha::LhaWriter>(*sink_, options);
  }
  lha::LhaWriter& Writer() { return *writer_; }
  void Check(lha::Result r, const std::string& what) {
    if (r == lha::Result::Ok) return;
    if (r == lha::Result::WriteError && errno != 0) throw Failure(arc::WriteErrorCode(errno), "cannot write " + shown_);
    throw Failure(ResultCode(r), what + ": " + lha::ResultText(r));
  }
  uint64_t Commit() {
    Check(writer_->Finish(), "cannot finish " + shown_);
    errno = 0;
    if (!file_->Close()) throw arc::WriteFailure(shown_);
    const uint64_t size = writer_->Size();
    if (!temp_.Commit()) throw Failure(arc::WriteErrorCode(errno), "cannot write " + shown_);
    return size;
  }

 private:
  std::string posix_, shown_;
  arc::TempFile temp_;
  std::unique_ptr<StdFile> file_;
  std::unique_ptr<lha::FileSink> sink_;
  std::unique_ptr<lha::LhaWriter> writer_;
};

// The header level -h asks for. Members are written with level-2 headers
// whatever it says, and their sizes stay 32-bit at every level: the writer
// can give a level-2 header the 64-bit sizes of extended header 0x42, but
// lhasa and 7-Zip do not read it and would unpack such a member short.
int HeaderLevel(const arc::ParsedLine& line) { return line.switches.Number("h", 2); }

lha::WriterOptions Options(const arc::ParsedLine& line) {
  lha::WriterOptions o;
  const int method = line.switches.Number("o", -1);
  if (method == 6) o.method = lha::Method::Lh6;
  if (method == 7) o.method = lha::Method::Lh7;
  o.storeOnly = line.switches.Number("z", 0) > 0;
  o.sizes64 = false;
  return o;
}

// Files of 4 GiB or more are refused while the list is
// read, before anything is compressed.
void RefuseTooLarge(const arc::ParsedLine& line, const std::vector<arc::SourceItem>& items) {
  const int level = HeaderLevel(line);
  for (const arc::SourceItem& item : items)
    if (!item.directory && static_cast<uint64_t>(item.st.st_size) > UINT32_MAX) {
      if (level == 0 || level == 1)
        throw Failure(ARCERR_NOT_SUPPORT, "cannot add " + item.shownName + ": a file of 4 GiB or more does not fit a level-" +
                                              std::to_string(level) + " header (-h" + std::to_string(level) + ")");
      throw Failure(ARCERR_NOT_SUPPORT, "cannot add " + item.shownName +
                                            ": a file of 4 GiB or more, which other LHA readers would unpack short");
    }
}

uint8_t DosAttributes(const arc::SourceItem& item) {
  uint8_t a = item.directory ? 0x10 : 0x20;
  if ((item.st.st_mode & 0200) == 0) a |= 0x01;
  return a;
}

}  // namespace

void Pack(const arc::ParsedLine& line, char command, arc::Report& report) {
  if (line.files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no files to pack");
  arc::SourceRules rules;
  rules.keepPaths = line.switches.Number("x", 1) != 0;
  rules.recurseWildcards = line.switches.Number("r", 0) > 0;
  std::vector<arc::SourceItem> items = arc::CollectSources(line.directory, line.files, rules);
  const std::vector<std::string> excluded = line.switches.All("jx");
  // Names in the archive: code page 932 with backslashes.
  std::vector<std::string> names;
  std::map<std::string, size_t> byKey;
  std::vector<arc::SourceItem> kept;
  for (const arc::SourceItem& item : items) {
    std::string cp932;
    if (!arc::ToCp932(item.name, cp932))
      throw Failure(ARCERR_NOT_FILENAME, "the name " + item.shownName + " cannot be stored in code page 932");
    cp932 = arc::WithBackslashes(cp932);
    if (Excluded(excluded, cp932)) continue;
    byKey.emplace(Key(cp932), kept.size());
    kept.push_back(item);
    names.push_back(cp932);
  }
  RefuseTooLarge(line, kept);
  const bool replaceAlways = command == 'A' || line.switches.Number("c", 0) > 0;
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  struct stat st;
  const bool existing = stat(posix.c_str(), &st) == 0;
  if (command == 'F' && !existing) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "cannot find the archive " + line.archive);

  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  Rewrite out(posix, line.archive, Options(line));
  std::vector<bool> done(kept.size(), false);
  uint64_t members = 0, original = 0, packed = 0;
  auto add = [&](size_t i) {
    const arc::SourceItem& item = kept[i];
    done[i] = true;
    lha::MemberInfo info;
    info.name = names[i];
    info.directory = item.directory;
    info.unixTime = static_cast<uint32_t>(item.st.st_mtime);
    info.dosAttributes = DosAttributes(item);
    info.expectedSize = item.directory ? 0 : static_cast<uint64_t>(item.st.st_size);
    arc::EntryInfo entry;
    entry.name = names[i];
    entry.original = item.directory ? 0 : static_cast<uint64_t>(item.st.st_size);
    entry.mtime = item.st.st_mtime;
    entry.directory = item.directory;
    progress.Begin(item.shownName, names[i], entry);
    lha::AddResult result;
    if (item.directory) {
      out.Check(out.Writer().AddMember(info, std::span<const uint8_t>(), &result), "cannot add " + item.shownName);
    } else {
      StdFile file(item.posixPath, "rb");
      if (file.Get() == nullptr)
        throw Failure(ARCERR_FILE_OPEN, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
      ProgressSource source(file.Get(), progress);
      const lha::Result r = out.Writer().AddMember(info, source, &result);
      if (source.stopped) std::rethrow_exception(source.stopped);
      if (r == lha::Result::ReadError) throw Failure(ARCERR_CANNOT_READ, "cannot read the file " + item.shownName);
      if (r == lha::Result::TooLarge)
        throw Failure(ARCERR_NOT_SUPPORT, "cannot add " + item.shownName +
                                              ": it grew to 4 GiB or more while it was read, past what its header holds");
      out.Check(r, "cannot add " + item.shownName);
    }
    ++members;
    original += result.originalSize;
    packed += result.compressedSize;
    report.Member(names[i] + (item.directory ? "\\" : ""), result.originalSize, result.compressedSize, result.method);
  };
  if (existing) {
    StdFile in(posix, "rb");
    if (in.Get() == nullptr) throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + line.archive);
    lha::FileSource source(in.Get());
    lha::LhaReader reader(source);
    lha::MemberHeader m;
    for (;;) {
      const lha::Result r = reader.Next(&m);
      if (r == lha::Result::End) break;
      if (r != lha::Result::Ok) throw Failure(ResultCode(r), "cannot read the archive " + line.archive + ": " + lha::ResultText(r));
      const auto it = byKey.find(Key(m.name));
      if (it != byKey.end() && !done[it->second] &&
          (replaceAlways || kept[it->second].st.st_mtime > static_cast<time_t>(m.unixTime))) {
        add(it->second);
        continue;
      }
      if (it != byKey.end()) done[it->second] = true;
      out.Check(out.Writer().CopyMember(reader, m), "cannot copy " + m.name);
      ++members;
    }
  }
  if (command != 'F')
    for (size_t i = 0; i < kept.size(); ++i)
      if (!done[i]) add(i);
  const uint64_t size = out.Commit();
  progress.End();
  report.Totals(members, original, packed);
  report.Line("Archive size " + std::to_string(size) + " bytes");
}

void Delete(const arc::ParsedLine& line, arc::Report& report) {
  if (line.files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no names to delete");
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  StdFile in(posix, "rb");
  if (in.Get() == nullptr) throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + line.archive);
  lha::FileSource source(in.Get());
  lha::LhaReader reader(source);
  Rewrite out(posix, line.archive, lha::WriterOptions());
  lha::MemberHeader m;
  uint64_t deleted = 0, members = 0;
  for (;;) {
    const lha::Result r = reader.Next(&m);
    if (r == lha::Result::End) break;
    if (r != lha::Result::Ok) throw Failure(ResultCode(r), "cannot read the archive " + line.archive + ": " + lha::ResultText(r));
    if (Excluded(line.files, m.name)) {
      report.Line("deleted " + m.name);
      ++deleted;
      continue;
    }
    out.Check(out.Writer().CopyMember(reader, m), "cannot copy " + m.name);
    ++members;
  }
  if (deleted == 0) throw Failure(ARCERR_NOT_FILENAME, "no member matches the names to delete");
  out.Commit();
  report.Line(std::to_string(deleted) + " member(s) deleted, " + std::to_string(members) + " left");
}

}  // namespace unlha32
