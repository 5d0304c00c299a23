// Recording stand-in for UNLHA32.DLL.
#define LIBRARY_NAME "UNLHA32.DLL"
#include "Recorder.h"

COMMAND_ENTRY(Unlha)
OPEN_ENTRY(UnlhaOpenArchive)
CLOSE_ENTRY(UnlhaCloseArchive)
FINDFIRST_ENTRY(UnlhaFindFirst)
FINDNEXT_ENTRY(UnlhaFindNext)
CHECK_ENTRY(UnlhaCheckArchive)
SETOWNER_ENTRY(UnlhaSetOwnerWindowEx)
KILLOWNER_ENTRY(UnlhaKillOwnerWindowEx)
