#include "archivers/ZIP32.h"

#include <initializer_list>
#include <vector>

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "archives/Paths.h"
#include "archivers/SfxFiles.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kMissingMessage[] =
    "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。";
const char kPackMessage[] = "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
const char kExtractMessage[] = "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。";
const char kSfxMessage[] = "ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。";
const char kWin32StubMessage[] = "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。";
const char kDosStubMessage[] = "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。";
const char kEntryMissing[] = " のエントリが見つかりません。";

TArchiverLibrary Unzip32("UNZIP32.DLL", kMissingMessage);
TArchiverLibrary Zip32j("ZIP32J.DLL", kMissingMessage);
TArchiverLibrary Lmzip32("LMZIP32.DLL", kMissingMessage);

// LMZIP32 spells the UnZip entries with a lower-case z.
std::string NameIn(const TArchiverLibrary& Library, const char* Name) {
  std::string name(Name);
  if (&Library == &Lmzip32 && name.size() >= 3 && name[2] == 'Z') name[2] = 'z';
  return name;
}

// One entry, taken on first use from the first loaded library of its search
// order that has it; libraries that are not loaded or lack it are passed over.
template <typename Proc>
class TZipEntry {
 public:
  TZipEntry(const char* Name, std::initializer_list<TArchiverLibrary*> Libraries,
            const char* NoneLoadedMessage = nullptr)
      : Name(Name), Libraries(Libraries), NoneLoadedMessage(NoneLoadedMessage) {}

  Proc Get() {
    if (Address != nullptr) return Address;
    bool anyLoaded = false;
    for (TArchiverLibrary* library : Libraries) {
      if (!library->Loaded()) continue;
      anyLoaded = true;
      if (FARPROC found = GetProcAddress(library->Handle(), NameIn(*library, Name).c_str())) {
        // Through void(*)() so that the compiler accepts the signature change.
        Address = reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(found));
        return Address;
      }
    }
    if (!anyLoaded && NoneLoadedMessage != nullptr) throw EArchiver(NoneLoadedMessage);
    throw EArchiver(std::string(Name) + kEntryMissing);
  }
  void Forget() { Address = nullptr; }

 private:
  const char* Name;
  std::vector<TArchiverLibrary*> Libraries;
  const char* NoneLoadedMessage;
  Proc Address = nullptr;
};

TZipEntry<TArcCommandProc> Zip("Zip", {&Zip32j, &Lmzip32}, kPackMessage);
TZipEntry<TArcCommandProc> UnZip("UnZip", {&Unzip32, &Lmzip32}, kExtractMessage);
TZipEntry<TArcOpenArchiveProc> UnZipOpenArchive("UnZipOpenArchive", {&Lmzip32, &Zip32j, &Unzip32});
TZipEntry<TArcCloseArchiveProc> UnZipCloseArchive("UnZipCloseArchive",
                                                  {&Lmzip32, &Zip32j, &Unzip32});
TZipEntry<TArcFindFirstProc> UnZipFindFirst("UnZipFindFirst", {&Lmzip32, &Zip32j, &Unzip32});
TZipEntry<TArcFindNextProc> UnZipFindNext("UnZipFindNext", {&Lmzip32, &Zip32j, &Unzip32});
TZipEntry<TArcCheckArchiveProc> UnZipCheckArchive("UnZipCheckArchive",
                                                  {&Unzip32, &Lmzip32, &Zip32j});

// The owner-window entries exist in UNZIP32 only.
template <typename Proc>
class TUnzip32Entry {
 public:
  explicit TUnzip32Entry(const char* Name) : Name(Name) {}

  Proc Get() {
    if (Address != nullptr) return Address;
    // Without a module there is no path to name; the library's file name
    // stands in for it, rather than whatever a null module would report.
    if (!Unzip32.Loaded()) throw EArchiver(std::string("UNZIP32.DLL に ") + Name + kEntryMissing);
    Address = reinterpret_cast<Proc>(
        reinterpret_cast<void (*)()>(GetEntryAddress(Unzip32.Handle(), Name)));
    return Address;
  }
  void Forget() { Address = nullptr; }

 private:
  const char* Name;
  Proc Address = nullptr;
};

TUnzip32Entry<TArcSetOwnerWindowExProc> UnZipSetOwnerWindowEx("UnZipSetOwnerWindowEx");
TUnzip32Entry<TArcKillOwnerWindowExProc> UnZipKillOwnerWindowEx("UnZipKillOwnerWindowEx");

// The entry after loading whatever library is still missing.
template <typename Entry>
auto LoadedEntry(Entry& entry) {
  TZip32::LoadDLL();
  return entry.Get();
}

}  // namespace

