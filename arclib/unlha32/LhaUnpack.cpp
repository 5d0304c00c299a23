// x, e, t, l, v and s, and the listing entries, on arclha's reader.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Extractor.h"
#include "common/Failure.h"
#include "common/Progress.h"
#include "common/SfxStub.h"
#include "common/WinNames.h"
#include "unlha32/LhaCommand.h"
#include "unlha32/LhaFiles.h"

namespace unlha32 {

namespace {

using arc::Failure;

// How far into a program the archive is looked for.
constexpr uint64_t kProgramSearchLimit = 16 << 20;

// An open archive and its reader.
class Archive {
 public:
  explicit Archive(const std::string& posix) : file_(posix, "rb") {
    if (file_.Get() == nullptr) throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + arc::Cp932ForReport(posix));
    struct stat st;
    if (fstat(fileno(file_.Get()), &st) != 0 || !S_ISREG(st.st_mode))
      throw Failure(ARCERR_ARC_FILE_OPEN, "not a file: " + arc::Cp932ForReport(posix));
    size_ = static_cast<uint64_t>(st.st_size);
    source_ = std::make_unique<lha::FileSource>(file_.Get());
    // A self-extracting program holds the archive after its own code.
    uint64_t start = 0;
    if (!lha::LhaReader::FindStart(*source_, kProgramSearchLimit, &start)) start = 0;
    reader_ = std::make_unique<lha::LhaReader>(*source_, start);
  }
  // The next member; false at the end. Throws for damage.
  bool Next(lha::MemberHeader& m) {
    const lha::Result r = reader_->Next(&m);
    if (r == lha::Result::End) {
      // A file that holds no member at all is no LHA archive (an empty
      // archive is its end mark alone).
      if (!seen_ && size_ != 1) throw Failure(ARCERR_NOT_ARC_FILE, "not an LHA archive");
      return false;
    }
    if (r != lha::Result::Ok) throw Failure(seen_ ? ResultCode(r) : ARCERR_NOT_ARC_FILE, std::string("the archive is damaged: ") + lha::ResultText(r));
    seen_ = true;
    return true;
  }
  lha::LhaReader& Reader() { return *reader_; }

 private:
  StdFile file_;
  uint64_t size_ = 0;
  bool seen_ = false;
  std::unique_ptr<lha::FileSource> source_;
  std::unique_ptr<lha::LhaReader> reader_;
};

arc::EntryInfo InfoOf(const lha::MemberHeader& m) {
  arc::EntryInfo e;
  e.name = m.name;
  e.original = m.originalSize;
  e.packed = m.compressedSize;
  e.crc = m.crc16;
  e.mtime = m.unixTime;
  e.attributes = m.dosAttributes;
  e.method = m.method;
  e.directory = m.directory;
  if (e.directory) e.attributes |= FILE_ATTRIBUTE_DIRECTORY;
  e.osType = static_cast<unsigned char>(m.osId);
  return e;
}

// Decodes a member into sink; a failure inside sink (a write error, a
// stop request) is carried past arclha and rethrown here.
void Decode(lha::LhaReader& reader, const lha::MemberHeader& m,
            const std::function<void(const void*, size_t)>& sink) {
  std::exception_ptr failure;
  const lha::Result r = reader.Extract(m, [&](const uint8_t* data, size_t size) {
    try {
      sink(data, size);
      return true;
    } catch (...) {
      failure = std::current_exception();
      return false;
    }
  });
  if (failure) std::rethrow_exception(failure);
  if (r == lha::Result::Unsupported) throw Failure(ResultCode(r), m.name + ": unsupported method " + m.method);
  if (r != lha::Result::Ok) throw Failure(ResultCode(r), m.name + ": " + lha::ResultText(r));
}

std::string LinkText(const lha::MemberHeader& m) { return m.name + " -> " + m.linkTarget; }

// A member whose method arclha does not decode: reported, passed over, and
// counted for the result, so that the members after it are still served.
bool PassUndecodable(const lha::MemberHeader& m, arc::Report& report) {
  if (m.directory || m.symlink || lha::LhaReader::CanDecode(m.method)) return false;
  report.Line("Error: " + m.name + ": unsupported method " + m.method);
  return true;
}

// The result for members passed over, after all others were served.
void FailForUndecodable(uint64_t count) {
  if (count > 0)
    throw Failure(ARCERR_METHOD, std::to_string(count) + " member(s) of a method this library does not decode");
}

}  // namespace

