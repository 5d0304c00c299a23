// Entry definitions of the recording test libraries. A variant leaves one
// entry out by defining OMIT_<entry name>.
#pragma once

#include "recorder/ArcRecorder.h"

#define ARC_EXPORT extern "C" __attribute__((visibility("default")))

#define COMMAND_ENTRY(name)                                                       \
  ARC_EXPORT int WINAPI name(HWND h, LPCSTR cmd, LPSTR out, DWORD size) {         \
    return arctest::Command(LIBRARY_NAME, #name, h, cmd, out, size);              \
  }
#define OPEN_ENTRY(name)                                                          \
  ARC_EXPORT HARC WINAPI name(HWND h, LPCSTR file, DWORD mode) {                  \
    return arctest::Open(LIBRARY_NAME, #name, h, file, mode);                     \
  }
#define CLOSE_ENTRY(name) \
  ARC_EXPORT int WINAPI name(HARC a) { return arctest::Close(LIBRARY_NAME, #name, a); }
#define FINDFIRST_ENTRY(name)                                                     \
  ARC_EXPORT int WINAPI name(HARC a, LPCSTR wild, LPINDIVIDUALINFO info) {        \
    return arctest::FindFirst(LIBRARY_NAME, #name, a, wild, info);                \
  }
#define FINDNEXT_ENTRY(name)                                                      \
  ARC_EXPORT int WINAPI name(HARC a, LPINDIVIDUALINFO info) {                     \
    return arctest::FindNext(LIBRARY_NAME, #name, a, info);                       \
  }
#define CHECK_ENTRY(name)                                                         \
  ARC_EXPORT BOOL WINAPI name(LPCSTR file, int mode) {                            \
    return arctest::Check(LIBRARY_NAME, #name, file, mode);                       \
  }
#define SETOWNER_ENTRY(name)                                                      \
  ARC_EXPORT BOOL WINAPI name(HWND h, void* proc) {                               \
    return arctest::SetOwner(LIBRARY_NAME, #name, h, proc);                       \
  }
#define KILLOWNER_ENTRY(name) \
  ARC_EXPORT BOOL WINAPI name(HWND h) { return arctest::KillOwner(LIBRARY_NAME, #name, h); }
#define GETTYPE_ENTRY(name) \
  ARC_EXPORT int WINAPI name(LPCSTR file) { return arctest::GetType(LIBRARY_NAME, #name, file); }
