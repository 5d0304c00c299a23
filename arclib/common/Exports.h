// The listing, checking and owner-window entries every library exports
// under its prefix, defined in one stroke:
//
//   ARC_LISTING_ENTRIES(Tar, ListTar, CheckTar)
//
// where ListTar(posixPath) returns the members (throwing Failure when the
// file is no archive of the kind) and CheckTar(posixPath, mode) answers
// whether the archive is sound.
//
//   ARC_SIZE_EX_ENTRIES(Tar)
//
// adds the 64-bit sizes of the member FindFirst/FindNext found last, for
// members of 4 GiB or more whose record fields say 0xFFFFFFFF.
#pragma once

#include <cstdint>
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

// TRUE and the size, or FALSE without a current member.
#define ARC_SIZE_EX_ENTRIES(Prefix)                                            \
  VXAPI BOOL WINAPI Prefix##GetOriginalSizeEx(HARC hArc, int64_t* lpllSize) {   \
    const arc::EntryInfo* e = arc::CurrentEntry(hArc);                         \
    if (e == nullptr || lpllSize == nullptr) return FALSE;                     \
    *lpllSize = static_cast<int64_t>(e->original);                             \
    return TRUE;                                                               \
  }                                                                            \
  VXAPI BOOL WINAPI Prefix##GetCompressedSizeEx(HARC hArc, int64_t* lpllSize) { \
    const arc::EntryInfo* e = arc::CurrentEntry(hArc);                         \
    if (e == nullptr || lpllSize == nullptr) return FALSE;                     \
    *lpllSize = static_cast<int64_t>(e->packed);                               \
    return TRUE;                                                               \
  }
