// Libraries by bare Windows name: the search of SearchPathA (main program's
// folder, current folder, PATH), names matched without case, ELF shared
// objects named like the Windows files, DllMain told of load and unload.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/posix/Internal.h"
#include "platform/posix/vxposix.h"

namespace vxposix::detail {
namespace {

struct Module {
  void* dl = nullptr;
  std::string posixPath;
  std::string winPath;
  int references = 0;
};

typedef BOOL(WINAPI* DllMainProc)(HINSTANCE, DWORD, LPVOID);

std::recursive_mutex modulesLock;
std::map<std::string, std::unique_ptr<Module>>& Modules() {
  static std::map<std::string, std::unique_ptr<Module>> modules;
  return modules;
}

Module& MainModule() {
  static Module main = [] {
    Module m;
    m.dl = dlopen(nullptr, RTLD_NOW);
    m.posixPath = ExecutablePath();
    ToWinPath(m.posixPath, m.winPath);
    m.references = 1;
    return m;
  }();
  return main;
}

bool IsFile(const std::string& posixPath) {
  struct stat st;
  return stat(posixPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A file in posixDir whose code page 932 name equals name without case.
bool FindInDirectory(const std::string& posixDir, const std::string& name, std::string& found) {
  std::string utf8;
  if (!Cp932ToUtf8(name, utf8)) return false;
  const std::string base = posixDir.empty() || posixDir.back() == '/' ? posixDir : posixDir + "/";
  if (IsFile(base + utf8)) {
    found = base + utf8;
    return true;
  }
  std::vector<std::string> names;
  if (!ListDirectory(posixDir, names)) return false;
  for (const auto& entry : names) {
    std::string sjis;
    if (Utf8ToCp932(entry, sjis) && EqualsNoCase(sjis, name) && IsFile(base + entry)) {
      found = base + entry;
      return true;
    }
  }
  return false;
}

// The default search order: main program's folder, current folder, PATH.
std::vector<std::string> DefaultSearchDirectories() {
  std::vector<std::string> dirs;
  const std::string exe = ExecutablePath();
  dirs.push_back(exe.substr(0, exe.find_last_of('/') + 1));
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) != nullptr) dirs.push_back(cwd);
  if (const char* path = getenv("PATH")) {
    std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
      size_t end = all.find(':', start);
      if (end == std::string::npos) end = all.size();
      if (end > start) dirs.push_back(all.substr(start, end - start));
      start = end + 1;
    }
  }
  return dirs;
}

bool HasPath(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

bool HasExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t slash = name.find_last_of("\\/");
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// Finds a file the way SearchPathA does; posixPath receives it.
bool Search(const char* winDirs, const std::string& name, std::string& posixPath) {
  if (HasPath(name)) {
    std::string p;
    if (!ToPosixPath(name, p) || !IsFile(p)) return false;
    posixPath = p;
    return true;
  }
  if (winDirs != nullptr) {
    std::string all = winDirs;
    size_t start = 0;
    while (start <= all.size()) {
      size_t end = all.find(';', start);
      if (end == std::string::npos) end = all.size();
      std::string dir;
      if (end > start && ToPosixPath(all.substr(start, end - start), dir) && FindInDirectory(dir, name, posixPath))
        return true;
      start = end + 1;
    }
    return false;
  }
  for (const auto& dir : DefaultSearchDirectories())
    if (FindInDirectory(dir, name, posixPath)) return true;
  return false;
}

Module* FindLoaded(HMODULE handle) {
  for (auto& [path, module] : Modules())
    if (reinterpret_cast<HMODULE>(module.get()) == handle) return module.get();
  return nullptr;
}

}  // namespace
}  // namespace vxposix::detail

using namespace vxposix;
using namespace vxposix::detail;

