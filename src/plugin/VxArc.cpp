// The module's exports: start-up and shut-down through DllMain, the menu
// item of the compose window, the information record, and callbacks that
// do nothing.
#include "plugin/VxArc.h"

#include <cstring>
#include <exception>

#include "forms/Dialogs.h"
#include "forms/zipform.h"
#include "plugin/VxPlugin.h"

namespace vx {

std::unique_ptr<TVordexAPI> HostAPI;
char IniFileName[264];

namespace {

const char kInitFailed[] = "VxArc の初期化に失敗しました。";
const char kNoLibrary[] = "圧縮に必要なDLLが見つかりません。";

const char kPluginName[] = "Vordex! 圧縮添付 plug-in";
const char kVendor[] = "VxArc Project";
const char kVersion[] = "0.30";
const char kDescription[] =
    "ファイルを簡単な操作で圧縮と同時に添付します。\r\n"
    "このプラグインの動作には統合アーカイバプロジェクト (http://www.csdinc.co.jp/archiver/) "
    "のDLLが必要です。詳しくはreadme.txtをご覧ください。";

const char kCommandText[] = "ファイルを圧縮して添付する";
const char kMenuItemText[] = "圧縮して添付...";

}  // namespace

void SetIniFileName(const char* ModulePath) {
  std::strncpy(IniFileName, ModulePath, MAX_PATH - 1);
  IniFileName[MAX_PATH - 1] = '\0';
  // "." is never the trail byte of a double-byte character.
  char* dot = std::strrchr(IniFileName, '.');
  std::strcpy(dot != nullptr ? dot : IniFileName + std::strlen(IniFileName), ".ini");
}

bool InitPlugin(HINSTANCE Module) {
  try {
    HostAPI = std::make_unique<TVordexAPI>();
    // Not inside the host: refuse silently.
    if (!HostAPI->Bind()) return false;
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(Module, path, MAX_PATH);
    // A path cut to the buffer would put the settings somewhere else.
    if (n == 0 || n >= MAX_PATH) throw Exception("module path unavailable");
    SetIniFileName(path);
  } catch (...) {
    MessageDlg(nullptr, kInitFailed, mtError, {mbOK});
    return false;
  }
  if (CheckArchiverDlls() == 0) {
    MessageDlg(nullptr, kNoLibrary, mtError, {mbOK});
    return false;
  }
  return true;
}

void DonePlugin() { HostAPI.reset(); }

}  // namespace vx

using namespace vx;

VXC_EXPORT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    if (InitPlugin(hinstDLL)) return TRUE;
    // A refused load still runs the shut-down.
    DonePlugin();
    return FALSE;
  }
  if (fdwReason == DLL_PROCESS_DETACH) DonePlugin();
  return TRUE;
}

VXC_EXPORT int WINAPI VXC_OnStart() { return 0; }
VXC_EXPORT int WINAPI VXC_OnExit() { return 0; }

VXC_EXPORT int WINAPI VXC_OnMenuInit(HWND, HMENU hMenu, LONG nType) {
  if (nType != VX_MENU_COMPOSE || HostAPI == nullptr) return 0;
  HMENU popup = GetSubMenu(hMenu, 3);
  AppendMenuA(popup, MF_SEPARATOR, 0, "-");
  const int id = HostAPI->RegisterCommand(kCommandText, VX_MENU_COMPOSE, &OnCompressAttach);
  AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(id)), kMenuItemText);
  return 0;
}

VXC_EXPORT int WINAPI VXC_OnOpenFolder(LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnOpenMail(LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnEveryMinute() { return 0; }
VXC_EXPORT int WINAPI VXC_OnOpenCompose(LONG, LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnOutgoing(LONG, LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnKeyDispatch(LONG, LONG, LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnRetrieve(LONG, LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnSend(LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnFinishRetrieve(LONG) { return 0; }
VXC_EXPORT int WINAPI VXC_OnPlugInSetup(LONG) { return 0; }

VXC_EXPORT int WINAPI VXC_OnPlugInInfo(LPSTR lpInfo) {
  if (lpInfo == nullptr) return 0;
  std::strcpy(lpInfo + VX_INFO_NAME, kPluginName);
  std::strcpy(lpInfo + VX_INFO_VENDOR, kVendor);
  std::strcpy(lpInfo + VX_INFO_VERSION, kVersion);
  std::strcpy(lpInfo + VX_INFO_DESCRIPTION, kDescription);
  return 0;
}
