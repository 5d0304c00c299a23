#include "archivers/CAB32.h"

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kMissingMessage[] = "CAB 形式書庫を扱うには CAB32.DLL が 必要です。";

TArchiverLibrary Cab32("CAB32.DLL", kMissingMessage);

TLibraryEntry<TArcCommandProc> Cab(Cab32, "Cab");
TLibraryEntry<TArcOpenArchiveProc> CabOpenArchive(Cab32, "CabOpenArchive");
TLibraryEntry<TArcCloseArchiveProc> CabCloseArchive(Cab32, "CabCloseArchive");
TLibraryEntry<TArcFindFirstProc> CabFindFirst(Cab32, "CabFindFirst");
TLibraryEntry<TArcFindNextProc> CabFindNext(Cab32, "CabFindNext");
TLibraryEntry<TArcCheckArchiveProc> CabCheckArchive(Cab32, "CabCheckArchive");
TLibraryEntry<TArcSetOwnerWindowExProc> CabSetOwnerWindowEx(Cab32, "CabSetOwnerWindowEx");
TLibraryEntry<TArcKillOwnerWindowExProc> CabKillOwnerWindowEx(Cab32, "CabKillOwnerWindowEx");

// The entry after loading the library when it is not loaded yet.
template <typename Proc>
Proc LoadedEntry(TLibraryEntry<Proc>& entry) {
  TCab32::LoadDLL();
  return entry.Get();
}

}  // namespace

TCab32::TCab32() { LoadDLL(); }

void TCab32::LoadDLL() { Cab32.Load(); }

void TCab32::FreeDLL() {
  Cab32.Free();
  Cab.Forget();
  CabOpenArchive.Forget();
  CabCloseArchive.Forget();
  CabFindFirst.Forget();
  CabFindNext.Forget();
  CabCheckArchive.Forget();
  CabSetOwnerWindowEx.Forget();
  CabKillOwnerWindowEx.Forget();
}

HARC TCab32::OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) {
  return LoadedEntry(CabOpenArchive)(hWnd, ExpandFileName(ArchiveName).c_str(), Mode);
}

int TCab32::FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) {
  return LoadedEntry(CabFindFirst)(HArc, WildName.c_str(), SubInfo);
}

int TCab32::FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) {
  return CabFindNext.Get()(HArc, SubInfo);
}

int TCab32::CloseArchive(HARC HArc) { return LoadedEntry(CabCloseArchive)(HArc); }

std::string TCab32::CommandLine(const std::string& Command, const std::string& ArchiveName,
                                const TArchiverOptions& Options, const std::string& Dir,
                                const TStringList* Files, bool UseResFile) const {
  TCmdOpt cmd;
  if (Options.c == 1) cmd.Add("-o");
  // The library's own progress display is off when asked for, and while
  // progress goes to an owner window.
  if (Options.n > 0 || OwnerWindow != nullptr) cmd.Add("-i");
  if (Options.r > 0) cmd.Add("-r");
  if (Options.x == 0) cmd.Add("-j");
  if (Options.ji > 0) cmd.Add("-q");
  cmd.Add(Options.UserOptions);
  AddArchiveAndDir(cmd, ArchiveName, Dir);
  AddFileList(cmd, Options, Files, UseResFile);
  return Command + cmd.Text;
}

int TCab32::RunCommand(HWND hWnd, const std::string& Command, const std::string& ArchiveName,
                       const TArchiverOptions& Options, const std::string& Dir,
                       const TStringList* Files, bool UseResFile, std::string& Output) {
  CmdLine = CommandLine(Command, ArchiveName, Options, Dir, Files, UseResFile);
  return LoadedEntry(Cab)(hWnd, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
}

int TCab32::Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "-x", ExpandFileName(ArchiveName), Options, Dir, Files,
                    Options.ResFileUsage.Contains(ruOnUnpack), Output);
}

int TCab32::Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                 const std::string& BaseDir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "-a", ArchiveName, Options, BaseDir, Files,
                    Options.ResFileUsage.Contains(ruOnPack), Output);
}

int TCab32::MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, std::string& Output) {
  return RunCommand(hWnd, "-f", ArchiveName, Options, Dir, nullptr, false, Output);
}

BOOL TCab32::CheckArchive(const std::string& ArchiveName, int Mode, int Flags) {
  return LoadedEntry(CabCheckArchive)(ArchiveName.c_str(), CheckArchiveMode(Mode, Flags));
}

bool TCab32::SetOwnerWindowEx(HWND hWnd, void* Proc) {
  const BOOL result = CabSetOwnerWindowEx.Get()(hWnd, Proc);
  OwnerWindow = hWnd;
  return result != FALSE;
}

bool TCab32::KillOwnerWindowEx(HWND hWnd) {
  const BOOL result = CabKillOwnerWindowEx.Get()(hWnd);
  OwnerWindow = nullptr;
  return result != FALSE;
}

bool IsCabArchive(const std::string& FileName) {
  try {
    const HARC archive =
        LoadedEntry(CabOpenArchive)(nullptr, ExpandFileName(FileName).c_str(), 0x00800002);
    if (archive != nullptr) LoadedEntry(CabCloseArchive)(archive);
    return archive != nullptr;
  } catch (...) {
    return false;
  }
}

}  // namespace vx
