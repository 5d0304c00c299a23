// vxnohost.exe MODULE ARCHIVER_FOLDER: a program that is not the mail
// client (it exports no host API) loads the module, with the archiver
// libraries findable. Exit code 0: the load was refused with
// ERROR_DLL_INIT_FAILED and no window appeared; 1: the module loaded; 2:
// refused for another reason; 3: a window appeared (its caption printed).
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK FindShown(HWND Window, LPARAM Param) {
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(Window)) return TRUE;
  *reinterpret_cast<HWND*>(Param) = Window;
  return FALSE;
}

// Watches for windows while the load runs: a message box would block it.
DWORD WINAPI Watch(LPVOID) {
  for (int i = 0; i < 1000; ++i) {
    HWND shown = nullptr;
    EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&shown));
    if (shown != nullptr) {
      char caption[256] = {};
      GetWindowTextA(shown, caption, sizeof caption);
      std::printf("vxnohost: a window appeared: %s\n", caption);
      std::fflush(stdout);
      ExitProcess(3);
    }
    Sleep(20);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 4;
  SetDllDirectoryA(argv[2]);
  HANDLE watcher = CreateThread(nullptr, 0, &Watch, nullptr, 0, nullptr);
  HMODULE module = LoadLibraryA(argv[1]);
  const DWORD error = GetLastError();
  Sleep(300);  // a window opened late is still seen
  SuspendThread(watcher);
  if (module != nullptr) {
    std::printf("vxnohost: the module loaded\n");
    return 1;
  }
  std::printf("vxnohost: refused (error %lu)\n", error);
  return error == ERROR_DLL_INIT_FAILED ? 0 : 2;
}
