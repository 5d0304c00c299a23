#include "cab32/CabCommand.h"

#include "archives/ArchiverDll.h"
#include "cab32/CabWriter.h"
#include "common/ArchiveReader.h"
#include "common/Cp932.h"
#include "common/Extractor.h"
#include "common/Failure.h"
#include "common/Progress.h"
#include "common/SfxStub.h"
#include "common/Sources.h"
#include "common/Switches.h"
#include "common/WinNames.h"
#include "cab32/CabGrammar.h"

namespace cab32 {

namespace {

using arc::Failure;
using arc::SwitchKind;


bool Compression(const arc::ParsedLine& line) {
  const std::string m = arc::UpperAscii(line.switches.Text("m", "Z"));
  if (m == "Z") return true;
  if (m == "N") return false;
  throw Failure(ARCERR_NOT_SUPPORT, "compression -m" + line.switches.Text("m") + " is not supported (use -mz or -mn)");
}

void Pack(const arc::ParsedLine& line, arc::Report& report) {
  if (line.files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no files to pack");
  const bool compress = Compression(line);
  arc::SourceRules rules;
  rules.keepPaths = !line.switches.Has("j");
  rules.recurseWildcards = line.switches.Has("r");
  rules.directoryEntries = false;
  const std::vector<arc::SourceItem> items = arc::CollectSources(line.directory, line.files, rules);
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  arc::Report members;
  WriteCabinet(posix, line.archive, items, compress, progress, members);
  progress.End();
  if (!line.switches.Has("q")) report.Line(members.Text().substr(0, members.Text().size() - 2));
}

void Extract(const arc::ParsedLine& line, arc::Report& report) {
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  arc::ExtractRules rules;
  rules.destination = line.directory.empty() ? std::string(".") : arc::PosixPathOrFail(line.directory, ARCERR_MAKEDIRECTORY);
  rules.junkPaths = line.switches.Has("j");
  rules.overwrite = line.switches.Has("o");
  rules.patterns = line.files;
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  arc::ArchiveReader reader(posix, arc::ReadFormat::Cab);
  arc::Extractor extractor(rules, progress, report);
  arc::ExtractMembers(reader, extractor);
  progress.End();
}

void MakeSfx(const arc::ParsedLine& line, arc::Report& report) {
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  if (!CheckCab(posix, 0)) throw Failure(ARCERR_NOT_ARC_FILE, "not a sound cabinet: " + line.archive);
  const std::string program = arc::SfxProgramName(line.archive, line.directory);
  arc::WriteSfxProgram(arc::LibraryDirectory() + "/cabsfx.dat", posix,
                       arc::PosixPathOrFail(program, ARCERR_CANNOT_WRITE), program);
  report.Line("Made the self-extracting program " + program);
}

void List(const arc::ParsedLine& line, arc::Report& report) {
  uint64_t total = 0;
  const auto entries = ListCab(arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE));
  for (const arc::EntryInfo& e : entries) {
    report.Member(e.name, e.original, e.packed);
    total += e.original;
  }
  report.Totals(entries.size(), total, total);
}

}  // namespace

void RunCabCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, CabGrammar());
  if (line.archive.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given");
  const std::string command = arc::UpperAscii(line.command);
  if (command == "-A")
    Pack(line, report);
  else if (command == "-X")
    Extract(line, report);
  else if (command == "-F")
    MakeSfx(line, report);
  else
    List(line, report);
}

std::vector<arc::EntryInfo> ListCab(const std::string& posixPath) {
  arc::ArchiveReader reader(posixPath, arc::ReadFormat::Cab);
  std::vector<arc::EntryInfo> entries = arc::ListMembers(reader, "CAB");
  for (arc::EntryInfo& e : entries) e.name = arc::WithBackslashes(e.name);
  return entries;
}

bool CheckCab(const std::string& posixPath, int) {
  arc::ArchiveReader reader(posixPath, arc::ReadFormat::Cab);
  return arc::CheckMembers(reader);
}

}  // namespace cab32