std::string ZipFileNameConverter(const std::string& Name) {
  std::string out;
  out.reserve(Name.size());
  for (std::string::size_type i = 0; i < Name.size(); ++i) {
    const char ch = Name[i];
    if (i + 1 < Name.size() && IsDBCSLeadByte(static_cast<BYTE>(ch))) {
      out += ch;
      out += Name[++i];
    } else if (ch == '\\') {
      out += '/';
    } else if (ch == '[') {
      out += "[[]";
    } else {
      out += ch;
    }
  }
  return out;
}

TZip32::TZip32() { LoadDLL(); }

void TZip32::LoadDLL() {
  const bool unzip32 = Unzip32.TryLoad();
  const bool zip32j = Zip32j.TryLoad();
  const bool lmzip32 = Lmzip32.TryLoad();
  if (!unzip32 && !zip32j && !lmzip32) throw EArchiver(kMissingMessage);
}

void TZip32::FreeDLL() {
  Unzip32.Free();
  Lmzip32.Free();
  Zip32j.Free();
  Zip.Forget();
  UnZip.Forget();
  UnZipOpenArchive.Forget();
  UnZipCloseArchive.Forget();
  UnZipFindFirst.Forget();
  UnZipFindNext.Forget();
  UnZipCheckArchive.Forget();
  UnZipSetOwnerWindowEx.Forget();
  UnZipKillOwnerWindowEx.Forget();
}

HARC TZip32::OpenArchive(HWND hWnd, const std::string& ArchiveName, DWORD Mode) {
  return LoadedEntry(UnZipOpenArchive)(hWnd, ExpandFileName(ArchiveName).c_str(), Mode);
}

int TZip32::FindFirst(HARC HArc, LPINDIVIDUALINFO SubInfo, const std::string& WildName) {
  return LoadedEntry(UnZipFindFirst)(HArc, WildName.c_str(), SubInfo);
}

int TZip32::FindNext(HARC HArc, LPINDIVIDUALINFO SubInfo) {
  return UnZipFindNext.Get()(HArc, SubInfo);
}

int TZip32::CloseArchive(HARC HArc) { return LoadedEntry(UnZipCloseArchive)(HArc); }

std::string TZip32::ExtractCommandLine(const std::string& ArchiveName,
                                       const TArchiverOptions& Options, const std::string& Dir,
                                       const TStringList* Files, bool UseResFile) const {
  TCmdOpt cmd;
  cmd.Converter = ZipFileNameConverter;
  if (Options.c == 1) cmd.Add("-o");
  if (Options.n > 0 || OwnerWindow != nullptr) cmd.Add("--i");
  if (Options.x == 0) cmd.Add("-j");
  cmd.Add(Options.UserOptions);
  AddArchiveAndDir(cmd, ArchiveName, Dir);
  AddFileList(cmd, Options, Files, UseResFile);
  return "-x" + cmd.Text;
}

std::string TZip32::Zip32jCommandLine(const std::string& Command, const std::string& ArchiveName,
                                      const TArchiverOptions& Options, const std::string& BaseDir,
                                      const TStringList* Files, bool UseResFile) {
  TCmdOpt cmd;
  cmd.Converter = ZipFileNameConverter;
  if (Options.a > 0) cmd.Add("-S");
  if (Options.a < 2) cmd.Add("-D");
  if (Options.l > 0) cmd.Add("-v");
  if (Options.n > 0) cmd.Add("-q");
  if (Options.r > 0) cmd.Add("-r");
  // Quiet packing also keeps the archive's time at its newest entry's.
  if (Options.n > 0) cmd.Add("-o");
  if (Options.u > 0) cmd.Add("-u");
  if (Options.x == 0) cmd.Add("-j");
  if (Options.jc > 0) cmd.Add("-FF");
  if (Options.ji > 0) cmd.Add("-k");
  if (Options.jm != -1) cmd.AddInt("", Options.jm);
  if (Options.gd > 0) cmd.Add("-J");
  cmd.Add(Options.UserOptions);
  AddArchiveAndDir(cmd, ArchiveName, BaseDir);
  AddFileList(cmd, Options, Files, UseResFile);
  return Command + cmd.Text;
}

std::string TZip32::Lmzip32CommandLine(const std::string& Command, const std::string& ArchiveName,
                                       const TArchiverOptions& Options, const std::string& Dir,
                                       const TStringList* Files, bool UseResFile) {
  TCmdOpt cmd;
  if (Options.c == 1) cmd.Add("-o");
  if (Options.x == 0) cmd.Add("-j");
  cmd.Add(Options.UserOptions);
  AddArchiveAndDir(cmd, ArchiveName, Dir);
  AddFileList(cmd, Options, Files, UseResFile);
  return Command + cmd.Text;
}