void Extract(const arc::ParsedLine& line, bool withPaths, arc::Report& report) {
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  arc::ExtractRules rules;
  rules.destination = line.directory.empty() ? std::string(".") : arc::PosixPathOrFail(line.directory, ARCERR_MAKEDIRECTORY);
  rules.junkPaths = !withPaths;
  rules.overwrite = true;
  rules.patterns = line.files;
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  Archive archive(posix);
  arc::Extractor extractor(rules, progress, report);
  lha::MemberHeader m;
  uint64_t links = 0, undecodable = 0;
  while (archive.Next(m)) {
    arc::MemberToExtract member;
    member.name = arc::GuessNameToUtf8(m.name);
    if (!extractor.Selected(member.name)) continue;
    if (m.symlink) {
      // Links are not created from archives: the member is reported and
      // the result says that not everything was extracted.
      report.Line("Skipped: " + LinkText(m) + " (symbolic link, not created)");
      ++links;
      continue;
    }
    if (PassUndecodable(m, report)) {
      ++undecodable;
      continue;
    }
    member.info = InfoOf(m);
    member.kind = m.directory ? arc::MemberToExtract::Kind::Directory : arc::MemberToExtract::Kind::File;
    member.mode = (m.dosAttributes & 0x01) ? 0444 : 0644;
    extractor.Extract(member, [&](const std::function<void(const void*, size_t)>& sink) {
      Decode(archive.Reader(), m, sink);
    });
  }
  extractor.Finish();
  progress.End();
  FailForUndecodable(undecodable);
  if (links > 0)
    throw Failure(ARCERR_NOT_SUPPORT, std::to_string(links) + " symbolic link(s) not extracted: links are not created");
}

// Decodes a member only to verify it. The owner window follows the work and
// may stop it, however long the member: a damaged one can declare 4 GiB.
void Verify(Archive& archive, const lha::MemberHeader& m, arc::Progress& progress) {
  progress.Begin(m.name, std::string(), InfoOf(m));
  uint64_t done = 0;
  Decode(archive.Reader(), m, [&](const void*, size_t size) { progress.Step(done += size); });
}

void Test(const arc::ParsedLine& line, arc::Report& report) {
  Archive archive(arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE));
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  lha::MemberHeader m;
  uint64_t members = 0, undecodable = 0;
  while (archive.Next(m)) {
    if (PassUndecodable(m, report)) {
      ++undecodable;
      continue;
    }
    if (m.symlink) {
      report.Line("OK  " + LinkText(m) + " (symbolic link)");
    } else {
      if (!m.directory) Verify(archive, m, progress);
      report.Line("OK  " + m.name);
    }
    ++members;
  }
  progress.End();
  FailForUndecodable(undecodable);
  report.Line(std::to_string(members) + " member(s) tested, no errors");
}

void List(const arc::ParsedLine& line, arc::Report& report) {
  uint64_t original = 0, packed = 0;
  const auto entries = ListLha(arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE));
  for (const arc::EntryInfo& e : entries) {
    report.Member(e.name, e.original, e.packed, e.method);
    original += e.original;
    packed += e.packed;
  }
  report.Totals(entries.size(), original, packed);
}

void MakeSfx(const arc::ParsedLine& line, arc::Report& report) {
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  ListLha(posix);  // refuses what is no LHA archive before anything is written
  const std::string program = arc::SfxProgramName(line.archive, line.directory);
  arc::WriteSfxProgram(arc::LibraryDirectory() + "/lhasfx.dat", posix,
                       arc::PosixPathOrFail(program, ARCERR_CANNOT_WRITE), program);
  report.Line("Made the self-extracting program " + program);
}

std::vector<arc::EntryInfo> ListLha(const std::string& posixPath) {
  Archive archive(posixPath);
  std::vector<arc::EntryInfo> out;
  lha::MemberHeader m;
  while (archive.Next(m)) out.push_back(InfoOf(m));
  return out;
}

bool CheckLha(const std::string& posixPath, int) {
  Archive archive(posixPath);
  arc::Progress progress(arc::Owner());
  lha::MemberHeader m;
  while (archive.Next(m))
    if (!m.directory) Verify(archive, m, progress);
  return true;
}

}  // namespace unlha32
