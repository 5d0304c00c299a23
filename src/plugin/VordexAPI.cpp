#include "plugin/VordexAPI.h"

namespace vx {

bool TVordexAPI::Bind() {
  if (HostModule != nullptr) return true;
  // The plug-in runs inside the host's process: the main program is the
  // host, and it exports the entries.
  HostModule = GetModuleHandleA(nullptr);
  if (reinterpret_cast<UINT_PTR>(HostModule) < 32) {
    HostModule = nullptr;
    return false;
  }
  // In this order; the first name that is missing ends the binding.
  const bool bound =
      Lookup("VXA_GetVersion", GetVersion) &&
      Lookup("VXA_Command", Command) &&
      Lookup("VXA_GetWindowHandles", GetWindowHandles) &&
      Lookup("VXA_RegisterCommand", RegisterCommand) &&
      Lookup("VXA_RegisterUICallback", RegisterUICallback) &&
      Lookup("VXA_GetDataFolder", GetDataFolder) &&
      Lookup("VXA_GetTempFolder", GetTempFolder) &&
      Lookup("VXA_GetTempFileName", GetTempFileName) &&
      Lookup("VXA_GetCurrentMailBox", GetCurrentMailBox) &&
      Lookup("VXA_SetCurrentMailBox", SetCurrentMailBox) &&
      Lookup("VXA_GetCurrentFolder", GetCurrentFolder) &&
      Lookup("VXA_SetCurrentFolder", SetCurrentFolder) &&
      Lookup("VXA_GetFolderDisplayName", GetFolderDisplayName) &&
      Lookup("VXA_SetMessageText", SetMessageText) &&
      Lookup("VXA_GetCurrentMail", GetCurrentMail) &&
      Lookup("VXA_SetCurrentMail", SetCurrentMail) &&
      Lookup("VXA_GetNextMail", GetNextMail) &&
      Lookup("VXA_SetSel", SetSel) &&
      Lookup("VXA_AppendMessage", AppendMessage) &&
      Lookup("VXA_MoveSelectedMessages", MoveSelectedMessages) &&
      Lookup("VXA_GetStatus", GetStatus) &&
      Lookup("VXA_ComposeMail", ComposeMail) &&
      Lookup("VXA_GetCharSet", GetCharSet) &&
      Lookup("VXA_GetSource", GetSource) &&
      Lookup("VXA_SetSource", SetSource) &&
      Lookup("VXA_GetHeader", GetHeader) &&
      Lookup("VXA_GetText", GetText) &&
      Lookup("VXA_SetText", SetText) &&
      Lookup("VXA_GetSpecifiedHeader", GetSpecifiedHeader) &&
      Lookup("VXA_SetSpecifiedHeader", SetSpecifiedHeader) &&
      Lookup("VXA_CompGetCharSet", CompGetCharSet) &&
      Lookup("VXA_CompGetSource", CompGetSource) &&
      Lookup("VXA_CompSetSource", CompSetSource) &&
      Lookup("VXA_CompGetHeader", CompGetHeader) &&
      Lookup("VXA_CompGetSpecifiedHeader", CompGetSpecifiedHeader) &&
      Lookup("VXA_CompSetSpecifiedHeader", CompSetSpecifiedHeader) &&
      Lookup("VXA_CompGetText", CompGetText) &&
      Lookup("VXA_CompSetText", CompSetText) &&
      Lookup("VXA_CompAttachFile", CompAttachFile) &&
      Lookup("VXA_Alloc", Alloc) &&
      Lookup("VXA_ReAlloc", ReAlloc) &&
      Lookup("VXA_Free", Free) &&
      Lookup("VXA_ISO_2022_JP", ISO_2022_JP) &&
      Lookup("VXA_ISO_2022_KR", ISO_2022_KR) &&
      Lookup("VXA_HZ_GB2312", HZ_GB2312) &&
      Lookup("VXA_ISO_8859_2", ISO_8859_2) &&
      Lookup("VXA_EUC_JP", EUC_JP) &&
      Lookup("VXA_UTF_7", UTF_7) &&
      Lookup("VXA_UTF_8", UTF_8) &&
      Lookup("VXA_B64Convert", B64Convert) &&
      Lookup("VXA_QPConvert", QPConvert) &&
      Lookup("VXA_MIMEHeader", MIMEHeader) &&
      Lookup("VXA_SerializeRcpts", SerializeRcpts) &&
      Lookup("VXA_Connect", Connect);
  if (!bound) HostModule = nullptr;
  return bound;
}

}  // namespace vx
