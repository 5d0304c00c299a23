// The listing, checking and owner-window entries every library exports
// under its prefix, defined in one stroke:
//
//   ARC_LISTING_ENTRIES(Tar, ListTar, CheckTar)
//
// where ListTar(posixPath) returns the members (throwing Failure when the
// file is no archive of the kind) and CheckTar(posixPath, mode) answers
// whether the archive is sound.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archives/ArchiverDll.h"
#include "common/EntryInfo.h"
#include "common/Listing.h"
#include "common/Progress.h"
#include "platform/win32api.h"

namespace arc {

HARC OpenArchiveWith(LPCSTR winPath, const std::function<std::vector<EntryInfo>(const std::string&)>& list);
BOOL CheckArchiveWith(LPCSTR winPath, int mode, const std::function<bool(const std::string&, int)>& check);

}  // namespace arc

#define ARC_LISTING_ENTRIES(Prefix, ListFn, CheckFn)                                          \
  VXAPI HARC WINAPI Prefix##OpenArchive(HWND, LPCSTR szFileName, DWORD) {                     \
    return arc::OpenArchiveWith(szFileName, ListFn);                                          \
  }                                                                                           \
  VXAPI int WINAPI Prefix##CloseArchive(HARC hArc) { return arc::CloseListing(hArc); }        \
  VXAPI int WINAPI Prefix##FindFirst(HARC hArc, LPCSTR szWildName, LPINDIVIDUALINFO lpInfo) { \
    return arc::FindFirstEntry(hArc, szWildName, lpInfo);                                     \
  }                                                                                           \
  VXAPI int WINAPI Prefix##FindNext(HARC hArc, LPINDIVIDUALINFO lpInfo) {                     \
    return arc::FindNextEntry(hArc, lpInfo);                                                  \
  }                                                                                           \
  VXAPI BOOL WINAPI Prefix##CheckArchive(LPCSTR szFileName, int iMode) {                      \
    return arc::CheckArchiveWith(szFileName, iMode, CheckFn);                                 \
  }                                                                                           \
  VXAPI BOOL WINAPI Prefix##SetOwnerWindowEx(HWND hWnd, void*) {                              \
    arc::SetOwner(hWnd);                                                                      \
    return TRUE;                                                                              \
  }                                                                                           \
  VXAPI BOOL WINAPI Prefix##KillOwnerWindowEx(HWND hWnd) {                                    \
    arc::KillOwner(hWnd);                                                                     \
    return TRUE;                                                                              \
  }
