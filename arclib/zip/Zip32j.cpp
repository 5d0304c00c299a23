// The entries of ZIP32J.DLL: packing, and the listing entries the ZIP
// back-end may take from this library.
#include "archives/ArchiverDll.h"
#include "common/Entry.h"
#include "common/Exports.h"
#include "common/Progress.h"
#include "zip/ZipCommands.h"
#include "zip/ZipDirectory.h"

namespace {

// The ZIP back-end registers its owner window with UNZIP32.DLL only; packing
// reports to that window too.
HWND UnZipOwner() {
  HMODULE unzip = GetModuleHandleA("UNZIP32.DLL");
  if (unzip == nullptr) return nullptr;
  using OwnerProc = HWND(WINAPI*)();
  FARPROC p = GetProcAddress(unzip, "UnZipGetOwnerWindow");
  return p == nullptr ? nullptr : reinterpret_cast<OwnerProc>(reinterpret_cast<void (*)()>(p))();
}

}  // namespace

VXAPI int WINAPI Zip(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  const HWND own = arc::Owner();
  if (own == nullptr) arc::SetOwner(UnZipOwner());
  const int result = arc::RunCommand(szCmdLine, szOutput, dwSize, zip::RunZipCommand);
  arc::SetOwner(own);
  return result;
}

ARC_LISTING_ENTRIES(UnZip, zip::ListZip, zip::CheckZip)
ARC_SIZE_EX_ENTRIES(UnZip)
