#include "archivers/LHA32.h"

#include <initializer_list>

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kMissingMessage[] = "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。";

TArchiverLibrary Unlha32("UNLHA32.DLL", kMissingMessage);

TLibraryEntry<TArcCommandProc> Unlha(Unlha32, "Unlha");
TLibraryEntry<TArcOpenArchiveProc> UnlhaOpenArchive(Unlha32, "UnlhaOpenArchive");
TLibraryEntry<TArcCloseArchiveProc> UnlhaCloseArchive(Unlha32, "UnlhaCloseArchive");
TLibraryEntry<TArcFindFirstProc> UnlhaFindFirst(Unlha32, "UnlhaFindFirst");
TLibraryEntry<TArcFindNextProc> UnlhaFindNext(Unlha32, "UnlhaFindNext");
TLibraryEntry<TArcCheckArchiveProc> UnlhaCheckArchive(Unlha32, "UnlhaCheckArchive");
TLibraryEntry<TArcSetOwnerWindowExProc> UnlhaSetOwnerWindowEx(Unlha32, "UnlhaSetOwnerWindowEx");
TLibraryEntry<TArcKillOwnerWindowExProc> UnlhaKillOwnerWindowEx(Unlha32, "UnlhaKillOwnerWindowEx");

// The entry after loading the library when it is not loaded yet.
template <typename Proc>
Proc LoadedEntry(TLibraryEntry<Proc>& entry) {
  TLha32::LoadDLL();
  return entry.Get();
}

// Integer switches in the order given; -1 adds nothing.
struct TIntSwitch {
  const char* Name;
  int Value;
};
void AddInts(TCmdOpt& CmdOpt, std::initializer_list<TIntSwitch> Switches) {
  for (const TIntSwitch& s : Switches) CmdOpt.AddInt(s.Name, s.Value);
}

}  // namespace

TLha32::TLha32() { LoadDLL(); }

void TLha32::LoadDLL() { Unlha32.Load(); }

void TLha32::FreeDLL() {
  Unlha.Forget();
  UnlhaOpenArchive.Forget();
  UnlhaCloseArchive.Forget();
  UnlhaFindFirst.Forget();
  UnlhaFindNext.Forget();
  UnlhaCheckArchive.Forget();
  UnlhaSetOwnerWindowEx.Forget();
  UnlhaKillOwnerWindowEx.Forget();
  Unlha32.Free();
}

HARC TLha32::OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) {
  return LoadedEntry(UnlhaOpenArchive)(hWnd, ExpandFileName(ArchiveName).c_str(), Mode);
}

int TLha32::FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) {
  return LoadedEntry(UnlhaFindFirst)(HArc, WildName.c_str(), SubInfo);
}

int TLha32::FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) {
  return UnlhaFindNext.Get()(HArc, SubInfo);
}

int TLha32::CloseArchive(HARC HArc) { return LoadedEntry(UnlhaCloseArchive)(HArc); }

