// Which archive type a file is, and which back-end class serves a type.
#include "archives/ArchiveFile.h"
#include "archives/Exceptions.h"
#include "archives/MbcsText.h"
#include "archives/Paths.h"
#include "archivers/ARJ32.h"
#include "archivers/CAB32.h"
#include "archivers/LHA32.h"
#include "archivers/RAR32.h"
#include "archivers/TAR32.h"
#include "archivers/ZIP32.h"

namespace vx {

namespace {

struct ExtensionType {
  const char* extension;
  TArchiverType type;
};

constexpr ExtensionType kExtensions[] = {
    {".lzh", atLha}, {".zip", atZip}, {".cab", atCab}, {".arj", atArj},
    {".tar", atTar}, {".z", atTgz},   {".gz", atTgz},  {".tgz", atTgz},
    {".taz", atTgz}, {".bz2", atBZ2}, {".rar", atRar},
};

TArchiverType TypeByContent(const std::string& FileName) {
  // Every check runs; a later positive answer replaces an earlier one.
  TArchiverType result = DetectTarArchiveType(FileName);
  if (IsRarArchive(FileName)) result = atRar;
  if (IsArjArchive(FileName)) result = atArj;
  if (IsCabArchive(FileName)) result = atCab;
  if (IsZipArchive(FileName)) result = atZip;
  if (IsLhaArchive(FileName)) result = atLha;
  return result;
}

}  // namespace

TArchiverType GetArchiverType(const std::string& FileName, bool ByExtension) {
  if (!ByExtension) return TypeByContent(FileName);
  const std::string ext = ExtractFileExt(FileName);
  for (const ExtensionType& row : kExtensions)
    if (CompareText(ext, row.extension) == 0) return row.type;
  if (CompareText(ext, ".exe") == 0) return TypeByContent(FileName);
  return atNone;
}

std::unique_ptr<TArchiver> CreateArchiver(TArchiverType Type) {
  switch (Type) {
    case atLha: return std::make_unique<TLha32>();
    case atZip: return std::make_unique<TZip32>();
    case atCab: return std::make_unique<TCab32>();
    case atArj: return std::make_unique<TArj32>();
    case atTar: return std::make_unique<TTar32>();
    case atTgz: return std::make_unique<TTgz32>();
    case atBZ2: return std::make_unique<TBZ232>();
    case atRar: return std::make_unique<TRar32>();
    default: throw EArchiver("現在のバージョンではこの形式の書庫をサポートしていません。");
  }
}

}  // namespace vx
