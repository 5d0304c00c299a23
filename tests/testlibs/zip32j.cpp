// Recording test library standing in for ZIP32J.DLL.
#define LIBRARY_NAME "ZIP32J.DLL"
#include "TestEntries.h"

#ifndef OMIT_Zip
COMMAND_ENTRY(Zip)
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
