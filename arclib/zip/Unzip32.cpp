// The entries of UNZIP32.DLL.
#include "archives/ArchiverDll.h"
#include "common/Entry.h"
#include "common/Exports.h"
#include "common/Progress.h"
#include "zip/ZipCommands.h"
#include "zip/ZipDirectory.h"

VXAPI int WINAPI UnZip(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  return arc::RunCommand(szCmdLine, szOutput, dwSize, zip::RunUnZipCommand);
}

ARC_LISTING_ENTRIES(UnZip, zip::ListZip, zip::CheckZip)
ARC_SIZE_EX_ENTRIES(UnZip)

// The window registered here, for ZIP32J.DLL's packing progress.
VXAPI HWND WINAPI UnZipGetOwnerWindow() { return arc::Owner(); }
