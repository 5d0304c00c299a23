#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "common/FileFeed.h"
#include "common/Progress.h"
#include "common/Sources.h"
#include "common/Switches.h"
#include "common/Wildcard.h"
#include "common/WinNames.h"
#include "zip/ZipGrammar.h"
#include "zip/ZipCommands.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipWriter.h"

namespace zip {

namespace {

using arc::Failure;
using arc::SwitchKind;


// "-A program": the rest of the line is the program's path.
bool AdjustPath(const std::string& line, std::string& path) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line.compare(start, 2, "-A") != 0) return false;
  if (start + 2 < line.size() && line[start + 2] != ' ' && line[start + 2] != '\t') return false;
  path = start + 2 < line.size() ? line.substr(start + 3) : std::string();
  while (!path.empty() && (path.back() == ' ' || path.back() == '\t')) path.pop_back();
  const size_t first = path.find_first_not_of(" \t");
  path = first == std::string::npos ? std::string() : path.substr(first);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return true;
}

std::string Trimmed(std::string name) {
  while (!name.empty() && name.back() == '/') name.pop_back();
  return name;
}


bool Exists(const std::string& posix) {
  struct stat st;
  return stat(posix.c_str(), &st) == 0;
}

void Pack(const arc::ParsedLine& line, arc::Report& report) {
  const std::string command = arc::UpperAscii(line.command);
  const bool remove = command == "-D", freshen = command == "-F";
  const bool update = line.switches.Has("u") || freshen;
  if (line.archive.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given");
  if (line.files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no files named");
  const int level = line.switches.Number("", -1, -1);
  if (level > 9) throw Failure(ARCERR_COMMAND_NAME, "compression level out of range");
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  const bool existing = Exists(posix);
  if ((remove || freshen) && !existing) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "cannot find the archive " + line.archive);

  std::vector<arc::SourceItem> items;
  if (!remove) {
    arc::SourceRules rules;
    rules.keepPaths = !line.switches.Has("j");
    rules.recurseWildcards = line.switches.Has("r");
    rules.expandDirectories = line.switches.Has("r");
    rules.directoryEntries = !line.switches.Has("D");
    rules.wildcardClasses = true;
    items = arc::CollectSources(line.directory, line.files, rules);
  }
  std::map<std::string, size_t> byName;
  for (size_t i = 0; i < items.size(); ++i) byName.emplace(items[i].name, i);
  std::vector<bool> done(items.size(), false);

  arc::Progress progress(arc::Owner());
  progress.Open(line.archive);
  ZipWriter writer(posix, line.archive, level);
  uint64_t total = 0, members = 0, changed = 0;
  time_t newest = 0;
  auto add = [&](const arc::SourceItem& item) {
    arc::EntryInfo info;
    info.name = arc::Cp932ForReport(item.name);
    info.original = item.directory ? 0 : static_cast<uint64_t>(item.st.st_size);
    info.mtime = item.st.st_mtime;
    info.directory = item.directory;
    progress.Begin(item.shownName, info.name, info);
    ZipMember member;
    member.name = item.name;
    member.directory = item.directory;
    member.mode = item.st.st_mode;
    member.mtime = item.st.st_mtime;
    member.size = info.original;
    const std::string shown = info.name + (item.directory ? "/" : "");
    writer.Begin(member, [&report, shown](uint64_t original, uint64_t compressed) {
      report.Member(shown, original, compressed, "added");
    });
    if (!item.directory)
      total += arc::FeedFile(item, progress, [&](const uint8_t* data, size_t size) { writer.Write(data, size); });
    writer.End();
    newest = std::max(newest, item.st.st_mtime);
    ++members;
    ++changed;
  };
  if (existing) {
    arc::ArchiveReader reader(posix, arc::ReadFormat::Zip);
    while (archive_entry* entry = reader.Next()) {
      const std::string name = Trimmed(arc::ArchiveReader::NameOf(entry));
      const std::string shown = arc::Cp932ForReport(name);
      if (remove) {
        bool hit = false;
        for (const std::string& pattern : line.files)
          hit = hit || arc::MatchWildcard(pattern, shown, true);
        if (hit) {
          report.Line("deleting: " + shown);
          ++changed;
          continue;
        }
      }
      const auto it = byName.find(name);
      if (it != byName.end() && !done[it->second] &&
          (!update || items[it->second].st.st_mtime > archive_entry_mtime(entry))) {
        done[it->second] = true;
        add(items[it->second]);
        continue;
      }
      if (it != byName.end()) done[it->second] = true;
      ZipMember kept;
      kept.name = name;
      kept.directory = archive_entry_filetype(entry) == AE_IFDIR;
      kept.mode = archive_entry_perm(entry);
      kept.mtime = archive_entry_mtime(entry);
      // A member of unknown size may be large: it gets ZIP64 sizes.
      kept.size = archive_entry_size_is_set(entry) ? static_cast<uint64_t>(archive_entry_size(entry)) : UINT64_MAX;
      kept.symlink = archive_entry_filetype(entry) == AE_IFLNK;
      writer.Begin(kept, nullptr);
      if (kept.symlink) {
        const char* target = archive_entry_symlink_utf8(entry);
        if (target == nullptr) target = archive_entry_symlink(entry);
        if (target != nullptr) writer.Write(target, std::strlen(target));
      } else {
        reader.ReadData([&](const void* block, size_t size) { writer.Write(block, size); });
      }
      writer.End();
      newest = std::max(newest, archive_entry_mtime(entry));
      ++members;
    }
  }
  if (!freshen)
    for (size_t i = 0; i < items.size(); ++i)
      if (!done[i]) add(items[i]);
  if (remove && changed == 0) throw Failure(ARCERR_NOT_FILENAME, "no member matches the names to delete");
  const uint64_t size = writer.Commit();
  progress.End();
  if (line.switches.Has("o") && newest != 0) {
    struct utimbuf times {newest, newest};
    utime(posix.c_str(), &times);
  }
  report.Totals(members, total, size);
}

}  // namespace

void RunZipCommand(const std::string& text, arc::Report& report) {
  std::string program;
  if (AdjustPath(text, program)) {
    if (program.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no program named for -A");
    AdjustOffsets(arc::PosixPathOrFail(program, ARCERR_NOT_FIND_ARC_FILE), program, report);
    return;
  }
  Pack(arc::ParseLine(text, ZipGrammar()), report);
}

}  // namespace zip
