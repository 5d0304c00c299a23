#include "archivers/RAR32.h"

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kMissingMessage[] = "この機能の使用には UNRAR32.DLL が 必要です。";

TArchiverLibrary Unrar32("UNRAR32.DLL", kMissingMessage);

TLibraryEntry<TArcCommandProc> Unrar(Unrar32, "Unrar");
TLibraryEntry<TArcOpenArchiveProc> UnrarOpenArchive(Unrar32, "UnrarOpenArchive");
TLibraryEntry<TArcCloseArchiveProc> UnrarCloseArchive(Unrar32, "UnrarCloseArchive");
TLibraryEntry<TArcFindFirstProc> UnrarFindFirst(Unrar32, "UnrarFindFirst");
TLibraryEntry<TArcFindNextProc> UnrarFindNext(Unrar32, "UnrarFindNext");
TLibraryEntry<TArcCheckArchiveProc> UnrarCheckArchive(Unrar32, "UnrarCheckArchive");
TLibraryEntry<TArcSetOwnerWindowExProc> UnrarSetOwnerWindowEx(Unrar32, "UnrarSetOwnerWindowEx");
TLibraryEntry<TArcKillOwnerWindowExProc> UnrarKillOwnerWindowEx(Unrar32, "UnrarKillOwnerWindowEx");

// The entry after loading the library when it is not loaded yet.
template <typename Proc>
Proc LoadedEntry(TLibraryEntry<Proc>& entry) {
  TRar32::LoadDLL();
  return entry.Get();
}

}  // namespace

TRar32::TRar32() { LoadDLL(); }

void TRar32::LoadDLL() { Unrar32.Load(); }

void TRar32::FreeDLL() {
  Unrar32.Free();
  Unrar.Forget();
  UnrarOpenArchive.Forget();
  UnrarCloseArchive.Forget();
  UnrarFindFirst.Forget();
  UnrarFindNext.Forget();
  UnrarCheckArchive.Forget();
  UnrarSetOwnerWindowEx.Forget();
  UnrarKillOwnerWindowEx.Forget();
}

HARC TRar32::OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) {
  return LoadedEntry(UnrarOpenArchive)(hWnd, ExpandFileName(ArchiveName).c_str(), Mode);
}

int TRar32::FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) {
  return LoadedEntry(UnrarFindFirst)(HArc, WildName.c_str(), SubInfo);
}

int TRar32::FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) {
  return UnrarFindNext.Get()(HArc, SubInfo);
}

int TRar32::CloseArchive(HARC HArc) { return LoadedEntry(UnrarCloseArchive)(HArc); }

std::string TRar32::CommandLine(const std::string& Command, const std::string& ArchiveName,
                                const TArchiverOptions& Options, const std::string& Dir,
                                const TStringList* Files, bool UseResFile) {
  TCmdOpt cmd;
  if (Options.c < 1) cmd.Add("-u");
  if (Options.m > 0) cmd.Add("-y");
  if (Options.p > 0) cmd.Add("-s");
  cmd.Add(Options.UserOptions);
  AddArchiveAndDir(cmd, ArchiveName, Dir);
  AddFileList(cmd, Options, Files, UseResFile);
  return Command + cmd.Text;
}

int TRar32::Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, const TStringList* Files, bool, std::string& Output) {
  CmdLine = CommandLine(Options.x != 0 ? "-x" : "-e", ArchiveName, Options, Dir, Files,
                        Options.ResFileUsage.Contains(ruOnUnpack));
  return LoadedEntry(Unrar)(hWnd, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
}

BOOL TRar32::CheckArchive(const std::string& ArchiveName, int Mode, int Flags) {
  return LoadedEntry(UnrarCheckArchive)(ArchiveName.c_str(), CheckArchiveMode(Mode, Flags));
}

bool TRar32::SetOwnerWindowEx(HWND hWnd, void* Proc) {
  const BOOL result = UnrarSetOwnerWindowEx.Get()(hWnd, Proc);
  OwnerWindow = hWnd;
  return result != FALSE;
}

bool TRar32::KillOwnerWindowEx(HWND hWnd) {
  const BOOL result = UnrarKillOwnerWindowEx.Get()(hWnd);
  OwnerWindow = nullptr;
  return result != FALSE;
}

bool IsRarArchive(const std::string& FileName) {
  try {
    const HARC archive =
        LoadedEntry(UnrarOpenArchive)(nullptr, ExpandFileName(FileName).c_str(), 0x00800002);
    if (archive != nullptr) LoadedEntry(UnrarCloseArchive)(archive);
    return archive != nullptr;
  } catch (...) {
    return false;
  }
}

}  // namespace vx
