// Recording test library standing in for UNRAR32.DLL.
#define LIBRARY_NAME "UNRAR32.DLL"
#include "TestEntries.h"

#ifndef OMIT_Unrar
COMMAND_ENTRY(Unrar)
#endif
#ifndef OMIT_UnrarOpenArchive
OPEN_ENTRY(UnrarOpenArchive)
#endif
#ifndef OMIT_UnrarCloseArchive
CLOSE_ENTRY(UnrarCloseArchive)
#endif
#ifndef OMIT_UnrarFindFirst
FINDFIRST_ENTRY(UnrarFindFirst)
#endif
#ifndef OMIT_UnrarFindNext
FINDNEXT_ENTRY(UnrarFindNext)
#endif
#ifndef OMIT_UnrarCheckArchive
CHECK_ENTRY(UnrarCheckArchive)
#endif
#ifndef OMIT_UnrarSetOwnerWindowEx
SETOWNER_ENTRY(UnrarSetOwnerWindowEx)
#endif
#ifndef OMIT_UnrarKillOwnerWindowEx
KILLOWNER_ENTRY(UnrarKillOwnerWindowEx)
#endif
