// Module-wide state of the plug-in and its start-up, shut-down and command.
#pragma once

#include <memory>

#include "platform/win32api.h"
#include "plugin/VordexAPI.h"

namespace vx {

// The binding to the host; lives from start-up to unload.
extern std::unique_ptr<TVordexAPI> HostAPI;
// The settings file: the module's path with the extension ".ini". Room for
// a module path of 260 bytes with its terminator, plus the extension.
extern char IniFileName[264];

// Start-up when the host loads the module; false refuses the load.
bool InitPlugin(HINSTANCE Module);
// Shut-down when the module is unloaded.
void DonePlugin();

// The settings file of a module path: from the last "." on replaced by
// ".ini", or ".ini" appended when there is no ".".
void SetIniFileName(const char* ModulePath);

// The compose-window command "圧縮して添付...", called by the host with the
// compose window.
void WINAPI OnCompressAttach(HWND Compose, LONG Unused);

}  // namespace vx