std::string TLha32::LhaCommandLine(const std::string& Command, const std::string& ArchiveName,
                                   const TArchiverOptions& Options, const std::string& Dir,
                                   const TStringList* Files, bool UseResFile) const {
  const TArchiverOptions& o = Options;
  TCmdOpt cmd;
  cmd.Add("-+");
  AddInts(cmd, {{"a", o.a}, {"c", o.c}, {"e", o.e}, {"f", o.f}, {"h", o.h}, {"i", o.i},
                {"l", o.l}, {"m", o.m}});
  // While progress goes to an owner window the library must not show its
  // own dialog, whatever the caller asked for.
  cmd.AddInt("n", OwnerWindow != nullptr ? 1 : o.n);
  AddInts(cmd, {{"o", o.o}, {"p", o.p}, {"r", o.r}, {"s", o.s}, {"t", o.t}, {"u", o.u}});
  cmd.AddDir("w", o.w);
  AddInts(cmd, {{"x", o.x}, {"y", o.y}, {"z", o.z}, {"jc", o.jc}, {"jd", o.jd}, {"je", o.je},
                {"jf", o.jf}, {"jh", o.jh}, {"ji", o.ji}, {"jm", o.jm}, {"jn", o.jn}});
  cmd.AddStr("jo", o.jo);
  cmd.AddStr("job", o.job);
  AddInts(cmd, {{"jp", o.jp}, {"jr", o.jr}, {"jss", o.jss}, {"jw", o.jw}});
  cmd.AddFiles("jx", o.jx);
  AddInts(cmd, {{"jyc", o.jyc}, {"jyd", o.jyd}, {"jyk", o.jyk}, {"jyn", o.jyn}, {"jyo", o.jyo}});
  cmd.AddStr("jz", o.jz);
  AddInts(cmd, {{"ga", o.ga}, {"gd", o.gd}, {"ge", o.ge}, {"gf", o.gf}, {"gj", o.gj},
                {"gm", o.gm}, {"gn", o.gn}, {"go", o.go}, {"gp", o.gp}});
  cmd.AddStr("gr", o.gr);
  AddInts(cmd, {{"gs", o.gs}, {"gu", o.gu}, {"gw", o.gw}});
  cmd.Add(o.UserOptions);
  AddArchiveAndDir(cmd, ArchiveName, Dir);
  AddFileList(cmd, o, Files, UseResFile);
  return Command + cmd.Text;
}

int TLha32::RunCommand(HWND hWnd, const std::string& Command, const std::string& ArchiveName,
                       const TArchiverOptions& Options, const std::string& Dir,
                       const TStringList* Files, bool UseResFile, std::string& Output) {
  CmdLine = LhaCommandLine(Command, ArchiveName, Options, Dir, Files, UseResFile);
  return LoadedEntry(Unlha)(hWnd, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
}

int TLha32::Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "x", ArchiveName, Options, Dir, Files,
                    Options.ResFileUsage.Contains(ruOnUnpack), Output);
}

int TLha32::Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                 const std::string& BaseDir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "u", ArchiveName, Options, BaseDir, Files,
                    Options.ResFileUsage.Contains(ruOnPack), Output);
}

int TLha32::Delete(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                   const std::string&, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "d", ArchiveName, Options, "", Files,
                    Options.ResFileUsage.Contains(ruOnRemoveItem), Output);
}

int TLha32::Update(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                   const std::string& BaseDir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "f", ArchiveName, Options, BaseDir, Files,
                    Options.ResFileUsage.Contains(ruOnUpdate), Output);
}

int TLha32::MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, std::string& Output) {
  return RunCommand(hWnd, "s", ArchiveName, Options, Dir, nullptr, false, Output);
}

BOOL TLha32::CheckArchive(const std::string& ArchiveName, int Mode, int Flags) {
  return LoadedEntry(UnlhaCheckArchive)(ArchiveName.c_str(), CheckArchiveMode(Mode, Flags));
}

bool TLha32::SetOwnerWindowEx(HWND hWnd, void* Proc) {
  const BOOL result = UnlhaSetOwnerWindowEx.Get()(hWnd, Proc);
  OwnerWindow = hWnd;
  return result != FALSE;
}

bool TLha32::KillOwnerWindowEx(HWND hWnd) {
  const BOOL result = UnlhaKillOwnerWindowEx.Get()(hWnd);
  OwnerWindow = nullptr;
  return result != FALSE;
}

bool IsLhaArchive(const std::string& FileName) {
  try {
    const HARC archive =
        LoadedEntry(UnlhaOpenArchive)(nullptr, ExpandFileName(FileName).c_str(), 0x00800002);
    if (archive != nullptr) LoadedEntry(UnlhaCloseArchive)(archive);
    return archive != nullptr;
  } catch (...) {
    return false;
  }
}

}  // namespace vx
