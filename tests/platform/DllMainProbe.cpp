// Test library: its DllMain logs every call and answers as told.
#include <cstdio>
#include <cstdlib>

#include "platform/win32api.h"

VXAPI BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (const char* log = std::getenv("VX_DLLMAIN_LOG")) {
    if (FILE* f = std::fopen(log, "a")) {
      std::fprintf(f, "%s\n", reason == DLL_PROCESS_ATTACH ? "attach" : reason == DLL_PROCESS_DETACH ? "detach" : "other");
      std::fclose(f);
    }
  }
  const char* result = std::getenv("VX_DLLMAIN_RESULT");
  return reason != DLL_PROCESS_ATTACH || result == nullptr || std::atoi(result) != 0;
}

VXAPI int WINAPI ProbeAnswer() { return 42; }
