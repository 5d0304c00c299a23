// Recording stand-in for CAB32.DLL.
#define LIBRARY_NAME "CAB32.DLL"
#include "Recorder.h"

COMMAND_ENTRY(Cab)
OPEN_ENTRY(CabOpenArchive)
CLOSE_ENTRY(CabCloseArchive)
FINDFIRST_ENTRY(CabFindFirst)
FINDNEXT_ENTRY(CabFindNext)
CHECK_ENTRY(CabCheckArchive)
SETOWNER_ENTRY(CabSetOwnerWindowEx)
KILLOWNER_ENTRY(CabKillOwnerWindowEx)
