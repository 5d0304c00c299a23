// A plug-in module loaded by the substitute host: loading (which runs the
// module's start-up), the callbacks the host calls, and unloading.
#pragma once

#include <string>

#include "platform/win32api.h"
#include "plugin/VxPlugin.h"

namespace vxhost {

// The four texts of the plug-in information record (code page 932).
struct PluginInfo {
  std::string Name, Vendor, Version, Description;
};

class PluginModule {
 public:
  // Loads the module by its Windows path; Loaded() tells whether it agreed.
  explicit PluginModule(const std::string& WinPath);
  // Unloads the module (its shut-down runs).
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  // The system's reason when the load failed.
  DWORD LoadError() const { return loadError_; }

  // The callbacks; a callback the module does not export answers -1.
  int OnStart();
  int OnExit();
  int OnMenuInit(HWND Window, HMENU Menu, LONG MenuType);
  PluginInfo Info();

  // Whether the module exports a name.
  bool Exports(const char* Name) const;

 private:
  FARPROC Entry(const char* Name) const;

  HMODULE module_ = nullptr;
  DWORD loadError_ = 0;
};

}  // namespace vxhost
