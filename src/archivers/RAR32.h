// The RAR back-end: UNRAR32.DLL lists, checks and extracts RAR archives.
// Creating, changing and converting them is not offered.
#pragma once

#include <string>

#include "archives/Archiver.h"

namespace vx {

class TRar32 : public TArchiver {
 public:
  TRar32();

  // Loads UNRAR32.DLL while it is not loaded; raises when it cannot be.
  static void LoadDLL();
  // Frees the library and forgets every entry address.
  static void FreeDLL();

  HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) override;
  int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) override;
  int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) override;
  int CloseArchive(HARC HArc) override;
  // "-x" keeps the stored paths, "-e" (x = 0) drops them. The response-file
  // choice comes from Options.ResFileUsage (ruOnUnpack); the UseResFile
  // argument is not read.
  int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, const TStringList* Files, bool UseResFile,
              std::string& Output) override;
  // The library takes mode and flags as one sum.
  BOOL CheckArchive(const std::string& ArchiveName, int Mode, int Flags) override;
  bool SetOwnerWindowEx(HWND hWnd, void* Proc) override;
  bool KillOwnerWindowEx(HWND hWnd) override;

 private:
  static std::string CommandLine(const std::string& Command, const std::string& ArchiveName,
                                 const TArchiverOptions& Options, const std::string& Dir,
                                 const TStringList* Files, bool UseResFile);
};

// True when UNRAR32.DLL can open FileName as an archive; never raises.
bool IsRarArchive(const std::string& FileName);

}  // namespace vx
