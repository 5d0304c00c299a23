// The TAR back-end: tar32.dll for plain tar, tar+gzip and tar+bzip2. The
// three classes share one library; the compression is told by the class.
#pragma once

#include <string>

#include "archives/Archiver.h"
#include "archives/Types.h"

namespace vx {

class TTar32 : public TArchiver {
 public:
  TTar32();

  // Loads tar32.dll while it is not loaded; raises when it cannot be.
  static void LoadDLL();
  // Frees the library and forgets every entry address.
  static void FreeDLL();

  HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) override;
  int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) override;
  int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) override;
  int CloseArchive(HARC HArc) override;
  // Extract and Pack take the response-file choice from Options.ResFileUsage
  // (ruOnUnpack, ruOnPack); the UseResFile argument is not read.
  int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, const TStringList* Files, bool UseResFile,
              std::string& Output) override;
  int Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
           const std::string& BaseDir, const TStringList* Files, bool UseResFile,
           std::string& Output) override;
  // Writes kmtarsef.exe followed by the archive to <archive>.EXE; returns 0.
  int MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, std::string& Output) override;
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

// tar compressed with gzip.
class TTgz32 : public TTar32 {};

// tar compressed with bzip2.
class TBZ232 : public TTar32 {};

// atTar, atTgz, atBZ2 from the library's verdict on the file's content;
// atNone for anything else, also when the library or its entry is missing.
// Never raises.
TArchiverType DetectTarArchiveType(const std::string& FileName);

}  // namespace vx