int TZip32::RunZip(HWND hWnd, const std::string& CommandLine, std::string& Output) {
  CmdLine = CommandLine;
  return LoadedEntry(Zip)(hWnd, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
}

int TZip32::RunUnZip(HWND hWnd, const std::string& CommandLine, std::string& Output) {
  CmdLine = CommandLine;
  return LoadedEntry(UnZip)(hWnd, CmdLine.c_str(), OutputBuffer(Output), OutputSize(Output));
}

int TZip32::Extract(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, const TStringList* Files, bool UseResFile,
                    std::string& Output) {
  return RunUnZip(hWnd, ExtractCommandLine(ArchiveName, Options, Dir, Files, UseResFile), Output);
}

int TZip32::Pack(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                 const std::string& BaseDir, const TStringList* Files, bool UseResFile,
                 std::string& Output) {
  if (Zip32j.Loaded())
    return RunZip(hWnd, Zip32jCommandLine("", ArchiveName, Options, BaseDir, Files, UseResFile),
                  Output);
  if (!Lmzip32.Loaded()) throw EArchiver(kPackMessage);
  // LMZIP32 only adds to an archive: remove the old one so that it writes
  // anew. It is given no directory.
  const std::string line = Lmzip32CommandLine("-ru", ArchiveName, Options, std::string(), Files, UseResFile);
  CmdLine = line;
  DeleteFileA(ArchiveName.c_str());
  return RunZip(hWnd, line, Output);
}

std::string TZip32::ZipCommandLine(const std::string& Command, const std::string& ArchiveName,
                                  const TArchiverOptions& Options, const std::string& Dir,
                                  const TStringList* Files, bool UseResFile) {
  // The line is for the library that serves Zip: LMZIP32 only when ZIP32J
  // is missing, and LMZIP32 has its own switches and takes names unchanged.
  LoadDLL();
  if (!Zip32j.Loaded() && Lmzip32.Loaded())
    return Lmzip32CommandLine(Command, ArchiveName, Options, Dir, Files, UseResFile);
  return Zip32jCommandLine(Command, ArchiveName, Options, Dir, Files, UseResFile);
}

int TZip32::Delete(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                   const std::string&, const TStringList* Files, bool UseResFile,
                   std::string& Output) {
  return RunZip(hWnd, ZipCommandLine("-d", ArchiveName, Options, std::string(), Files, UseResFile), Output);
}

int TZip32::Update(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                   const std::string& BaseDir, const TStringList* Files, bool UseResFile,
                   std::string& Output) {
  return RunZip(hWnd, ZipCommandLine("-f", ArchiveName, Options, BaseDir, Files, UseResFile), Output);
}

int TZip32::MakeSfx(HWND hWnd, const std::string& ArchiveName, const TArchiverOptions& Options,
                    const std::string& Dir, std::string& Output) {
  if (!Zip32j.Loaded()) throw EArchiver(kSfxMessage);
  const bool win32 = Options.gw > 0;
  const std::string stub = SearchStub(win32 ? "sfx32gui.dat" : "sfx16.dat");
  if (stub.empty()) throw EArchiver(win32 ? kWin32StubMessage : kDosStubMessage);
  std::string program = ChangeFileExt(ArchiveName, ".EXE");
  if (!Dir.empty()) program = JoinPath(Dir, ExtractFileName(program));
  JoinStubAndArchive(stub, ArchiveName, program);
  return RunZip(hWnd, "-A " + program, Output);
}

BOOL TZip32::CheckArchive(const std::string& ArchiveName, int Mode, int) {
  return LoadedEntry(UnZipCheckArchive)(ArchiveName.c_str(), Mode);
}

bool TZip32::SetOwnerWindowEx(HWND hWnd, void* Proc) {
  UnZipSetOwnerWindowEx.Get()(hWnd, Proc);
  OwnerWindow = hWnd;
  return true;
}

bool TZip32::KillOwnerWindowEx(HWND hWnd) {
  UnZipKillOwnerWindowEx.Get()(hWnd);
  OwnerWindow = nullptr;
  return true;
}

bool IsZipArchive(const std::string& FileName) {
  try {
    TZip32::LoadDLL();
    const HARC archive = UnZipOpenArchive.Get()(nullptr, ExpandFileName(FileName).c_str(), 0x00800002);
    if (archive != nullptr) UnZipCloseArchive.Get()(archive);
    return archive != nullptr;
  } catch (...) {
    return false;
  }
}

}  // namespace vx
