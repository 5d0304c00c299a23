// Recording stand-in for ZIP32J.DLL.
#define LIBRARY_NAME "ZIP32J.DLL"
#include "Recorder.h"

COMMAND_ENTRY(Zip)
OPEN_ENTRY(UnZipOpenArchive)
CLOSE_ENTRY(UnZipCloseArchive)
FINDFIRST_ENTRY(UnZipFindFirst)
FINDNEXT_ENTRY(UnZipFindNext)
CHECK_ENTRY(UnZipCheckArchive)
