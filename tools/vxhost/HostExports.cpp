// The host API that plug-ins bind by name: all 54 VXA_* entries, exported
// from the main program. Two of them do real work (registering a command,
// attaching a file to a message being composed); the others exist for the
// binding and answer 0.
//
// Each entry is defined under its plain identifier, so that a test build can
// rename one away (-DVXA_Connect=...) and get a host that lacks it.
#include "Host.h"

using vxhost::Host;

VXAPI int WINAPI VXA_GetVersion() { return 0; }
VXAPI int WINAPI VXA_Command() { return 0; }
VXAPI int WINAPI VXA_GetWindowHandles() { return 0; }
VXAPI int WINAPI VXA_RegisterCommand(LPCSTR lpText, LONG nMenuType, TVxCommandProc lpCallback) {
  return Host::Instance().RegisterCommand(lpText, nMenuType, lpCallback);
}
VXAPI int WINAPI VXA_RegisterUICallback() { return 0; }
VXAPI int WINAPI VXA_GetDataFolder() { return 0; }
VXAPI int WINAPI VXA_GetTempFolder() { return 0; }
VXAPI int WINAPI VXA_GetTempFileName() { return 0; }
VXAPI int WINAPI VXA_GetCurrentMailBox() { return 0; }
VXAPI int WINAPI VXA_SetCurrentMailBox() { return 0; }
VXAPI int WINAPI VXA_GetCurrentFolder() { return 0; }
VXAPI int WINAPI VXA_SetCurrentFolder() { return 0; }
VXAPI int WINAPI VXA_GetFolderDisplayName() { return 0; }
VXAPI int WINAPI VXA_SetMessageText() { return 0; }
VXAPI int WINAPI VXA_GetCurrentMail() { return 0; }
VXAPI int WINAPI VXA_SetCurrentMail() { return 0; }
VXAPI int WINAPI VXA_GetNextMail() { return 0; }
VXAPI int WINAPI VXA_SetSel() { return 0; }
VXAPI int WINAPI VXA_AppendMessage() { return 0; }
VXAPI int WINAPI VXA_MoveSelectedMessages() { return 0; }
VXAPI int WINAPI VXA_GetStatus() { return 0; }
VXAPI int WINAPI VXA_ComposeMail() { return 0; }
VXAPI int WINAPI VXA_GetCharSet() { return 0; }
VXAPI int WINAPI VXA_GetSource() { return 0; }
VXAPI int WINAPI VXA_SetSource() { return 0; }
VXAPI int WINAPI VXA_GetHeader() { return 0; }
VXAPI int WINAPI VXA_GetText() { return 0; }
VXAPI int WINAPI VXA_SetText() { return 0; }
VXAPI int WINAPI VXA_GetSpecifiedHeader() { return 0; }
VXAPI int WINAPI VXA_SetSpecifiedHeader() { return 0; }
VXAPI int WINAPI VXA_CompGetCharSet() { return 0; }
VXAPI int WINAPI VXA_CompGetSource() { return 0; }
VXAPI int WINAPI VXA_CompSetSource() { return 0; }
VXAPI int WINAPI VXA_CompGetHeader() { return 0; }
VXAPI int WINAPI VXA_CompGetSpecifiedHeader() { return 0; }
VXAPI int WINAPI VXA_CompSetSpecifiedHeader() { return 0; }
VXAPI int WINAPI VXA_CompGetText() { return 0; }
VXAPI int WINAPI VXA_CompSetText() { return 0; }
VXAPI int WINAPI VXA_CompAttachFile(HWND hCompose, LPCSTR lpFileName, LPCSTR lpMimeType) {
  return Host::Instance().AttachFile(hCompose, lpFileName, lpMimeType);
}
VXAPI int WINAPI VXA_Alloc() { return 0; }
VXAPI int WINAPI VXA_ReAlloc() { return 0; }
VXAPI int WINAPI VXA_Free() { return 0; }
VXAPI int WINAPI VXA_ISO_2022_JP() { return 0; }
VXAPI int WINAPI VXA_ISO_2022_KR() { return 0; }
VXAPI int WINAPI VXA_HZ_GB2312() { return 0; }
VXAPI int WINAPI VXA_ISO_8859_2() { return 0; }
VXAPI int WINAPI VXA_EUC_JP() { return 0; }
VXAPI int WINAPI VXA_UTF_7() { return 0; }
VXAPI int WINAPI VXA_UTF_8() { return 0; }
VXAPI int WINAPI VXA_B64Convert() { return 0; }
VXAPI int WINAPI VXA_QPConvert() { return 0; }
VXAPI int WINAPI VXA_MIMEHeader() { return 0; }
VXAPI int WINAPI VXA_SerializeRcpts() { return 0; }
VXAPI int WINAPI VXA_Connect() { return 0; }
