// The entries of UNLHA32.DLL.
#include "archives/ArchiverDll.h"
#include "common/Entry.h"
#include "common/Exports.h"
#include "common/Listing.h"
#include "unlha32/LhaCommand.h"

VXAPI int WINAPI Unlha(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  return arc::RunCommand(szCmdLine, szOutput, dwSize, unlha32::RunLhaCommand);
}

ARC_LISTING_ENTRIES(Unlha, unlha32::ListLha, unlha32::CheckLha)

ARC_SIZE_EX_ENTRIES(Unlha)
