// The shared memory of the recording test archiver libraries: every entry
// call is recorded here, and results, reports and progress are scripted
// here. One shared object, so the test program and every test library loaded
// into it see the same record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archives/ArchiverDll.h"

#define ARCTEST_API __attribute__((visibility("default")))

namespace arctest {

struct Call {
  std::string library;      // e.g. "UNLHA32.DLL"
  std::string entry;        // e.g. "Unlha"
  HWND window = nullptr;
  std::string text;         // command line, archive name or wildcard
  bool bufferNull = false;  // command entries: the output buffer was null
  DWORD bufferSize = 0;
  DWORD mode = 0;           // open / check modes
  HARC handle = nullptr;
  void* record = nullptr;   // FindFirst / FindNext record, SetOwnerWindowEx callback
  bool probeExisted = false;            // see SetProbePath
  std::vector<LRESULT> progressAnswers;  // what the owner window answered
};

ARCTEST_API void Reset();
ARCTEST_API std::vector<Call> Calls();
// Calls of one entry (all libraries when library is empty).
ARCTEST_API std::vector<Call> CallsOf(const std::string& entry, const std::string& library = "");

// The value an entry returns (command result, handle as an integer, verdict).
// Unscripted entries return 0 (for a handle: cannot open), Set/KillOwnerWindowEx 1.
ARCTEST_API void ScriptResult(const std::string& library, const std::string& entry, intptr_t result);
// Text a command entry writes into the output buffer (cut at its size).
ARCTEST_API void ScriptReport(const std::string& library, const std::string& entry,
                              const std::string& report);
// Number of "wm_arcextract" messages a command entry sends to the owner
// window registered with SetOwnerWindowEx (default 3: begin, one member, end).
ARCTEST_API void ScriptProgressCount(int count);
// Each command call records whether this path existed when it ran.
ARCTEST_API void SetProbePath(const std::string& windowsPath);

// Entry bodies used by the test libraries.
ARCTEST_API int Command(const char* library, const char* entry, HWND hWnd, LPCSTR cmdLine,
                        LPSTR output, DWORD size);
ARCTEST_API HARC Open(const char* library, const char* entry, HWND hWnd, LPCSTR name, DWORD mode);
ARCTEST_API int Close(const char* library, const char* entry, HARC hArc);
ARCTEST_API int FindFirst(const char* library, const char* entry, HARC hArc, LPCSTR wild,
                          LPINDIVIDUALINFO info);
ARCTEST_API int FindNext(const char* library, const char* entry, HARC hArc, LPINDIVIDUALINFO info);
ARCTEST_API BOOL Check(const char* library, const char* entry, LPCSTR name, int mode);
ARCTEST_API BOOL SetOwner(const char* library, const char* entry, HWND hWnd, void* proc);
ARCTEST_API BOOL KillOwner(const char* library, const char* entry, HWND hWnd);
ARCTEST_API int GetType(const char* library, const char* entry, LPCSTR name);

}  // namespace arctest