VXAPI DWORD WINAPI SearchPathA(LPCSTR lpPath, LPCSTR lpFileName, LPCSTR lpExtension,
                               DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  if (lpFileName == nullptr || *lpFileName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name = lpFileName;
  if (lpExtension != nullptr && !HasExtension(name)) name += lpExtension;
  std::string posix, win;
  if (!Search(lpPath, name, posix) || !ToWinPath(posix, win)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  const DWORD n = CopyOut(win, lpBuffer, nBufferLength);
  if (lpFilePart != nullptr && n == win.size()) *lpFilePart = lpBuffer + win.find_last_of('\\') + 1;
  return n;
}

VXAPI HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  if (lpLibFileName == nullptr || *lpLibFileName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string name = lpLibFileName;
  if (!HasExtension(name)) name += ".DLL";
  std::string posix;
  char real[PATH_MAX];
  if (!Search(nullptr, name, posix) || realpath(posix.c_str(), real) == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard<std::recursive_mutex> guard(modulesLock);
  auto it = Modules().find(real);
  if (it != Modules().end()) {
    ++it->second->references;
    return reinterpret_cast<HMODULE>(it->second.get());
  }
  void* dl = dlopen(real, RTLD_NOW | RTLD_LOCAL);
  if (dl == nullptr) {
    std::fprintf(stderr, "vxplatform: cannot load %s: %s\n", real, dlerror());
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto module = std::make_unique<Module>();
  module->dl = dl;
  module->posixPath = real;
  ToWinPath(real, module->winPath);
  module->references = 1;
  Module* raw = module.get();
  Modules()[real] = std::move(module);
  auto dllMain = reinterpret_cast<DllMainProc>(dlsym(dl, "DllMain"));
  if (dllMain != nullptr && !dllMain(reinterpret_cast<HINSTANCE>(raw), DLL_PROCESS_ATTACH, nullptr)) {
    Modules().erase(real);
    dlclose(dl);
    SetLastError(ERROR_DLL_INIT_FAILED);
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(raw);
}

VXAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  std::lock_guard<std::recursive_mutex> guard(modulesLock);
  if (hLibModule == reinterpret_cast<HMODULE>(&MainModule())) return TRUE;
  Module* module = FindLoaded(hLibModule);
  if (module == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (--module->references > 0) return TRUE;
  auto dllMain = reinterpret_cast<DllMainProc>(dlsym(module->dl, "DllMain"));
  if (dllMain != nullptr) dllMain(hLibModule, DLL_PROCESS_DETACH, nullptr);
  void* dl = module->dl;
  Modules().erase(module->posixPath);
  dlclose(dl);
  return TRUE;
}

VXAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (lpProcName == nullptr || reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* dl = nullptr;
  {
    std::lock_guard<std::recursive_mutex> guard(modulesLock);
    if (hModule == nullptr || hModule == reinterpret_cast<HMODULE>(&MainModule())) {
      dl = MainModule().dl;
    } else if (Module* module = FindLoaded(hModule)) {
      dl = module->dl;
    }
  }
  if (dl == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* address = dlsym(dl, lpProcName);
  if (address == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(address);
}

VXAPI HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  std::lock_guard<std::recursive_mutex> guard(modulesLock);
  if (lpModuleName == nullptr) return reinterpret_cast<HMODULE>(&MainModule());
  std::string name = lpModuleName;
  if (!HasExtension(name)) name += ".DLL";
  for (auto& [path, module] : Modules()) {
    const std::string& win = module->winPath;
    const std::string file = win.substr(win.find_last_of('\\') + 1);
    if (EqualsNoCase(name, HasPath(name) ? win : file)) return reinterpret_cast<HMODULE>(module.get());
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

VXAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string win;
  {
    std::lock_guard<std::recursive_mutex> guard(modulesLock);
    if (hModule == nullptr || hModule == reinterpret_cast<HMODULE>(&MainModule())) {
      win = MainModule().winPath;
    } else if (Module* module = FindLoaded(hModule)) {
      win = module->winPath;
    } else {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
  }
  if (lpFilename == nullptr || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // Cut to the buffer, as Win32 does, and say so.
  if (win.size() + 1 > nSize) {
    std::memcpy(lpFilename, win.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, win.c_str(), win.size() + 1);
  return static_cast<DWORD>(win.size());
}
