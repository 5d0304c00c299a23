// Recording stand-in for UNZIP32.DLL.
#define LIBRARY_NAME "UNZIP32.DLL"
#include "Recorder.h"

COMMAND_ENTRY(UnZip)
OPEN_ENTRY(UnZipOpenArchive)
CLOSE_ENTRY(UnZipCloseArchive)
FINDFIRST_ENTRY(UnZipFindFirst)
FINDNEXT_ENTRY(UnZipFindNext)
CHECK_ENTRY(UnZipCheckArchive)
SETOWNER_ENTRY(UnZipSetOwnerWindowEx)
KILLOWNER_ENTRY(UnZipKillOwnerWindowEx)
