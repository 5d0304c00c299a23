// Recording test library standing in for CAB32.DLL.
#define LIBRARY_NAME "CAB32.DLL"
#include "TestEntries.h"

#ifndef OMIT_Cab
COMMAND_ENTRY(Cab)
#endif
#ifndef OMIT_CabOpenArchive
OPEN_ENTRY(CabOpenArchive)
#endif
#ifndef OMIT_CabCloseArchive
CLOSE_ENTRY(CabCloseArchive)
#endif
#ifndef OMIT_CabFindFirst
FINDFIRST_ENTRY(CabFindFirst)
#endif
#ifndef OMIT_CabFindNext
FINDNEXT_ENTRY(CabFindNext)
#endif
#ifndef OMIT_CabCheckArchive
CHECK_ENTRY(CabCheckArchive)
#endif
#ifndef OMIT_CabSetOwnerWindowEx
SETOWNER_ENTRY(CabSetOwnerWindowEx)
#endif
#ifndef OMIT_CabKillOwnerWindowEx
KILLOWNER_ENTRY(CabKillOwnerWindowEx)
#endif
