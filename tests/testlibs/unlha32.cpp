// Recording test library standing in for UNLHA32.DLL.
#define LIBRARY_NAME "UNLHA32.DLL"
#include "TestEntries.h"

#ifndef OMIT_Unlha
COMMAND_ENTRY(Unlha)
#endif
#ifndef OMIT_UnlhaOpenArchive
OPEN_ENTRY(UnlhaOpenArchive)
#endif
#ifndef OMIT_UnlhaCloseArchive
CLOSE_ENTRY(UnlhaCloseArchive)
#endif
#ifndef OMIT_UnlhaFindFirst
FINDFIRST_ENTRY(UnlhaFindFirst)
#endif
#ifndef OMIT_UnlhaFindNext
FINDNEXT_ENTRY(UnlhaFindNext)
#endif
#ifndef OMIT_UnlhaCheckArchive
CHECK_ENTRY(UnlhaCheckArchive)
#endif
#ifndef OMIT_UnlhaSetOwnerWindowEx
SETOWNER_ENTRY(UnlhaSetOwnerWindowEx)
#endif
#ifndef OMIT_UnlhaKillOwnerWindowEx
KILLOWNER_ENTRY(UnlhaKillOwnerWindowEx)
#endif
