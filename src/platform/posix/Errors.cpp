// The thread's last-error code, as Win32 keeps it.
#include "platform/win32api.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

VXAPI DWORD WINAPI GetLastError(void) { return lastError; }
VXAPI void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }
