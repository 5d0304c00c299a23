// The LHA back-end: UNLHA32.DLL. The option set's switch properties bear the
// library's own switch names, so every option is passed through as the
// switch of the same name.
#pragma once

#include <string>

#include "archives/Archiver.h"

namespace vx {

class TLha32 : public TArchiver {
 public:
  TLha32();

  // Loads UNLHA32.DLL while it is not loaded; raises when it cannot be.
  static void LoadDLL();
  // Forgets every entry address and frees the library.
  static void FreeDLL();

  HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) override;
  int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) override;
  int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) override;
  int CloseArchive(HARC HArc) override;
  // Extract, Pack, Delete and Update take the response-file choice from
  // Options.ResFileUsage (ruOnUnpack, ruOnPack, ruOnRemoveItem, ruOnUpdate);
  // the UseResFile argument is not read.
  int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, const TStringList* Files, bool UseResFile,
              std::string& Output) override;
  int Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
           const std::string& BaseDir, const TStringList* Files, bool UseResFile,
           std::string& Output) override;
  // Members are named as stored in the archive: no directory is passed,
  // whatever BaseDir holds.
  int Delete(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
             const std::string& BaseDir, const TStringList* Files, bool UseResFile,
             std::string& Output) override;
  int Update(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
             const std::string& BaseDir, const TStringList* Files, bool UseResFile,
             std::string& Output) override;
  // The library writes <archive>.exe into Dir.
  int MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, std::string& Output) override;
  // The library takes mode and flags as one sum.
  BOOL CheckArchive(const std::string& ArchiveName, int Mode, int Flags) override;
  bool SetOwnerWindowEx(HWND hWnd, void* Proc) override;
  bool KillOwnerWindowEx(HWND hWnd) override;

 protected:
  // For subclasses that read their archives with another library: builds
  // the object without loading UNLHA32.DLL; the subclass loads its own.
  struct TNoLibrary {};
  explicit TLha32(TNoLibrary) {}

  // The LHA command line: Command, "-+", every switch property in the
  // library's order, UserOptions, archive and directory, file list.
  std::string LhaCommandLine(const std::string& Command, const std::string& ArchiveName,
                             const TArchiverOptions& Options, const std::string& Dir,
                             const TStringList* Files, bool UseResFile) const;

 private:
  // Stores the command line in CmdLine and runs it through Unlha.
  int RunCommand(HWND hWnd, const std::string& Command, const std::string& ArchiveName,
                 const TArchiverOptions& Options, const std::string& Dir, const TStringList* Files,
                 bool UseResFile, std::string& Output);
};

// True when UNLHA32.DLL can open FileName as an archive; never raises.
bool IsLhaArchive(const std::string& FileName);

}  // namespace vx
