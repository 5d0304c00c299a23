#include "archivers/ARJ32.h"

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kMissingMessage[] = "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。";

TArchiverLibrary Unarj32j("UNARJ32J.DLL", kMissingMessage);

TLibraryEntry<TArcCommandProc> Unarj(Unarj32j, "Unarj");
TLibraryEntry<TArcOpenArchiveProc> UnarjOpenArchive(Unarj32j, "UnarjOpenArchive");
TLibraryEntry<TArcCloseArchiveProc> UnarjCloseArchive(Unarj32j, "UnarjCloseArchive");
TLibraryEntry<TArcFindFirstProc> UnarjFindFirst(Unarj32j, "UnarjFindFirst");
TLibraryEntry<TArcFindNextProc> UnarjFindNext(Unarj32j, "UnarjFindNext");
TLibraryEntry<TArcCheckArchiveProc> UnarjCheckArchive(Unarj32j, "UnarjCheckArchive");
TLibraryEntry<TArcSetOwnerWindowExProc> UnarjSetOwnerWindowEx(Unarj32j, "UnarjSetOwnerWindowEx");
TLibraryEntry<TArcKillOwnerWindowExProc> UnarjKillOwnerWindowEx(Unarj32j, "UnarjKillOwnerWindowEx");

// The entry after loading the library when it is not loaded yet.
template <typename Proc>
Proc LoadedEntry(TLibraryEntry<Proc>& entry) {
  TArj32::LoadDLL();
  return entry.Get();
}

}  // namespace

TArj32::TArj32() : TLha32(TNoLibrary{}) { LoadDLL(); }

void TArj32::LoadDLL() { Unarj32j.Load(); }

void TArj32::FreeDLL() {
  Unarj32j.Free();
  Unarj.Forget();
  UnarjOpenArchive.Forget();
  UnarjCloseArchive.Forget();
  UnarjFindFirst.Forget();
  UnarjFindNext.Forget();
  UnarjCheckArchive.Forget();
  UnarjSetOwnerWindowEx.Forget();
  UnarjKillOwnerWindowEx.Forget();
}

HARC TArj32::OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) {
  return LoadedEntry(UnarjOpenArchive)(hWnd, ExpandFileName(ArchiveName).c_str(), Mode);
}

int TArj32::FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) {
  return LoadedEntry(UnarjFindFirst)(HArc, WildName.c_str(), SubInfo);
}

int TArj32::FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) {
  return UnarjFindNext.Get()(HArc, SubInfo);
}

int TArj32::CloseArchive(HARC HArc) { return LoadedEntry(UnarjCloseArchive)(HArc); }

int TArj32::Extract(HWND, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, const TStringList* Files, bool UseResFile,
                    std::string& Output) {
  CmdLine = LhaCommandLine("x", ArchiveName, Options, Dir, Files, UseResFile);
  // Unarj always runs without a parent window, whatever the caller gave.
  return LoadedEntry(Unarj)(nullptr, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
}

BOOL TArj32::CheckArchive(const std::string& ArchiveName, int Mode, int Flags) {
  return LoadedEntry(UnarjCheckArchive)(ArchiveName.c_str(), CheckArchiveMode(Mode, Flags));
}

bool TArj32::SetOwnerWindowEx(HWND hWnd, void* Proc) {
  const BOOL result = UnarjSetOwnerWindowEx.Get()(hWnd, Proc);
  OwnerWindow = hWnd;
  return result != FALSE;
}

bool TArj32::KillOwnerWindowEx(HWND hWnd) {
  const BOOL result = UnarjKillOwnerWindowEx.Get()(hWnd);
  OwnerWindow = nullptr;
  return result != FALSE;
}

bool IsArjArchive(const std::string& FileName) {
  try {
    const HARC archive =
        LoadedEntry(UnarjOpenArchive)(nullptr, ExpandFileName(FileName).c_str(), 0x00800002);
    if (archive != nullptr) LoadedEntry(UnarjCloseArchive)(archive);
    return archive != nullptr;
  } catch (...) {
    return false;
  }
}

}  // namespace vx
