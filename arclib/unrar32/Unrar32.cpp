// The entries of UNRAR32.DLL (reading only).
#include "archives/ArchiverDll.h"
#include "common/Entry.h"
#include "common/Exports.h"
#include "unrar32/RarCommand.h"

VXAPI int WINAPI Unrar(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  return arc::RunCommand(szCmdLine, szOutput, dwSize, unrar32::RunRarCommand);
}

ARC_LISTING_ENTRIES(Unrar, unrar32::ListRar, unrar32::CheckRar)
ARC_SIZE_EX_ENTRIES(Unrar)
