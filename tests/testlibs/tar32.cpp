// Recording test library standing in for tar32.dll.
#define LIBRARY_NAME "tar32.dll"
#include "TestEntries.h"

#ifndef OMIT_Tar
COMMAND_ENTRY(Tar)
#endif
#ifndef OMIT_TarOpenArchive
OPEN_ENTRY(TarOpenArchive)
#endif
#ifndef OMIT_TarCloseArchive
CLOSE_ENTRY(TarCloseArchive)
#endif
#ifndef OMIT_TarFindFirst
FINDFIRST_ENTRY(TarFindFirst)
#endif
#ifndef OMIT_TarFindNext
FINDNEXT_ENTRY(TarFindNext)
#endif
#ifndef OMIT_TarCheckArchive
CHECK_ENTRY(TarCheckArchive)
#endif
#ifndef OMIT_TarSetOwnerWindowEx
SETOWNER_ENTRY(TarSetOwnerWindowEx)
#endif
#ifndef OMIT_TarKillOwnerWindowEx
KILLOWNER_ENTRY(TarKillOwnerWindowEx)
#endif
#ifndef OMIT_TarGetArchiveType
GETTYPE_ENTRY(TarGetArchiveType)
#endif
