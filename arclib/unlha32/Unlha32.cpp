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

// The 64-bit sizes of the member FindFirst/FindNext last found, for members
// over 4 GiB whose record fields cannot hold them: TRUE and the size, or
// FALSE without a current member.
VXAPI BOOL WINAPI UnlhaGetOriginalSizeEx(HARC hArc, int64_t* lpllSize) {
  const arc::EntryInfo* e = arc::CurrentEntry(hArc);
  if (e == nullptr || lpllSize == nullptr) return FALSE;
  *lpllSize = static_cast<int64_t>(e->original);
  return TRUE;
}

VXAPI BOOL WINAPI UnlhaGetCompressedSizeEx(HARC hArc, int64_t* lpllSize) {
  const arc::EntryInfo* e = arc::CurrentEntry(hArc);
  if (e == nullptr || lpllSize == nullptr) return FALSE;
  *lpllSize = static_cast<int64_t>(e->packed);
  return TRUE;
}
