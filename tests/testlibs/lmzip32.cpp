// Recording test library standing in for LMZIP32.DLL.
#define LIBRARY_NAME "LMZIP32.DLL"
#include "TestEntries.h"

#ifndef OMIT_Zip
COMMAND_ENTRY(Zip)
#endif
#ifndef OMIT_Unzip
COMMAND_ENTRY(Unzip)
#endif
#ifndef OMIT_UnzipOpenArchive
OPEN_ENTRY(UnzipOpenArchive)
#endif
#ifndef OMIT_UnzipCloseArchive
CLOSE_ENTRY(UnzipCloseArchive)
#endif
#ifndef OMIT_UnzipFindFirst
FINDFIRST_ENTRY(UnzipFindFirst)
#endif
#ifndef OMIT_UnzipFindNext
FINDNEXT_ENTRY(UnzipFindNext)
#endif
#ifndef OMIT_UnzipCheckArchive
CHECK_ENTRY(UnzipCheckArchive)
#endif
#ifndef OMIT_UnzipSetOwnerWindowEx
SETOWNER_ENTRY(UnzipSetOwnerWindowEx)
#endif
#ifndef OMIT_UnzipKillOwnerWindowEx
KILLOWNER_ENTRY(UnzipKillOwnerWindowEx)
#endif
