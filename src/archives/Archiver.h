// The back-end contract: one subclass per archive family turns the
// framework's operations into its library's calls and command lines.
#pragma once

#include <string>

#include "archives/ArchiverDll.h"
#include "archives/ArchiverOptions.h"
#include "archives/CmdOpt.h"
#include "archives/Types.h"
#include "platform/win32api.h"

namespace vx {

class TArchiver {
 public:
  std::string CmdLine;         // the command line of the latest library operation
  HWND OwnerWindow = nullptr;  // registered through SetOwnerWindowEx, 0 when none

  virtual ~TArchiver() = default;
  TArchiver(const TArchiver&) = delete;
  TArchiver& operator=(const TArchiver&) = delete;

  // Class-level operations: each back-end class hides these with its own,
  // and its constructor calls its own LoadDLL, so a missing library makes
  // construction fail.
  static void LoadDLL();
  static void FreeDLL();

  // Output's length is the size of the buffer the library may fill; the
  // library leaves NUL-terminated text there and the length stays.
  virtual HARC OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode);
  virtual int FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName);
  virtual int FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo);
  virtual int CloseArchive(HARC HArc);
  virtual int Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                      const std::string& Dir, const TStringList* Files, bool UseResFile,
                      std::string& Output) = 0;
  virtual int Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                   const std::string& BaseDir, const TStringList* Files, bool UseResFile,
                   std::string& Output);
  virtual int Delete(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                     const std::string& BaseDir, const TStringList* Files, bool UseResFile,
                     std::string& Output);
  virtual int Update(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                     const std::string& BaseDir, const TStringList* Files, bool UseResFile,
                     std::string& Output);
  virtual int MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                      const std::string& Dir, std::string& Output);
  virtual BOOL CheckArchive(const std::string& ArchiveName, int Mode, int Flags);
  virtual bool SetOwnerWindowEx(HWND hWnd, void* Proc);
  virtual bool KillOwnerWindowEx(HWND hWnd);

  // The common tail of every command line.
  static void AddArchiveAndDir(TCmdOpt& CmdOpt, const std::string& ArchiveName,
                               const std::string& BaseDir);
  static void AddFileList(TCmdOpt& CmdOpt, const TArchiverOptions& Options,
                          const TStringList* Files, bool UseResFile);

 protected:
  TArchiver() = default;
};

// Address of entry Name in a loaded library; raises EArchiver naming the
// library file and the entry when the library lacks it.
FARPROC GetEntryAddress(HMODULE Module, const std::string& Name);

// The output buffer as the libraries take it: null when its size is 0.
inline LPSTR OutputBuffer(std::string& Output) { return Output.empty() ? nullptr : Output.data(); }
inline DWORD OutputSize(const std::string& Output) { return static_cast<DWORD>(Output.size()); }

}  // namespace vx
