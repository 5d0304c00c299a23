// The attachment dialog's end: the archive is built in the temporary
// folder, made self-extracting when asked, its output shown when asked, and
// the dialog closed.
#include <cstdint>
#include <memory>
#include <vector>

#include "archives/ArchiveFile.h"
#include "archives/Exceptions.h"
#include "archives/FileIdentity.h"
#include "archives/MbcsText.h"
#include "archives/Paths.h"
#include "forms/ArchiveName.h"
#include "forms/AttachSize.h"
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
const char kBadNameMessage[] = "この添付ファイル名は使えません: ";
const char kListedFileMessage[] =
    "次のファイルは添付するファイルの一つなので、圧縮ファイルで上書きできません。";
const char kOtherNameAdvice[] = "添付ファイル名を変えてください。";
const char kArchiveSizeLead[] = "圧縮ファイルの大きさ: ";
const char kPartSizeLead[] = "メールでの大きさ: 約 ";
const char kSizeQuestion[] =
    "大きなメールは相手のメールサーバーで受け取りを拒否されることがあります。このまま添付しますか？";

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

// Ends the dialog on every way out of the creation, unless kept open.
class TCloseDialog {
 public:
  explicit TCloseDialog(TForm* Form) : Form(Form) {}
  ~TCloseDialog() {
    if (Form != nullptr) Form->Close();
  }
  void KeepOpen() { Form = nullptr; }
  TCloseDialog(const TCloseDialog&) = delete;
  TCloseDialog& operator=(const TCloseDialog&) = delete;

 private:
  TForm* Form;
};

}  // namespace

std::string TZipListForm::ListedFileAt(const std::string& Path, const std::string& BaseDir) const {
  // Only a file that exists can be one of the list's.
  if (GetFileAttributesA(Path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::string();
  const TSameFile target(Path);
  for (const std::string& item : FilesListBox->Items()) {
    const std::string file = BaseDir.empty() ? item : JoinPath(BaseDir, item);
    if (target.NamedBy(file)) return file;
  }
  return std::string();
}

void TZipListForm::SetWarnSizeMB(int Value) { FWarnSizeMB = Value < 0 ? kDefaultWarnSizeMB : Value; }

bool TZipListForm::SizeAccepted() {
  std::uint64_t size = 0;
  // No file: the command reports the failure.
  if (!FileSizeOf(FZipFileName, size)) return true;
  const std::uint64_t part = MessagePartSize(size);
  if (!PartTooLarge(part, FWarnSizeMB)) return true;
  const std::string text = kArchiveSizeLead + MegabyteText(size) + "\r\n" + kPartSizeLead + MegabyteText(part) +
                           "\r\n" + kSizeQuestion;
  return MessageDlg(Handle(), text, mtConfirmation, {mbYes, mbNo}) == mrYes;
}

void TZipListForm::RememberListAndName() { FBeforeFolder = TListAndName{FilesListBox->Items(), FileNameEdit->Text}; }

void TZipListForm::RestoreListAndName() {
  if (!FBeforeFolder) return;
  FilesListBox->Clear();
  for (const std::string& item : FBeforeFolder->Items) FilesListBox->Add(item);
  FileNameEdit->Text = FBeforeFolder->Name;
  FBeforeFolder.reset();
}

bool TZipListForm::RemoveStaleArchive(const std::string& FileName) {
  if (GetFileAttributesA(FileName.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  return DeleteFileA(FileName.c_str()) != FALSE;
}

void TZipListForm::CreateArchive(const std::string& BaseDir) {
  FKeptOpen = false;
  if (FilesListBox->Count() == 0) {
    MessageDlg(Handle(), kNoFilesMessage, mtWarning, {mbOK});
    return;
  }
  if (FileNameEdit->Text.empty()) {
    MessageDlg(Handle(), kNoNameMessage, mtWarning, {mbOK});
    return;
  }
  const std::string name = NamePart(FileNameEdit->Text);
  const std::string fault = ArchiveNameFault(name);
  if (!fault.empty()) {
    MessageDlg(Handle(), kBadNameMessage + name + "\r\n" + fault, mtWarning, {mbOK});
    return;
  }
  const std::string tempFolder = TempFolder();
  const bool sfx = SfxCheckBox->Checked();
  std::string archiveName = tempFolder + name;
  // A self-extracting archive is first built under its format's extension.
  if (sfx) archiveName = ChangeFileExt(archiveName, ArchiveExt());
  std::vector<std::string> targets{archiveName};
  if (sfx) targets.push_back(ChangeFileExt(archiveName, ".exe"));
  // Packing or converting would overwrite or remove a file the user sends.
  for (const std::string& target : targets) {
    const std::string listed = ListedFileAt(target, BaseDir);
    if (listed.empty()) continue;
    MessageDlg(Handle(), std::string(kListedFileMessage) + "\r\n" + listed + "\r\n" + kOtherNameAdvice,
               mtWarning, {mbOK});
    return;
  }
  FZipFileName = archiveName;

  Hide();
  TCloseDialog closeDialog(this);
  std::unique_ptr<TArchiveFile> archive(new TArchiveFile(this));
  archive->SetFileName(FZipFileName);
  // A name without a format's extension is not looked into: an old file of
  // that name is nobody's archive to add to.
  archive->CheckArchiver();
  // An old file of the same name would be packed into or sent instead; it
  // goes only once the name has chosen a format.
  for (const std::string& file : targets) {
    if (!RemoveStaleArchive(file)) {
      MessageDlg(Handle(), std::string(kStaleMessage) + "\r\n" + file, mtError, {mbOK});
      FZipFileName.clear();
      return;
    }
  }
  archive->Options().gw = 3;
  archive->SetOutputSize(8192);
  archive->Options().x = BaseDir.empty() ? 0 : 1;

  std::string result;
  FPacked = true;
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
  if (!SizeAccepted()) {
    // Nothing is sent, and the dialog comes back as the user left it, so
    // that a large file can be taken out and the attach tried again.
    DeleteFileA(FZipFileName.c_str());
    FZipFileName.clear();
    FPacked = false;
    if (!BaseDir.empty()) RestoreListAndName();
    closeDialog.KeepOpen();
    FKeptOpen = true;
    Show();
  }
}

}  // namespace vx
