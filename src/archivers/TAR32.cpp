#include "archivers/TAR32.h"

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "archives/Paths.h"
#include "archivers/SfxFiles.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kMissingMessage[] = "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。";
const char kBz2SfxMessage[] = "BZ2 形式書庫は自己解凍形式にできません。";
const char kStubMessage[] = "tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。";

TArchiverLibrary Tar32("tar32.dll", kMissingMessage);

TLibraryEntry<TArcCommandProc> Tar(Tar32, "Tar");
TLibraryEntry<TArcOpenArchiveProc> TarOpenArchive(Tar32, "TarOpenArchive");
TLibraryEntry<TArcCloseArchiveProc> TarCloseArchive(Tar32, "TarCloseArchive");
TLibraryEntry<TArcFindFirstProc> TarFindFirst(Tar32, "TarFindFirst");
TLibraryEntry<TArcFindNextProc> TarFindNext(Tar32, "TarFindNext");
TLibraryEntry<TArcCheckArchiveProc> TarCheckArchive(Tar32, "TarCheckArchive");
TLibraryEntry<TArcSetOwnerWindowExProc> TarSetOwnerWindowEx(Tar32, "TarSetOwnerWindowEx");
TLibraryEntry<TArcKillOwnerWindowExProc> TarKillOwnerWindowEx(Tar32, "TarKillOwnerWindowEx");
TLibraryEntry<TTarGetArchiveTypeProc> TarGetArchiveType(Tar32, "TarGetArchiveType");

// The entry after loading the library when it is not loaded yet.
template <typename Proc>
Proc LoadedEntry(TLibraryEntry<Proc>& entry) {
  TTar32::LoadDLL();
  return entry.Get();
}

}  // namespace

TTar32::TTar32() { LoadDLL(); }

void TTar32::LoadDLL() { Tar32.Load(); }

void TTar32::FreeDLL() {
  Tar32.Free();
  Tar.Forget();
  TarOpenArchive.Forget();
  TarCloseArchive.Forget();
  TarFindFirst.Forget();
  TarFindNext.Forget();
  TarCheckArchive.Forget();
  TarSetOwnerWindowEx.Forget();
  TarKillOwnerWindowEx.Forget();
  TarGetArchiveType.Forget();
}

HARC TTar32::OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) {
  return LoadedEntry(TarOpenArchive)(hWnd, ExpandFileName(ArchiveName).c_str(), Mode);
}

int TTar32::FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) {
  return LoadedEntry(TarFindFirst)(HArc, WildName.c_str(), SubInfo);
}

int TTar32::FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) {
  return TarFindNext.Get()(HArc, SubInfo);
}

int TTar32::CloseArchive(HARC HArc) { return LoadedEntry(TarCloseArchive)(HArc); }

std::string TTar32::CommandLine(const std::string& Command, const std::string& ArchiveName,
                                const TArchiverOptions& Options, const std::string& Dir,
                                const TStringList* Files, bool UseResFile) const {
  TCmdOpt cmd;
  cmd.SeparateValue = true;
  if (Options.a > 0) cmd.Add("-AH");
  if (Options.a == 0) cmd.Add("-I");
  // With an owner window the progress goes there; the library's own dialog
  // is switched off only without one.
  if (OwnerWindow == nullptr && Options.n > 0) cmd.Add("--display-dialog=0");
  if (Options.o > 0) cmd.Add("-g");
  cmd.AddInt("-check-all-path=", Options.p);
  cmd.AddInt("-use-directory=", Options.x);
  if (dynamic_cast<const TTgz32*>(this) != nullptr) {
    if (Options.jm >= 1)
      cmd.AddInt("z", Options.jm);
    else
      cmd.Add("-z");
  }
  if (dynamic_cast<const TBZ232*>(this) != nullptr) {
    if (Options.jm >= 1)
      cmd.AddInt("B", Options.jm);
    else
      cmd.Add("-B");
  }
  cmd.Add(Options.UserOptions);
  if (!ArchiveName.empty()) cmd.AddName("f", ArchiveName);
  cmd.AddDir("o", Dir);
  AddFileList(cmd, Options, Files, UseResFile);
  return Command + cmd.Text;
}

int TTar32::RunCommand(HWND hWnd, const std::string& Command, const std::string& ArchiveName,
                       const TArchiverOptions& Options, const std::string& Dir,
                       const TStringList* Files, bool UseResFile, std::string& Output) {
  CmdLine = CommandLine(Command, ArchiveName, Options, Dir, Files, UseResFile);
  const int result = LoadedEntry(Tar)(hWnd, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
  // The library's dialogs may have taken the focus from the caller's window.
  if (hWnd != nullptr) SetForegroundWindow(hWnd);
  return result;
}

int TTar32::Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "x", ArchiveName, Options, Dir, Files,
                    Options.ResFileUsage.Contains(ruOnUnpack), Output);
}

int TTar32::Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                 const std::string& BaseDir, const TStringList* Files, bool, std::string& Output) {
  return RunCommand(hWnd, "c", ArchiveName, Options, BaseDir, Files,
                    Options.ResFileUsage.Contains(ruOnPack), Output);
}

int TTar32::MakeSfx(HWND, const std::string& ArchiveName, const TArchiverOptions&,
                    const std::string& Dir, std::string&) {
  if (dynamic_cast<const TBZ232*>(this) != nullptr) throw EArchiver(kBz2SfxMessage);
  const std::string stub = SearchStub("kmtarsef.exe");
  if (stub.empty()) throw EArchiver(kStubMessage);
  std::string program = ChangeFileExt(ArchiveName, ".EXE");
  if (!Dir.empty()) program = JoinPath(Dir, ExtractFileName(program));
  JoinStubAndArchive(stub, ArchiveName, program);
  return 0;
}

BOOL TTar32::CheckArchive(const std::string& ArchiveName, int Mode, int Flags) {
  return LoadedEntry(TarCheckArchive)(ArchiveName.c_str(), CheckArchiveMode(Mode, Flags));
}

bool TTar32::SetOwnerWindowEx(HWND hWnd, void* Proc) {
  const BOOL result = TarSetOwnerWindowEx.Get()(hWnd, Proc);
  OwnerWindow = hWnd;
  return result != FALSE;
}

bool TTar32::KillOwnerWindowEx(HWND hWnd) {
  const BOOL result = TarKillOwnerWindowEx.Get()(hWnd);
  OwnerWindow = nullptr;
  return result != FALSE;
}

TArchiverType DetectTarArchiveType(const std::string& FileName) {
  try {
    switch (LoadedEntry(TarGetArchiveType)(FileName.c_str())) {
      case 1:
        return atTar;
      case 2:
      case 3:
      case 4:
      case 5:
        return atTgz;
      case 6:
      case 7:
        return atBZ2;
      default:
        return atNone;
    }
  } catch (...) {
    return atNone;
  }
}

}  // namespace vx
