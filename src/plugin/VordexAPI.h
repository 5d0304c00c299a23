// The binding to the Vordex host's API: the addresses of the 54 VXA_*
// entries that the host's main program exports, looked up by name once.
#pragma once

#include "archives/Persistent.h"
#include "platform/win32api.h"
#include "plugin/VxPlugin.h"

namespace vx {

class TVordexAPI : public TObject {
 public:
  TVordexAPI() = default;
  // Never releases HostModule: it was obtained without a reference.
  ~TVordexAPI() override = default;
  TVordexAPI(const TVordexAPI&) = delete;
  TVordexAPI& operator=(const TVordexAPI&) = delete;

  // True when all 54 entries are bound; binds at most once. On failure the
  // object stays unbound (HostModule null).
  bool Bind();

  // The host's entries, in binding order. Only RegisterCommand and
  // CompAttachFile are called; the others must merely exist.
  FARPROC GetVersion = nullptr;
  FARPROC Command = nullptr;
  FARPROC GetWindowHandles = nullptr;
  TVxaRegisterCommand RegisterCommand = nullptr;
  FARPROC RegisterUICallback = nullptr;
  FARPROC GetDataFolder = nullptr;
  FARPROC GetTempFolder = nullptr;
  FARPROC GetTempFileName = nullptr;
  FARPROC GetCurrentMailBox = nullptr;
  FARPROC SetCurrentMailBox = nullptr;
  FARPROC GetCurrentFolder = nullptr;
  FARPROC SetCurrentFolder = nullptr;
  FARPROC GetFolderDisplayName = nullptr;
  FARPROC SetMessageText = nullptr;
  FARPROC GetCurrentMail = nullptr;
  FARPROC SetCurrentMail = nullptr;
  FARPROC GetNextMail = nullptr;
  FARPROC SetSel = nullptr;
  FARPROC AppendMessage = nullptr;
  FARPROC MoveSelectedMessages = nullptr;
  FARPROC GetStatus = nullptr;
  FARPROC ComposeMail = nullptr;
  FARPROC GetCharSet = nullptr;
  FARPROC GetSource = nullptr;
  FARPROC SetSource = nullptr;
  FARPROC GetHeader = nullptr;
  FARPROC GetText = nullptr;
  FARPROC SetText = nullptr;
  FARPROC GetSpecifiedHeader = nullptr;
  FARPROC SetSpecifiedHeader = nullptr;
  FARPROC CompGetCharSet = nullptr;
  FARPROC CompGetSource = nullptr;
  FARPROC CompSetSource = nullptr;
  FARPROC CompGetHeader = nullptr;
  FARPROC CompGetSpecifiedHeader = nullptr;
  FARPROC CompSetSpecifiedHeader = nullptr;
  FARPROC CompGetText = nullptr;
  FARPROC CompSetText = nullptr;
  TVxaCompAttachFile CompAttachFile = nullptr;
  FARPROC Alloc = nullptr;
  FARPROC ReAlloc = nullptr;
  FARPROC Free = nullptr;
  FARPROC ISO_2022_JP = nullptr;
  FARPROC ISO_2022_KR = nullptr;
  FARPROC HZ_GB2312 = nullptr;
  FARPROC ISO_8859_2 = nullptr;
  FARPROC EUC_JP = nullptr;
  FARPROC UTF_7 = nullptr;
  FARPROC UTF_8 = nullptr;
  FARPROC B64Convert = nullptr;
  FARPROC QPConvert = nullptr;
  FARPROC MIMEHeader = nullptr;
  FARPROC SerializeRcpts = nullptr;
  FARPROC Connect = nullptr;

  // The host's main program, or null while unbound.
  HMODULE HostModule = nullptr;

 private:
  template <typename Proc>
  bool Lookup(LPCSTR Name, Proc& Field) {
    FARPROC address = GetProcAddress(HostModule, Name);
    if (address == nullptr) return false;
    // Through the generic function pointer, which converts to any other.
    Field = reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(address));
    return true;
  }
};

}  // namespace vx
