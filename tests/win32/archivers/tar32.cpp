// Recording stand-in for TAR32.DLL.
#define LIBRARY_NAME "TAR32.DLL"
#include "Recorder.h"

COMMAND_ENTRY(Tar)
OPEN_ENTRY(TarOpenArchive)
CLOSE_ENTRY(TarCloseArchive)
FINDFIRST_ENTRY(TarFindFirst)
FINDNEXT_ENTRY(TarFindNext)
CHECK_ENTRY(TarCheckArchive)
SETOWNER_ENTRY(TarSetOwnerWindowEx)
KILLOWNER_ENTRY(TarKillOwnerWindowEx)
GETTYPE_ENTRY(TarGetArchiveType)
