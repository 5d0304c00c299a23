// The contract between the Vordex mail client and its plug-ins, as far as
// VxArc uses it: the callbacks a plug-in exports by name, the information
// record, the menu type of a compose window and the host entries the
// plug-in calls. The host program includes this too.
#pragma once

#include <cstddef>

#include "platform/win32api.h"

#ifdef _WIN32
#define VXC_EXPORT extern "C"  // exported undecorated through VxArc.def
#else
#define VXC_EXPORT VXAPI
#endif

// VXC_OnMenuInit's menu type for the menu of a compose window.
constexpr LONG VX_MENU_COMPOSE = 10;

// Offsets of the four texts in the host's plug-in information record.
constexpr std::size_t VX_INFO_NAME = 0;
constexpr std::size_t VX_INFO_VENDOR = 80;
constexpr std::size_t VX_INFO_VERSION = 160;
constexpr std::size_t VX_INFO_DESCRIPTION = 240;

// A command registered with the host: the window it was chosen in, and an
// argument the plug-in does not use.
typedef void(WINAPI* TVxCommandProc)(HWND hWnd, LONG lParam);

// Host entries the plug-in calls.
typedef int(WINAPI* TVxaRegisterCommand)(LPCSTR lpText, LONG nMenuType, TVxCommandProc lpCallback);
typedef int(WINAPI* TVxaCompAttachFile)(HWND hCompose, LPCSTR lpFileName, LPCSTR lpMimeType);

// The plug-in's exports, as the host calls them.
typedef int(WINAPI* TVxcNoArgument)();
typedef int(WINAPI* TVxcOneArgument)(LONG);
typedef int(WINAPI* TVxcTwoArguments)(LONG, LONG);
typedef int(WINAPI* TVxcThreeArguments)(LONG, LONG, LONG);
typedef int(WINAPI* TVxcOnMenuInit)(HWND hWnd, HMENU hMenu, LONG nMenuType);
typedef int(WINAPI* TVxcOnPlugInInfo)(LPSTR lpInfo);
