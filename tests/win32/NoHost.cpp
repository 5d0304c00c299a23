// vxnohost.exe MODULE ARCHIVER_FOLDER: a program that is not the mail
// client (it exports no host API) loads the module, with the archiver
// libraries findable. Exit code 0: the load was refused with
// ERROR_DLL_INIT_FAILED and no window appeared; 1: the module loaded; 2:
// refused for another reason; 3: a window appeared (its caption printed);
// 5: the watcher could not be started or stopped.
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

// A visible window of this process, with its caption printed, or null.
HWND ShownWindow() {
  HWND shown = nullptr;
  EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&shown));
  if (shown != nullptr) {
    char caption[256] = {};
    GetWindowTextA(shown, caption, sizeof caption);
    std::printf("vxnohost: a window appeared: %s\n", caption);
    std::fflush(stdout);
  }
  return shown;
}

struct TWatch {
  HANDLE Ready = nullptr;  // set once the watcher has looked the first time
  HANDLE Stop = nullptr;   // set by the main thread after the load
};

// Watches for windows while the load runs: a box shown from the module's
// start-up blocks the load, so it must be seen from another thread. The
// process then ends at once: the loading thread holds the loader lock that
// an orderly exit would wait for.
DWORD WINAPI Watch(LPVOID Param) {
  auto* watch = static_cast<TWatch*>(Param);
  bool first = true;
  do {
    if (ShownWindow() != nullptr) TerminateProcess(GetCurrentProcess(), 3);
    if (first) SetEvent(watch->Ready);
    first = false;
  } while (WaitForSingleObject(watch->Stop, 20) == WAIT_TIMEOUT);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 4;
  SetDllDirectoryA(argv[2]);
  TWatch watch;
  watch.Ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  watch.Stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE watcher = CreateThread(nullptr, 0, &Watch, &watch, 0, nullptr);
  // A thread starts under the loader lock, and the window functions load
  // their own libraries on first use: both done before the module loads.
  if (watcher == nullptr || WaitForSingleObject(watch.Ready, 30000) != WAIT_OBJECT_0) {
    std::printf("vxnohost: the window watcher did not start\n");
    return 5;
  }
  HMODULE module = LoadLibraryA(argv[1]);
  const DWORD error = GetLastError();
  // The watcher is stopped and joined, never suspended: a thread held at an
  // arbitrary point may hold a lock that the process exit needs.
  SetEvent(watch.Stop);
  if (WaitForSingleObject(watcher, 30000) != WAIT_OBJECT_0) {
    std::printf("vxnohost: the window watcher did not stop\n");
    return 5;
  }
  CloseHandle(watcher);
  CloseHandle(watch.Ready);
  CloseHandle(watch.Stop);
  // A refused module has run its start-up and is gone: a window it left
  // behind is there now.
  if (ShownWindow() != nullptr) return 3;
  if (module != nullptr) {
    std::printf("vxnohost: the module loaded\n");
    return 1;
  }
  std::printf("vxnohost: refused (error %lu)\n", error);
  return error == ERROR_DLL_INIT_FAILED ? 0 : 2;
}
