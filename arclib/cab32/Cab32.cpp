// The entries of CAB32.DLL.
#include "archives/ArchiverDll.h"
#include "cab32/CabCommand.h"
#include "common/Entry.h"
#include "common/Exports.h"

VXAPI int WINAPI Cab(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  return arc::RunCommand(szCmdLine, szOutput, dwSize, cab32::RunCabCommand);
}

ARC_LISTING_ENTRIES(Cab, cab32::ListCab, cab32::CheckCab)
