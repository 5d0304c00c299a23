#include "unarj32/ArjCommand.h"

#include <ctime>

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Extractor.h"
#include "common/Failure.h"
#include "common/Progress.h"
#include "common/WinNames.h"
#include "unarj32/ArjGrammar.h"
#include "unarj32/ArjReader.h"

namespace unarj32 {

namespace {

using arc::Failure;

constexpr uint8_t kDirectory = 3, kVolumeLabel = 4;

time_t FromDos(uint32_t stamp) {
  struct tm tm {};
  tm.tm_year = static_cast<int>((stamp >> 25) & 0x7F) + 80;
  tm.tm_mon = static_cast<int>((stamp >> 21) & 0x0F) - 1;
  tm.tm_mday = static_cast<int>((stamp >> 16) & 0x1F);
  tm.tm_hour = static_cast<int>((stamp >> 11) & 0x1F);
  tm.tm_min = static_cast<int>((stamp >> 5) & 0x3F);
  tm.tm_sec = static_cast<int>((stamp & 0x1F) * 2);
  tm.tm_isdst = -1;
  return mktime(&tm);
}

std::string MethodName(uint8_t method) { return method == 0 ? "Stored" : "Method" + std::to_string(method); }

arc::EntryInfo InfoOf(const ArjMember& m) {
  arc::EntryInfo e;
  e.name = arc::WithBackslashes(arc::Cp932ForReport(arc::GuessNameToUtf8(m.name)));
  e.original = m.original;
  e.packed = m.packed;
  e.crc = m.crc;
  e.mtime = m.hostOs == kArjHostUnix ? static_cast<time_t>(m.stamp) : FromDos(m.stamp);
  e.method = MethodName(m.method);
  e.directory = m.fileType == kDirectory;
  e.attributes = e.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  e.osType = m.hostOs;
  return e;
}

void Extract(const arc::ParsedLine& line, bool withPaths, arc::Report& report) {
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  arc::ExtractRules rules;
  rules.destination = line.directory.empty() ? std::string(".") : arc::PosixPathOrFail(line.directory, ARCERR_MAKEDIRECTORY);
  rules.junkPaths = !withPaths;
  rules.patterns = line.files;
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  ArjReader reader(posix);
  arc::Extractor extractor(rules, progress, report);
  ArjMember m;
  while (reader.Next(m)) {
    if (m.fileType == kVolumeLabel) continue;
    arc::MemberToExtract member;
    member.name = arc::GuessNameToUtf8(m.name);
    if (!extractor.Selected(member.name)) continue;
    member.info = InfoOf(m);
    member.kind = m.fileType == kDirectory ? arc::MemberToExtract::Kind::Directory : arc::MemberToExtract::Kind::File;
    member.mode = m.hostOs == kArjHostUnix && (m.accessMode & 0777) != 0 ? (m.accessMode & 0777) : 0644;
    extractor.Extract(member, [&](const std::function<void(const void*, size_t)>& sink) { reader.Extract(m, sink); });
  }
  extractor.Finish();
  progress.End();
}

// Decodes a member only to verify it. The owner window follows the work and
// may stop it, however long the member.
void Verify(ArjReader& reader, const ArjMember& m, arc::Progress& progress) {
  if (m.fileType == kDirectory || m.fileType == kVolumeLabel) return;
  progress.Begin(m.name, std::string(), InfoOf(m));
  uint64_t done = 0;
  reader.Extract(m, [&](const void*, size_t size) { progress.Step(done += size); });
}

void Test(const arc::ParsedLine& line, arc::Report& report) {
  ArjReader reader(arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE));
  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  ArjMember m;
  uint64_t members = 0;
  while (reader.Next(m)) {
    Verify(reader, m, progress);
    report.Line("OK  " + InfoOf(m).name);
    ++members;
  }
  progress.End();
  report.Line(std::to_string(members) + " member(s) tested, no errors");
}

}  // namespace

void RunArjCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, ArjGrammar());
  if (line.archive.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given");
  const std::string command = arc::UpperAscii(line.command);
  if (command == "X" || command == "E") {
    Extract(line, command == "X" && line.switches.Number("x", 1) != 0, report);
  } else if (command == "T") {
    Test(line, report);
  } else {
    uint64_t original = 0, packed = 0;
    const auto entries = ListArj(arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE));
    for (const arc::EntryInfo& e : entries) {
      report.Member(e.name, e.original, e.packed, e.method);
      original += e.original;
      packed += e.packed;
    }
    report.Totals(entries.size(), original, packed);
  }
}

std::vector<arc::EntryInfo> ListArj(const std::string& posixPath) {
  ArjReader reader(posixPath);
  std::vector<arc::EntryInfo> out;
  ArjMember m;
  while (reader.Next(m))
    if (m.fileType != kVolumeLabel) out.push_back(InfoOf(m));
  return out;
}

bool CheckArj(const std::string& posixPath, int) {
  ArjReader reader(posixPath);
  arc::Progress progress(arc::Owner());
  ArjMember m;
  while (reader.Next(m)) Verify(reader, m, progress);
  return true;
}

}  // namespace unarj32
