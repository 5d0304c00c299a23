// The entries of one of our archiver libraries, as it exports them: Prefix,
// Prefix##OpenArchive ... Prefix##CheckArchive.
#pragma once

#include "archives/ArchiverDll.h"
#include "platform/win32api.h"

#define VXFUZZ_DECLARE_ENTRIES(Prefix)                                                      \
  VXAPI int WINAPI Prefix(HWND, LPCSTR, LPSTR, DWORD);                                      \
  VXAPI HARC WINAPI Prefix##OpenArchive(HWND, LPCSTR, DWORD);                               \
  VXAPI int WINAPI Prefix##CloseArchive(HARC);                                              \
  VXAPI int WINAPI Prefix##FindFirst(HARC, LPCSTR, LPINDIVIDUALINFO);                       \
  VXAPI int WINAPI Prefix##FindNext(HARC, LPINDIVIDUALINFO);                                \
  VXAPI BOOL WINAPI Prefix##CheckArchive(LPCSTR, int);
