// The one door from the core to the operating system.
//
// On Windows this is <windows.h> and friends. Elsewhere it declares the part
// of the Win32 API the module uses, with the same names, types and meaning;
// src/platform/posix/ implements it as one shared library (libvxplatform) that
// the module, the host program and our archiver libraries all link, so that
// process-wide tables (drives, libraries, messages, windows) exist once.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <commdlg.h>

// --- Windows build: VxArc's own user-interface services ---------------------
// Win32 has no function for these; src/platform/win32/ implements them with
// real dialogs (see the POSIX branch below for the contract).
extern "C" {
BOOL WINAPI VxInputQuery(HWND hWndOwner, LPCSTR lpCaption, LPCSTR lpPrompt, LPSTR lpValue,
                         DWORD nSize);
INT_PTR WINAPI VxShowModal(HWND hWnd);
void WINAPI VxEndModal(HWND hWnd, INT_PTR nResult);
void WINAPI VxShowFormState(HWND hWnd);
}
// --- end of the Windows-build section ----------------------------------------

#else

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY
#define VXAPI extern "C" __attribute__((visibility("default")))

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef void* HANDLE;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;

typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HMENU__* HMENU;
typedef struct HICON__* HICON;
typedef HICON HCURSOR;
typedef struct HBRUSH__* HBRUSH;
typedef struct HDROP__* HDROP;

typedef INT_PTR (WINAPI* FARPROC)();
typedef LRESULT (CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define MAX_PATH 260

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

#define ERROR_SUCCESS 0
#define ERROR_INVALID_FUNCTION 1
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_NO_MORE_FILES 18
#define ERROR_WRITE_FAULT 29
#define ERROR_READ_FAULT 30
#define ERROR_SHARING_VIOLATION 32
#define ERROR_HANDLE_DISK_FULL 39
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_INVALID_NAME 123
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127
#define ERROR_DIR_NOT_EMPTY 145
#define ERROR_ALREADY_EXISTS 183
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_DLL_INIT_FAILED 1114
#define ERROR_NO_UNICODE_TRANSLATION 1113
#define ERROR_INVALID_WINDOW_HANDLE 1400

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define CP_ACP 0
#define CP_UTF8 65001

// Window messages and styles the module uses.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_CLOSE 0x0010
#define WM_COMMAND 0x0111
#define WM_DROPFILES 0x0233
#define WM_USER 0x0400
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define HWND_MESSAGE ((HWND)(LONG_PTR)-3)
#define GWLP_WNDPROC (-4)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define HWND_TOP ((HWND)0)
#define GWLP_USERDATA (-21)

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

typedef struct _BY_HANDLE_FILE_INFORMATION {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD dwVolumeSerialNumber;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD nNumberOfLinks;
  DWORD nFileIndexHigh;
  DWORD nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION, *LPBY_HANDLE_FILE_INFORMATION;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// --- errors -----------------------------------------------------------------
VXAPI DWORD WINAPI GetLastError(void);
VXAPI void WINAPI SetLastError(DWORD dwErrCode);

// --- modules and libraries --------------------------------------------------
VXAPI HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
VXAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule);
VXAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
VXAPI HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
VXAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// --- paths and folders ------------------------------------------------------
VXAPI DWORD WINAPI SearchPathA(LPCSTR lpPath, LPCSTR lpFileName, LPCSTR lpExtension,
                               DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);
VXAPI DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);
VXAPI DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                    LPSTR* lpFilePart);
VXAPI DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
VXAPI BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName);
VXAPI BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
VXAPI BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName);

// --- files ------------------------------------------------------------------
VXAPI DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);
VXAPI BOOL WINAPI DeleteFileA(LPCSTR lpFileName);
VXAPI BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
VXAPI BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists);
VXAPI HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile);
VXAPI BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                           LPDWORD lpNumberOfBytesRead, void* lpOverlapped);
VXAPI BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                            LPDWORD lpNumberOfBytesWritten, void* lpOverlapped);
VXAPI DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
VXAPI DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh,
                                  DWORD dwMoveMethod);
VXAPI BOOL WINAPI CloseHandle(HANDLE hObject);
// With FILE_FLAG_BACKUP_SEMANTICS CreateFileA opens a directory too; the
// volume serial number and file index then tell one directory from another.
VXAPI BOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                             LPBY_HANDLE_FILE_INFORMATION lpFileInformation);

// Directory search. "." and ".." come first in a non-root directory.
VXAPI HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
VXAPI BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
VXAPI BOOL WINAPI FindClose(HANDLE hFindFile);

// --- time -------------------------------------------------------------------
VXAPI void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime);
VXAPI BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime);
VXAPI BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime);
VXAPI BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);
VXAPI BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime);

// --- code page 932 text -----------------------------------------------------
VXAPI BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
VXAPI LPSTR WINAPI CharNextA(LPCSTR lpsz);
VXAPI LPSTR WINAPI CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent);
VXAPI int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);

// --- private profile (ini) files --------------------------------------------
VXAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, int nDefault,
                                        LPCSTR lpFileName);
VXAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                            LPSTR lpReturnedString, DWORD nSize,
                                            LPCSTR lpFileName);
VXAPI BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                             LPCSTR lpFileName);

// --- windows and messages ---------------------------------------------------
VXAPI UINT WINAPI RegisterWindowMessageA(LPCSTR lpString);
VXAPI ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass);
VXAPI BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
VXAPI HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName,
                                  DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                                  HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                  LPVOID lpParam);
