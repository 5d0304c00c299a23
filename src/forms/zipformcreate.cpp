// The attachment dialog's end: the archive is built in the temporary
// folder, made self-extracting when asked, its output shown when asked, and
// the dialog closed.
#include <memory>
#include <vector>

#include "archives/ArchiveFile.h"
#include "archives/Exceptions.h"
#include "archives/MbcsText.h"
#include "archives/Paths.h"
#include "forms/resultfm.h"
#include "forms/zipform.h"

namespace vx {

namespace {

const char kNoFilesMessage[] =
    "添付するファイルが選択されていません。\r\n"
    "追加またはエクスプローラからのDrag&Dropでファイルを追加してください。";
const char kNoNameMessage[] = "添付ファイル名を入力してください。";
const char kPlainQuestion[] = "自己解凍ではない圧縮ファイルを添付しますか？";
const char kStaleMessage[] = "一時フォルダにある同じ名前のファイルを削除できません。";

// The system's temporary folder, ending in a backslash.
std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH, buffer);
  return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

// The name without any folder part, so that the archive stays in the
// temporary folder.
std::string NamePart(const std::string& Name) {
  const std::string::size_type cut = LastDelimiter("\\/:", Name);
  return cut == std::string::npos ? Name : Name.substr(cut + 1);
}

// Ends the dialog on every way out of the creation.
class TCloseDialog {
 public:
  explicit TCloseDialog(TForm* Form) : Form(Form) {}
  ~TCloseDialog() { Form->Close(); }
  TCloseDialog(const TCloseDialog&) = delete;
  TCloseDialog& operator=(const TCloseDialog&) = delete;

 private:
  TForm* Form;
};

}  // namespace

bool TZipListForm::RemoveStaleArchive(const std::string& FileName) {
  if (GetFileAttributesA(FileName.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  return DeleteFileA(FileName.c_str()) != FALSE;
}

void TZipListForm::CreateArchive(const std::string& BaseDir) {
  if (FilesListBox->Count() == 0) {
    MessageDlg(Handle(), kNoFilesMessage, mtWarning, {mbOK});
    return;
  }
  if (FileNameEdit->Text.empty()) {
    MessageDlg(Handle(), kNoNameMessage, mtWarning, {mbOK});
    return;
  }
  const std::string tempFolder = TempFolder();
  const bool sfx = SfxCheckBox->Checked();
  FZipFileName = tempFolder + NamePart(FileNameEdit->Text);
  // A self-extracting archive is first built under its format's extension.
  if (sfx) FZipFileName = ChangeFileExt(FZipFileName, ArchiveExt());

  // An old file of the same name would be packed into or sent instead.
  std::vector<std::string> stale{FZipFileName};
  if (sfx) stale.push_back(ChangeFileExt(FZipFileName, ".exe"));
  for (const std::string& file : stale) {
    if (!RemoveStaleArchive(file)) {
      MessageDlg(Handle(), std::string(kStaleMessage) + "\r\n" + file, mtError, {mbOK});
      FZipFileName.clear();
      Close();
      return;
    }
  }

  Hide();
  TCloseDialog closeDialog(this);
  std::unique_ptr<TArchiveFile> archive(new TArchiveFile(this));
  archive->SetFileName(FZipFileName);
  archive->Options().gw = 3;
  archive->SetOutputSize(8192);
  archive->Options().x = BaseDir.empty() ? 0 : 1;

  std::string result;
  FCompressResult = archive->Pack(Handle(), nullptr, BaseDir, &FilesListBox->Items());
  if (sfx && FCompressResult == 0) {
    result = archive->GetOutput();
    try {
      FCompressResult = archive->MakeSfx(Handle(), nullptr, tempFolder);
      DeleteFileA(FZipFileName.c_str());
      FZipFileName = ChangeFileExt(FZipFileName, ".exe");
    } catch (const EArchiver& e) {
      MessageDlg(Handle(), e.what(), mtError, {mbOK});
      if (MessageDlg(Handle(), kPlainQuestion, mtWarning, {mbYes, mbNo}) != mrYes) {
        DeleteFileA(FZipFileName.c_str());
        FZipFileName.clear();
        return;
      }
      result.clear();
    }
  }
  if (ShowResultCheckBox->Checked()) {
    std::unique_ptr<TResultForm> resultForm(new TResultForm(this));
    resultForm->ResultMemo->Text = AdjustLineBreaks(result + archive->GetOutput());
    resultForm->ShowModal();
  }
}

}  // namespace vx
