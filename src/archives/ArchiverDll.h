// The calling convention of the common archiver API family: what the
// back-ends call, and what our own and our test libraries export.
#pragma once

#include "platform/win32api.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef HANDLE HARC;

#define FNAME_MAX32 512

// Per-entry record of <Prefix>FindFirst / <Prefix>FindNext.
typedef struct {
  DWORD dwOriginalSize;
  DWORD dwCompressedSize;
  DWORD dwCRC;
  UINT uFlag;
  UINT uOSType;
  WORD wRatio;  // per mille
  WORD wDate;   // MS-DOS date
  WORD wTime;   // MS-DOS time
  char szFileName[FNAME_MAX32 + 1];
  char dummy1[3];
  char szAttribute[8];
  char szMode[8];
} INDIVIDUALINFO, *LPINDIVIDUALINFO;

// Progress record sent with "wm_arcextract" (lParam).
typedef struct {
  DWORD dwFileSize;
  DWORD dwWriteSize;
  char szSourceFileName[FNAME_MAX32 + 1];
  char dummy1[3];
  char szDestFileName[FNAME_MAX32 + 1];
  char dummy[3];
} EXTRACTINGINFO, *LPEXTRACTINGINFO;

typedef struct {
  EXTRACTINGINFO exinfo;
  DWORD dwCompressedSize;
  DWORD dwCRC;
  UINT uOSType;
  WORD wRatio;
  WORD wDate;
  WORD wTime;
  char szAttribute[8];
  char szMode[8];
} EXTRACTINGINFOEX, *LPEXTRACTINGINFOEX;

// Progress states (wParam of "wm_arcextract").
#define ARCEXTRACT_BEGIN 0
#define ARCEXTRACT_INPROCESS 1
#define ARCEXTRACT_END 2
#define ARCEXTRACT_OPEN 3
#define ARCEXTRACT_COPY 4

// Open modes and check modes.
#define M_INIT_FILE_USE 0x00000001L
#define M_REGARDLESS_INIT_FILE 0x00000002L
#define M_CHECK_ALL_PATH 0x00000100L
#define M_CHECK_FILENAME_ONLY 0x00000200L
#define M_USE_DRIVE_LETTER 0x00001000L
#define M_NOT_USE_DRIVE_LETTER 0x00002000L
#define M_ERROR_MESSAGE_ON 0x00400000L
#define M_ERROR_MESSAGE_OFF 0x00800000L
#define CHECKARCHIVE_RAPID 0
#define CHECKARCHIVE_BASIC 1
#define CHECKARCHIVE_FULLCRC 2

// Result codes of the command entry: 0 is success, errors are 0x8000 up.
#define ARCERR_START 0x8000
#define ARCERR_DISK_SPACE 0x8005
#define ARCERR_READ_ONLY 0x8006
#define ARCERR_UNKNOWN_TYPE 0x8008
#define ARCERR_METHOD 0x8009
#define ARCERR_FILE_CRC 0x800C
#define ARCERR_FILE_OPEN 0x800D
#define ARCERR_NOT_EXIST 0x800F
#define ARCERR_MAKEDIRECTORY 0x8012
#define ARCERR_CANNOT_WRITE 0x8013
#define ARCERR_HEADER_CRC 0x8016
#define ARCERR_HEADER_BROKEN 0x8017
#define ARCERR_ARC_FILE_OPEN 0x8018
#define ARCERR_NOT_ARC_FILE 0x8019
#define ARCERR_CANNOT_READ 0x801A
#define ARCERR_COMMAND_NAME 0x801C
#define ARCERR_ENOUGH_MEMORY 0x801E
#define ARCERR_USER_CANCEL 0x8020
#define ARCERR_NOT_SUPPORT 0x8023
#define ARCERR_TMP_OPEN 0x8025
#define ARCERR_LONG_FILE_NAME 0x8026
#define ARCERR_NOT_FIND_ARC_FILE 0x8029
#define ARCERR_RESPONSE_READ 0x802A
#define ARCERR_NOT_FILENAME 0x802B
#define ARCERR_EOF 0x802D

// Entry signatures; <Prefix> is the family's prefix (Unlha, Zip, Cab ...).
typedef int(WINAPI* TArcCommandProc)(HWND hWnd, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize);
typedef HARC(WINAPI* TArcOpenArchiveProc)(HWND hWnd, LPCSTR szFileName, DWORD dwMode);
typedef int(WINAPI* TArcCloseArchiveProc)(HARC hArc);
typedef int(WINAPI* TArcFindFirstProc)(HARC hArc, LPCSTR szWildName, LPINDIVIDUALINFO lpSubInfo);
typedef int(WINAPI* TArcFindNextProc)(HARC hArc, LPINDIVIDUALINFO lpSubInfo);
typedef BOOL(WINAPI* TArcCheckArchiveProc)(LPCSTR szFileName, int iMode);
typedef BOOL(WINAPI* TArcSetOwnerWindowExProc)(HWND hWnd, void* lpArcProc);
typedef BOOL(WINAPI* TArcKillOwnerWindowExProc)(HWND hWnd);
typedef int(WINAPI* TTarGetArchiveTypeProc)(LPCSTR szFileName);

#ifdef __cplusplus
}
#endif
