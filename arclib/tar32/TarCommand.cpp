#include "tar32/TarCommand.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/ArchiveWriter.h"
#include "common/Bzip2Stage.h"
#include "common/Cp932.h"
#include "common/Extractor.h"
#include "common/Failure.h"
#include "common/GzipStage.h"
#include "common/Progress.h"
#include "common/Sources.h"
#include "common/Switches.h"
#include "common/WinNames.h"
#include "tar32/TarGrammar.h"
#include "tar32/StreamCheck.h"
#include "tar32/TarStream.h"

namespace tar32 {

namespace {

using arc::Failure;
using arc::SwitchKind;


enum class Compression { None, Gzip, Bzip2 };

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && arc::UpperAscii(text.substr(text.size() - tail.size())) == arc::UpperAscii(tail);
}

// The switches decide; without them the archive's extension does.
Compression CompressionOf(const arc::ParsedLine& line, int& level) {
  if (line.switches.Has("z")) {
    level = line.switches.Number("z", -1, -1);
    return Compression::Gzip;
  }
  if (line.switches.Has("B")) {
    level = line.switches.Number("B", -1, -1);
    return Compression::Bzip2;
  }
  level = -1;
  const std::string& name = line.switches.Text("f");
  if (EndsWith(name, ".tgz") || EndsWith(name, ".gz") || EndsWith(name, ".taz")) return Compression::Gzip;
  if (EndsWith(name, ".bz2") || EndsWith(name, ".tbz")) return Compression::Bzip2;
  return Compression::None;
}

// The digit of -z is libdeflate's level of that number (0 stores, 1 is
// the fastest, 9 the tightest); on mixed text and binary each packs as
// tight as gzip's level of the same digit, in less time. A bare -z, and
// -z6 (gzip's own default), give level 7: libdeflate's 6 packs looser
// than gzip -6, its 7 as tight as gzip -9 in less time than gzip -6.
int DeflateLevel(int level) { return level < 0 || level == 6 ? 7 : level; }

// The tar stream is compressed by a stage of ours, on every core.
std::unique_ptr<arc::OutputStage> CompressingStage(Compression compression, int level) {
  switch (compression) {
    case Compression::Gzip:
      return std::make_unique<arc::GzipStage>(DeflateLevel(level));
    case Compression::Bzip2:
      // -B0 and a bare -B: bzip2's own default, blocks of 900 k.
      return std::make_unique<arc::Bzip2Stage>(level >= 1 ? level : 9);
    case Compression::None:
      break;
  }
  return nullptr;
}

std::string ArchiveName(const arc::ParsedLine& line) {
  const std::string name = line.switches.Text("f");
  if (name.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given (-f)");
  return name;
}

void Create(const arc::ParsedLine& line, arc::Report& report) {
  const std::string archive = ArchiveName(line);
  if (line.files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no files to pack");
  int level = -1;
  const Compression compression = CompressionOf(line, level);
  if (level > 9 || level < -1) throw Failure(ARCERR_COMMAND_NAME, "compression level out of range");
  arc::SourceRules rules;
  rules.keepPaths = line.switches.Number("-use-directory=", 1) != 0;
  const std::vector<arc::SourceItem> items = arc::CollectSources(line.switches.Text("o"), line.files, rules);
  const std::string posix = arc::PosixPathOrFail(archive, ARCERR_NOT_FIND_ARC_FILE);

  arc::Progress progress(arc::Owner());
  progress.Open(archive);
  arc::ArchiveWriter writer(
      posix, archive, [](struct archive* a) { archive_write_set_format_pax_restricted(a); },
      CompressingStage(compression, level));
  uint64_t total = 0;
  for (const arc::SourceItem& item : items) {
    arc::EntryInfo info;
    info.name = arc::Cp932ForReport(item.name);
    info.original = item.directory ? 0 : static_cast<uint64_t>(item.st.st_size);
    info.packed = info.original;
    info.mtime = item.st.st_mtime;
    info.directory = item.directory;
    progress.Begin(item.shownName, info.name, info);
    const uint64_t size = writer.Add(item, progress);
    total += size;
    report.Member(info.name + (item.directory ? "/" : ""), size, size);
  }
  const uint64_t archiveSize = writer.Commit();
  progress.End();
  report.Totals(items.size(), total, archiveSize);
}

void Extract(const arc::ParsedLine& line, arc::Report& report) {
  const std::string archive = ArchiveName(line);
  const std::string posix = arc::PosixPathOrFail(archive, ARCERR_NOT_FIND_ARC_FILE);
  arc::ExtractRules rules;
  const std::string dir = line.switches.Text("o");
  rules.destination = dir.empty() ? std::string(".") : arc::PosixPathOrFail(dir, ARCERR_MAKEDIRECTORY);
  rules.junkPaths = line.switches.Number("-use-directory=", 1) == 0;
  rules.patterns = line.files;
  // The whole gzip or bzip2 layer is checked first, so that no member of
  // a damaged archive is written.
  CheckCompressedLayer(posix);
  arc::Progress progress(arc::Owner());
  progress.Open(archive);
  const auto reader = OpenTar(posix);
  arc::Extractor extractor(rules, progress, report);
  arc::ExtractMembers(*reader, extractor);
  progress.End();
}

void List(const arc::ParsedLine& line, arc::Report& report) {
  const std::string archive = ArchiveName(line);
  const std::string posix = arc::PosixPathOrFail(archive, ARCERR_NOT_FIND_ARC_FILE);
  CheckCompressedLayer(posix);
  uint64_t original = 0, count = 0;
  for (const arc::EntryInfo& e : ListTar(posix)) {
    report.Member(e.name, e.original, e.packed);
    original += e.original;
    ++count;
  }
  report.Totals(count, original, original);
}

std::string MethodOf(int filter) {
  switch (filter) {
    case ARCHIVE_FILTER_GZIP:
      return "gzip";
    case ARCHIVE_FILTER_BZIP2:
      return "bzip2";
    case ARCHIVE_FILTER_COMPRESS:
      return "compress";
    default:
      return "tar";
  }
}

}  // namespace

void RunTarCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, TarGrammar());
  const std::string command = arc::UpperAscii(line.command);
  if (command == "C")
    Create(line, report);
  else if (command == "X")
    Extract(line, report);
  else
    List(line, report);
}

std::vector<arc::EntryInfo> ListTar(const std::string& posixPath) {
  int filter = ARCHIVE_FILTER_NONE;
  const auto reader = OpenTar(posixPath, &filter);
  std::vector<arc::EntryInfo> entries = arc::ListMembers(*reader, "tar");
  const std::string method = MethodOf(filter);
  for (arc::EntryInfo& e : entries) e.method = method;
  return entries;
}

bool CheckTar(const std::string& posixPath, int) {
  CheckCompressedLayer(posixPath);  // throws for damage: the entry answers false
  const auto reader = OpenTar(posixPath);
  return arc::CheckMembers(*reader);
}

}  // namespace tar32
