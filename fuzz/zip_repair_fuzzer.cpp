// ZIP32J.DLL's -A offset repair on any bytes. A repair that reports success
// must leave an archive whose central directory lies where its end record
// says: no shift left for readers to correct.
#include <cstdlib>

#include "EntryDeclarations.h"
#include "FuzzFile.h"
#include "common/Failure.h"
#include "zip/ZipDirectory.h"

VXFUZZ_DECLARE_ENTRIES(UnZip)
VXAPI int WINAPI Zip(HWND, LPCSTR, LPSTR, DWORD);

namespace {

bool Readable(const std::string& path, zip::CentralDirectory& directory) {
  try {
    directory = zip::ReadCentralDirectory(path);
    return true;
  } catch (const arc::Failure&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".exe");
  file.Write(data, size);
  zip::CentralDirectory before, after;
  const bool readable = Readable(file.Posix(), before);
  static char output[4096];
  const std::string line = "-A " + file.Win();
  if (Zip(nullptr, line.c_str(), output, sizeof output) != 0) return 0;
  // A repair that succeeded leaves a readable archive with nothing to shift.
  if (readable && (!Readable(file.Posix(), after) || after.start != after.statedOffset)) std::abort();
  UnZipCheckArchive(file.Win().c_str(), CHECKARCHIVE_FULLCRC);
  return 0;
}
