// The entries of tar32.dll.
#include "archives/ArchiverDll.h"
#include "common/Entry.h"
#include "common/Exports.h"
#include "common/WinNames.h"
#include "tar32/TarCommand.h"

VXAPI int WINAPI Tar(HWND, LPCSTR szCmdLine, LPSTR szOutput, DWORD dwSize) {
  return arc::RunCommand(szCmdLine, szOutput, dwSize, tar32::RunTarCommand);
}

ARC_LISTING_ENTRIES(Tar, tar32::ListTar, tar32::CheckTar)
ARC_SIZE_EX_ENTRIES(Tar)

VXAPI int WINAPI TarGetArchiveType(LPCSTR szFileName) {
  return arc::Guarded(0, [&] {
    std::string posix;
    if (szFileName == nullptr || !arc::PosixPathOf(szFileName, posix)) return 0;
    return tar32::TarArchiveType(posix);
  });
}
