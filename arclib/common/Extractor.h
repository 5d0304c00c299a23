// Extraction of members into a destination directory: member names are
// checked, nothing is written outside the destination, links inside the
// archive are not followed, and each file appears only when complete.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Progress.h"
#include "common/Report.h"

namespace arc {

struct ExtractRules {
  std::string destination;            // POSIX directory
  bool junkPaths = false;             // bare names, no directories
  bool overwrite = true;              // else existing files are kept
  bool newerOnly = false;             // overwrite only with a newer member
  std::vector<std::string> patterns;  // code page 932 wildcards; empty: all
  bool patternClasses = false;        // "[...]" classes in patterns (ZIP)
};

// What a format hands the extractor for one member.
struct MemberToExtract {
  std::string name;            // UTF-8, '/' or '\\' separated
  EntryInfo info;              // for progress and the report
  enum class Kind { File, Directory, Link, HardLink, Other } kind = Kind::File;
  std::string linkTarget;      // UTF-8, for a hard link: an earlier member
  unsigned mode = 0644;
};

// Writes the data of one member by calling its sink piece by piece.
using DataReader = std::function<void(const std::function<void(const void*, size_t)>& sink)>;

class Extractor {
 public:
  Extractor(const ExtractRules& rules, Progress& progress, Report& report);
  // Whether the member is one the command asked for.
  bool Selected(const std::string& nameUtf8) const;
  // Extracts one member (which must be selected); refusals are reported
  // and counted, write failures throw Failure naming the file.
  void Extract(const MemberToExtract& member, const DataReader& data);
  // Throws Failure when members were refused (ARCERR_CANNOT_WRITE) or
  // links and special files skipped (ARCERR_NOT_SUPPORT); reports the totals.
  void Finish();

 private:
  bool Destination(const MemberToExtract& member, std::string& path);
  // Where an earlier member of this name was written, when it was.
  bool WrittenBefore(const std::string& nameUtf8, std::string& path);
  void Refuse(const MemberToExtract& member, const std::string& reason);

  const ExtractRules& rules_;
  Progress& progress_;
  Report& report_;
  std::set<std::string> rootsShown_;  // roots taken off names, each said once
  std::set<std::string> written_;     // paths of the files written so far
  uint64_t files_ = 0, original_ = 0, packed_ = 0, refused_ = 0, skipped_ = 0;
};

class ArchiveReader;
// Every selected member of a libarchive reader through an Extractor; crcs
// (when given) checks what libarchive leaves unchecked.
void ExtractMembers(ArchiveReader& reader, Extractor& extractor,
                    const std::function<bool(size_t, uint32_t&)>& crcs = {});

}  // namespace arc
