// Recording test library standing in for UNZIP32.DLL.
#define LIBRARY_NAME "UNZIP32.DLL"
#include "TestEntries.h"

#ifndef OMIT_UnZip
COMMAND_ENTRY(UnZip)
#endif
#ifndef OMIT_UnZipOpenArchive
OPEN_ENTRY(UnZipOpenArchive)
#endif
#ifndef OMIT_UnZipCloseArchive
CLOSE_ENTRY(UnZipCloseArchive)
#endif
#ifndef OMIT_UnZipFindFirst
FINDFIRST_ENTRY(UnZipFindFirst)
#endif
#ifndef OMIT_UnZipFindNext
FINDNEXT_ENTRY(UnZipFindNext)
#endif
#ifndef OMIT_UnZipCheckArchive
CHECK_ENTRY(UnZipCheckArchive)
#endif
#ifndef OMIT_UnZipSetOwnerWindowEx
SETOWNER_ENTRY(UnZipSetOwnerWindowEx)
#endif
#ifndef OMIT_UnZipKillOwnerWindowEx
KILLOWNER_ENTRY(UnZipKillOwnerWindowEx)
#endif