VXAPI BOOL WINAPI DestroyWindow(HWND hWnd);
VXAPI BOOL WINAPI IsWindow(HWND hWnd);
VXAPI LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
VXAPI LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
VXAPI LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
VXAPI LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex);
VXAPI BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
VXAPI BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                               UINT uFlags);
VXAPI BOOL WINAPI SetForegroundWindow(HWND hWnd);
VXAPI BOOL WINAPI BringWindowToTop(HWND hWnd);


// ============================================================================
// User-interface services: message boxes, the file-open dialog, the folder
// browser and files dropped from the shell, with their Win32 names; then the
// few services Win32 has no function for (an input box, running a form
// window modally). On POSIX a pluggable backend answers all of them (a
// console on standard input and output, or a script in tests): see
// platform/posix/vxui.h.
// ============================================================================

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONMASK 0x000000F0L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define VK_DELETE 0x2E

// The chosen button's ID, or 0 when the box could not be shown.
VXAPI int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// --- file-open dialog --------------------------------------------------------
#define OFN_READONLY 0x00000001
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_EXPLORER 0x00080000
#define OFN_ENABLESIZING 0x00800000
#define FNERR_BUFFERTOOSMALL 0x3003

typedef UINT_PTR (CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

// With OFN_ALLOWMULTISELECT | OFN_EXPLORER several files come back as the
// folder, a NUL, each name and a NUL, and a final NUL; a name given as a
// full path stands for itself. One file comes back as its full path.
VXAPI BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA lpofn);
// Why the last common dialog returned FALSE: 0 when the user cancelled.
VXAPI DWORD WINAPI CommDlgExtendedError(void);

// --- folder browser ----------------------------------------------------------
#define BIF_RETURNONLYFSDIRS 0x00000001

typedef struct _ITEMIDLIST ITEMIDLIST;
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef int (CALLBACK* BFFCALLBACK)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

typedef struct _browseinfoA {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;  // null: the desktop
  LPSTR pszDisplayName;    // MAX_PATH bytes: the chosen item's display name
  LPCSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
} BROWSEINFOA, *LPBROWSEINFOA;

// The chosen item, freed with CoTaskMemFree; null when the user cancelled.
VXAPI LPITEMIDLIST WINAPI SHBrowseForFolderA(LPBROWSEINFOA lpbi);
// The file-system path of an item into a MAX_PATH buffer.
VXAPI BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath);
VXAPI void WINAPI CoTaskMemFree(LPVOID pv);

// --- files dropped from the shell (WM_DROPFILES, wParam is the HDROP) --------
VXAPI void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept);
// iFile 0xFFFFFFFF gives the number of paths; a null buffer the length of
// path iFile; otherwise the length copied (at most cch - 1 bytes).
VXAPI UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
VXAPI void WINAPI DragFinish(HDROP hDrop);

// --- VxArc's own: services Win32 has no function for -------------------------
// An input box with a caption, a prompt and one line of text, initially
// lpValue. TRUE when the user confirmed; the text is then in lpValue (at
// most nSize - 1 bytes; a longer answer fails with ERROR_INSUFFICIENT_BUFFER).
VXAPI BOOL WINAPI VxInputQuery(HWND hWndOwner, LPCSTR lpCaption, LPCSTR lpPrompt, LPSTR lpValue,
                               DWORD nSize);
// Runs the modal loop of a form window: returns when VxEndModal is called
// for it (giving that result), or when the user closed the window some
// other way (giving IDCANCEL).
VXAPI INT_PTR WINAPI VxShowModal(HWND hWnd);
// Ends the modal loop of the window with the result; nothing when the
// window is not in a modal loop.
VXAPI void WINAPI VxEndModal(HWND hWnd, INT_PTR nResult);
// The view of a form window shows the form's state at once (shown or
// hidden, texts, checks) instead of at its next redraw; nothing for a
// window without a view.
VXAPI void WINAPI VxShowFormState(HWND hWnd);

// ============================================================================
// Menus (section of the plug-in's menu work): menu bars and pop-ups with
// separators and string items. One table per process, so that a menu built
// by the host can be extended by a module and read back by the host.
// ============================================================================

#define MF_STRING 0x00000000L
#define MF_BYCOMMAND 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_CHECKED 0x00000008L
#define MF_POPUP 0x00000010L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L

VXAPI HMENU WINAPI CreateMenu(void);
VXAPI HMENU WINAPI CreatePopupMenu(void);
// Destroys the menu and every pop-up attached to it.
VXAPI BOOL WINAPI DestroyMenu(HMENU hMenu);
// With MF_POPUP uIDNewItem is the pop-up's HMENU, which the menu then owns;
// with MF_SEPARATOR the identifier and the text are ignored.
VXAPI BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
// -1 for a handle that is no menu.
VXAPI int WINAPI GetMenuItemCount(HMENU hMenu);
// The pop-up at a position, or null when the item there opens none.
VXAPI HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos);
// The identifier at a position: 0 for a separator, (UINT)-1 for a pop-up
// or a position that does not exist.
VXAPI UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos);
// The item's flags (MF_SEPARATOR, MF_POPUP, ...); (UINT)-1 when there is
// no such item. By command, pop-ups are searched too.
VXAPI UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
// The item's text: the length copied (at most cchMax - 1 bytes), or the
// whole length when lpString is null; 0 when there is no such item.
VXAPI int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);

#endif
