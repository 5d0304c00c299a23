#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Cp932.h"
#include "common/Extractor.h"
#include "common/Failure.h"
#include "common/Progress.h"
#include "common/Switches.h"
#include "common/WinNames.h"
#include "zip/UnZipGrammar.h"
#include "zip/ZipCommands.h"
#include "zip/ZipDirectory.h"

namespace zip {

using arc::Failure;

void RunUnZipCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, UnZipGrammar());
  if (line.archive.empty()) throw Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given");
  const std::string posix = arc::PosixPathOrFail(line.archive, ARCERR_NOT_FIND_ARC_FILE);
  arc::ExtractRules rules;
  rules.destination = line.directory.empty() ? std::string(".") : arc::PosixPathOrFail(line.directory, ARCERR_MAKEDIRECTORY);
  rules.junkPaths = line.switches.Has("j") || arc::UpperAscii(line.command) == "-E";
  rules.overwrite = line.switches.Has("o") && !line.switches.Has("n");
  rules.patterns = line.files;
  rules.patternClasses = true;
  const CentralDirectory dir = ReadCentralDirectory(posix);  // a clear error for what is no ZIP archive
  arc::Progress progress(arc::Owner());
  arc::Extractor extractor(rules, progress, report);
  RefuseUnreadableMethods(dir, [&](const std::string& name) { return extractor.Selected(name); });
  progress.Open(line.archive);
  arc::ArchiveReader reader(posix, arc::ReadFormat::Zip);
  arc::ExtractMembers(reader, extractor);
  progress.End();
}

bool CheckZip(const std::string& posixPath, int) {
  RefuseUnreadableMethods(ReadCentralDirectory(posixPath), [](const std::string&) { return true; });
  arc::ArchiveReader reader(posixPath, arc::ReadFormat::Zip);
  return arc::CheckMembers(reader);
}

}  // namespace zip
