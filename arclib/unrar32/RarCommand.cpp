#include "unrar32/RarCommand.h"
#include "unrar32/RarHeaders.h"

#include <functional>
#include <memory>
#include <optional>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Cp932.h"
#include "common/Extractor.h"
#include "common/Failure.h"
#include "common/Progress.h"
#include "common/Switches.h"
#include "common/WinNames.h"
#include "unrar32/RarGrammar.h"

namespace unrar32 {

namespace {

using arc::Failure;
using arc::SwitchKind;


// Looks up the recorded CRC of a member by its place in the archive.
arc::CrcLookup CrcsOf(const std::vector<std::string>& volumes) {
  auto crcs = std::make_shared<std::vector<std::optional<uint32_t>>>(Rar4FileCrcs(volumes));
  return [crcs](size_t index, uint32_t& crc) {
    if (index >= crcs->size() || !(*crcs)[index]) return false;
    crc = *(*crcs)[index];
    return true;
  };
}

std::string FileNamePart(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Runs a pass over the archive and the volumes beside it; a member cut
// short at the end of the last volume there gets the name of the missing one.
void OverVolumes(const std::string& posix, const std::function<void(arc::ArchiveReader&, const arc::CrcLookup&)>& pass) {
  const std::vector<std::string> volumes = RarVolumes(posix);
  arc::ArchiveReader reader(volumes, arc::ReadFormat::Rar);
  try {
    pass(reader, CrcsOf(volumes));
  } catch (const arc::CutShort& f) {
    throw Failure(f.Code(), std::string(f.what()) + ": it continues in the next volume " +
                                arc::Cp932ForReport(FileNamePart(NextVolumeName(posix, volumes.size()))) +
                                ", which is not there, or the archive is cut short");
  }
}

}  // namespace

void RunRarCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, RarGrammar());
  if (line.archive.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given");
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  const std::string command = arc::UpperAscii(line.command);
  if (command == "-L" || command == "-T") {
    if (command == "-T") OverVolumes(posix, [&](arc::ArchiveReader& r, const arc::CrcLookup& crcs) { arc::CheckAllMembers(r, crcs); });
    uint64_t total = 0;
    const auto entries = ListRar(posix);
    for (const arc::EntryInfo& e : entries) {
      report.Member(e.name, e.original, e.packed);
      total += e.original;
    }
    report.Totals(entries.size(), total, total);
    return;
  }
  arc::ExtractRules rules;
  rules.destination = line.directory.empty() ? std::string(".") : arc::PosixPathOrFail(line.directory, ARCERR_MAKEDIRECTORY);
  rules.junkPaths = command == "-E";
  rules.overwrite = line.switches.Has("y") || line.switches.Has("u");
  rules.newerOnly = !line.switches.Has("y") && line.switches.Has("u");
  rules.patterns = line.files;
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  arc::Extractor extractor(rules, progress, report);
  OverVolumes(posix, [&](arc::ArchiveReader& r, const arc::CrcLookup& crcs) { arc::ExtractMembers(r, extractor, crcs); });
  progress.End();
}

std::vector<arc::EntryInfo> ListRar(const std::string& posixPath) {
  arc::ArchiveReader reader(RarVolumes(posixPath), arc::ReadFormat::Rar);
  std::vector<arc::EntryInfo> entries = arc::ListMembers(reader, "RAR");
  for (arc::EntryInfo& e : entries) e.name = arc::WithBackslashes(e.name);
  return entries;
}

bool CheckRar(const std::string& posixPath, int) {
  OverVolumes(posixPath, [&](arc::ArchiveReader& r, const arc::CrcLookup& crcs) { arc::CheckAllMembers(r, crcs); });
  return true;  // a damaged archive throws: the entry answers false
}

}  // namespace unrar32
