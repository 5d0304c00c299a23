#include "archives/Archiver.h"

#include "archives/Exceptions.h"

namespace vx {

void TArchiver::LoadDLL() { throw EArchiver("Abstract method 'TArchiver.LoadDLL' was called"); }

void TArchiver::FreeDLL() { throw EArchiver("Abstract method 'TArchiver.FreeDLL' was called"); }

HARC TArchiver::OpenArchive(HWND, const std::string&, DWORD) { return nullptr; }

int TArchiver::FindFirst(HARC, LPINDIVIDUALINFO, const std::string&) { return -1; }

int TArchiver::FindNext(HARC, LPINDIVIDUALINFO) { return -1; }

int TArchiver::CloseArchive(HARC) { return 0; }

int TArchiver::Pack(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                    const TStringList*, bool, std::string&) {
  throw EArchiver("この形式では書庫ファイルの作成をサポートしておりません。");
}

int TArchiver::Delete(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                      const TStringList*, bool, std::string&) {
  throw EArchiver("この形式の書庫ではファイルの削除をサポートしておりません。");
}

int TArchiver::Update(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                      const TStringList*, bool, std::string&) {
  throw EArchiver("この形式の書庫では書庫の更新をサポートしておりません。");
}

int TArchiver::MakeSfx(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                       std::string&) {
  throw EArchiver("この形式では自己解凍書庫の作成をサポートしておりません。");
}

BOOL TArchiver::CheckArchive(const std::string&, int, int) {
  throw EArchiver("この形式では書庫チェック機能をサポートしておりません。");
}

bool TArchiver::SetOwnerWindowEx(HWND, void*) { return false; }

bool TArchiver::KillOwnerWindowEx(HWND) { return false; }

void TArchiver::AddArchiveAndDir(TCmdOpt& CmdOpt, const std::string& ArchiveName,
                                 const std::string& BaseDir) {
  CmdOpt.AddName("", ArchiveName);
  CmdOpt.AddDir("", BaseDir);
}

void TArchiver::AddFileList(TCmdOpt& CmdOpt, const TArchiverOptions& Options,
                            const TStringList* Files, bool UseResFile) {
  if (Files != nullptr) {
    if (UseResFile && Options.ResFileName != NoValue && !Options.ResFileName.empty())
      CmdOpt.AddResponseFile(*Files, Options.ResFileName);
    else
      CmdOpt.AddFiles("", *Files);
  }
  CmdOpt.Add(Options.UserFileList);
}

FARPROC GetEntryAddress(HMODULE Module, const std::string& Name) {
  if (FARPROC address = GetProcAddress(Module, Name.c_str())) return address;
  char fileName[257] = {};
  GetModuleFileNameA(Module, fileName, sizeof fileName - 1);
  throw EArchiver(std::string(fileName) + " に " + Name + " のエントリが見つかりません。");
}

}  // namespace vx
