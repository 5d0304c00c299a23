// The CAB back-end: CAB32.DLL creates and extracts cabinets and makes
// self-extracting cabinets; deleting members and updating are not offered.
#pragma once

#include <string>

#include "archives/Archiver.h"

namespace vx {

class TCab32 : public TArchiver {
 public:
  TCab32();

  // Loads CAB32.DLL while it is not loaded; raises when it cannot be.
  static void LoadDLL();
  // Frees the library and forgets every entry address.
  static void FreeDLL();

  HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) override;
  int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) override;
  int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) override;
  int CloseArchive(HARC HArc) override;
  // Extract and Pack take the response-file choice from Options.ResFileUsage
  // (ruOnUnpack, ruOnPack); the UseResFile argument is not read. Extract
  // passes the archive name made absolute, Pack as given.
  int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, const TStringList* Files, bool UseResFile,
              std::string& Output) override;
  int Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
           const std::string& BaseDir, const TStringList* Files, bool UseResFile,
           std::string& Output) override;
  // Command "-f" without file names; where the program lands is the library's.
  int MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, std::string& Output) override;
  // The library takes mode and flags as one sum.
  BOOL CheckArchive(const std::string& ArchiveName, int Mode, int Flags) override;
  bool SetOwnerWindowEx(HWND hWnd, void* Proc) override;
  bool KillOwnerWindowEx(HWND hWnd) override;

 private:
  std::string CommandLine(const std::string& Command, const std::string& ArchiveName,
                          const TArchiverOptions& Options, const std::string& Dir,
                          const TStringList* Files, bool UseResFile) const;
  int RunCommand(HWND hWnd, const std::string& Command, const std::string& ArchiveName,
                 const TArchiverOptions& Options, const std::string& Dir, const TStringList* Files,
                 bool UseResFile, std::string& Output);
};

// True when CAB32.DLL can open FileName as an archive; never raises.
bool IsCabArchive(const std::string& FileName);

}  // namespace vx
