// The ARJ back-end: UNARJ32J.DLL reads ARJ archives with LHA's command
// language. Creating and changing archives is LHA's: those operations are
// inherited and run through UNLHA32.DLL.
#pragma once

#include <string>

#include "archivers/LHA32.h"

namespace vx {

class TArj32 : public TLha32 {
 public:
  // Loads UNARJ32J.DLL only; UNLHA32.DLL waits for an inherited operation.
  TArj32();

  // Loads UNARJ32J.DLL while it is not loaded; raises when it cannot be.
  static void LoadDLL();
  // Frees UNARJ32J.DLL and forgets its entry addresses; UNLHA32.DLL stays.
  static void FreeDLL();

  HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) override;
  int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) override;
  int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) override;
  int CloseArchive(HARC HArc) override;
  // LHA's command line with "x", run by Unarj without a parent window. The
  // response-file choice is the caller's UseResFile.
  int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, const TStringList* Files, bool UseResFile,
              std::string& Output) override;
  BOOL CheckArchive(const std::string& ArchiveName, int Mode, int Flags) override;
  bool SetOwnerWindowEx(HWND hWnd, void* Proc) override;
  bool KillOwnerWindowEx(HWND hWnd) override;
};

// True when UNARJ32J.DLL can open FileName as an archive; never raises.
bool IsArjArchive(const std::string& FileName);

}  // namespace vx
