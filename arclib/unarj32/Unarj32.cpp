// The entries of UNARJ32J.DLL (reading only).
#include "archives/ArchiverDll.h"
#include "common/Entry.h"
#include "common/Exports.h"
#include "unarj32/ArjCommand.h"

VXAPI int WINAPI Unarj(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  return arc::RunCommand(szCmdLine, szOutput, dwSize, unarj32::RunArjCommand);
}

ARC_LISTING_ENTRIES(Unarj, unarj32::ListArj, unarj32::CheckArj)
