// The ZIP back-end. Up to three libraries work together: UNZIP32.DLL
// extracts, ZIP32J.DLL packs, LMZIP32.DLL does both; each entry is taken from
// the first loaded library of its own search order that has it.
#pragma once

#include <string>

#include "archives/Archiver.h"

namespace vx {

class TZip32 : public TArchiver {
 public:
  TZip32();

  // Loads whichever of UNZIP32, ZIP32J and LMZIP32 is not yet loaded; raises
  // only when none of the three is loaded afterwards.
  static void LoadDLL();
  // Frees all three libraries and forgets every entry address.
  static void FreeDLL();

  HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) override;
  int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) override;
  int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) override;
  int CloseArchive(HARC HArc) override;
  int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, const TStringList* Files, bool UseResFile,
              std::string& Output) override;
  int Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
           const std::string& BaseDir, const TStringList* Files, bool UseResFile,
           std::string& Output) override;
  int Delete(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
             const std::string& BaseDir, const TStringList* Files, bool UseResFile,
             std::string& Output) override;
  int Update(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
             const std::string& BaseDir, const TStringList* Files, bool UseResFile,
             std::string& Output) override;
  // Joins sfx32gui.dat (gw > 0) or sfx16.dat with the archive into
  // <archive>.EXE and lets ZIP32J.DLL adjust the program.
  int MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
              const std::string& Dir, std::string& Output) override;
  BOOL CheckArchive(const std::string& ArchiveName, int Mode, int Flags) override;
  bool SetOwnerWindowEx(HWND hWnd, void* Proc) override;
  bool KillOwnerWindowEx(HWND hWnd) override;

 private:
  // Command line for the entry Zip or UnZip: Command followed by the built text.
  std::string ExtractCommandLine(const std::string& ArchiveName, const TArchiverOptions& Options,
                                 const std::string& Dir, const TStringList* Files,
                                 bool UseResFile) const;
  static std::string Zip32jCommandLine(const std::string& Command, const std::string& ArchiveName,
                                       const TArchiverOptions& Options, const std::string& BaseDir,
                                       const TStringList* Files, bool UseResFile);
  static std::string Lmzip32CommandLine(const std::string& Command, const std::string& ArchiveName,
                                        const TArchiverOptions& Options, const std::string& Dir,
                                        const TStringList* Files, bool UseResFile);
  // Delete and Update: the line for whichever library serves Zip.
  static std::string ZipCommandLine(const std::string& Command, const std::string& ArchiveName,
                                    const TArchiverOptions& Options, const std::string& Dir,
                                    const TStringList* Files, bool UseResFile);
  // Stores CommandLine in CmdLine and runs the entry Zip or UnZip with it.
  int RunZip(HWND hWnd, const std::string& CommandLine, std::string& Output);
  int RunUnZip(HWND hWnd, const std::string& CommandLine, std::string& Output);
};

// True when the ZIP libraries can open FileName as an archive; never raises.
bool IsZipArchive(const std::string& FileName);

// The file-name spelling of the UNZIP32 and ZIP32J command lines: every
// backslash becomes "/" and every "[" becomes "[[]", leaving the bytes of
// double-byte characters alone.
std::string ZipFileNameConverter(const std::string& Name);

}  // namespace vx
