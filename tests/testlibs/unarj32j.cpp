// Recording test library standing in for UNARJ32J.DLL.
#define LIBRARY_NAME "UNARJ32J.DLL"
#include "TestEntries.h"

#ifndef OMIT_Unarj
COMMAND_ENTRY(Unarj)
#endif
#ifndef OMIT_UnarjOpenArchive
OPEN_ENTRY(UnarjOpenArchive)
#endif
#ifndef OMIT_UnarjCloseArchive
CLOSE_ENTRY(UnarjCloseArchive)
#endif
#ifndef OMIT_UnarjFindFirst
FINDFIRST_ENTRY(UnarjFindFirst)
#endif
#ifndef OMIT_UnarjFindNext
FINDNEXT_ENTRY(UnarjFindNext)
#endif
#ifndef OMIT_UnarjCheckArchive
CHECK_ENTRY(UnarjCheckArchive)
#endif
#ifndef OMIT_UnarjSetOwnerWindowEx
SETOWNER_ENTRY(UnarjSetOwnerWindowEx)
#endif
#ifndef OMIT_UnarjKillOwnerWindowEx
KILLOWNER_ENTRY(UnarjKillOwnerWindowEx)
#endif
