// The attachment dialog's file list: Add, Remove, the Delete key, the
// double-click, whole folders and files dropped from the shell.
#include <algorithm>

#include "archives/FileIdentity.h"
#include "archives/MbcsText.h"
#include "archives/Paths.h"
#include "forms/zipform.h"

namespace vx {

namespace {

const char kFolderQuestion[] =
    "フォルダごと圧縮しますか？\r\n"
    "(「はい」を選択するとリストボックスのファイルを無視してドロップしたファイルを圧縮します)\r\n"
    "(「いいえ」を選択するとフォルダ内のファイル全てをリストボックスに追加します)";
const char kFolderTitle[] = "圧縮して添付するフォルダを選択してください";
const char kNameCaption[] = "フォルダ付きで圧縮";
const char kNamePrompt[] = "圧縮ファイル名を入力してください（拡張子は省略可）";
const char kRefusedMessage[] = "次のファイルは名前に圧縮ソフトへ渡せない文字を含むため、追加できません。";

// The archivers take file names inside double quotes on one command line:
// a quote or a line break cannot be passed, and "?" and "*" would be read
// as wildcards ("?" also stands for a character code page 932 lacks).
bool CommandLineCanCarry(const std::string& Path) {
  return Path.find_first_of("\"\r\n?*") == std::string::npos;
}

bool IsFolder(const std::string& Path) {
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Closes a directory search on every way out.
class TFindHandle {
 public:
  explicit TFindHandle(HANDLE Handle) : Handle(Handle) {}
  ~TFindHandle() {
    if (Handle != INVALID_HANDLE_VALUE) FindClose(Handle);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;
  HANDLE Handle;
};

// Frees the folder browser's item list on every way out.
class TItemList {
 public:
  explicit TItemList(LPITEMIDLIST List) : List(List) {}
  ~TItemList() {
    if (List != nullptr) CoTaskMemFree(List);
  }
  TItemList(const TItemList&) = delete;
  TItemList& operator=(const TItemList&) = delete;
  LPITEMIDLIST List;
};

}  // namespace

void TZipListForm::AppendFile(const std::string& Path) {
  if (CommandLineCanCarry(Path))
    FilesListBox->Add(Path);
  else
    FRefused.push_back(Path);
}

void TZipListForm::ReportRefused() {
  if (FRefused.empty()) return;
  std::string message = kRefusedMessage;
  for (const std::string& name : FRefused) message += "\r\n" + name;
  FRefused.clear();
  MessageDlg(Handle(), message, mtError, {mbOK});
}

void TZipListForm::AddButtonClick(TObject*) {
  if (!OpenDialog1->Execute(Handle())) return;
  FRefused.clear();
  for (const std::string& file : OpenDialog1->Files) AppendFile(file);
  ReportRefused();
  if (FilesListBox->Count() > 0) FileNameEdit->Text = ExtractFileName(FilesListBox->Item(0));
  FileTypeRadioGroupClick(nullptr);
}

void TZipListForm::RemoveButtonClick(TObject*) {
  for (int i = FilesListBox->Count() - 1; i >= 0; --i)
    if (FilesListBox->Selected(i)) FilesListBox->Delete(i);
}

void TZipListForm::FilesListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState) {
  if (Key == VK_DELETE) RemoveButtonClick(Sender);
}

void TZipListForm::FilesListBoxDblClick(TObject*) {
  const int index = FilesListBox->ItemIndex();
  if (index < 0) return;
  FileNameEdit->Text = ChangeFileExt(ExtractFileName(FilesListBox->Item(index)), ExtensionForName());
}

void TZipListForm::AddFolderFiles(const std::string& Folder) {
  TWalkPath walk;
  AddFolderFilesBelow(walk, Folder);
}

void TZipListForm::AddFolderFilesBelow(TWalkPath& Walk, const std::string& Folder) {
  // A link back to the folder or to one above it must not walk for ever.
  const TWalkStep step(Walk, Folder);
  if (step.Cycle()) return;
  WIN32_FIND_DATAA data;
  TFindHandle find(FindFirstFileA(JoinPath(Folder, "*.*").c_str(), &data));
  if (find.Handle == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = JoinPath(Folder, name);
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      AddFolderFilesBelow(Walk, path);
    else
      AppendFile(path);
  } while (FindNextFileA(find.Handle, &data));
}

void TZipListForm::FolderAttachButtonClick(TObject*) {
  struct TBringToTop {
    HWND Window;
    ~TBringToTop() { BringWindowToTop(Window); }
  } bringToTop{Handle()};
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = Handle();
  info.pidlRoot = nullptr;
  info.pszDisplayName = displayName;
  info.lpszTitle = kFolderTitle;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  TItemList chosen(SHBrowseForFolderA(&info));
  if (chosen.List == nullptr) return;
  char folder[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(chosen.List, folder)) return;
  FRefused.clear();
  RememberListAndName();
  FilesListBox->Clear();
  AddFolderFiles(folder);
  ReportRefused();
  AttachFolder(folder);
}

void TZipListForm::AttachFolder(const std::string& Folder) {
  FKeptOpen = false;
  std::string folder = Folder;
  if (EndsWithPathDelimiter(folder)) folder.pop_back();
  const std::size_t cut = folder.size() + 1;
  for (int i = 0; i < FilesListBox->Count(); ++i) {
    const std::string& item = FilesListBox->Item(i);
    FilesListBox->SetItem(i, item.size() > cut ? item.substr(cut, MAX_PATH) : std::string());
  }
  if (folder.size() <= 3) {
    // A drive root has no name of its own to give the archive.
    // An answer with no name in it is taken as Cancel, whichever view asked:
    // otherwise the archive would be named after its extension alone.
    std::string name;
    if (!InputQuery(Handle(), kNameCaption, kNamePrompt, name) || ExtractFileName(name).empty()) return;
    FileNameEdit->Text = ExtractFileName(name);
  } else {
    FileNameEdit->Text = ExtractFileName(folder);
  }
  FileNameEdit->Text = ChangeFileExt(FileNameEdit->Text, ExtensionForName());
  CreateArchive(folder);
}

void TZipListForm::WMDropFiles(HDROP Drop) {
  struct TFinishDrop {
    HDROP Drop;
    ~TFinishDrop() {
      if (Drop != nullptr) DragFinish(Drop);
    }
  } finish{Drop};
  const int before = FilesListBox->Count();
  RememberListAndName();
  std::string baseFolder;
  bool asked = false;
  int answer = mrNone;
  FRefused.clear();
  const UINT count = DragQueryFileA(Drop, 0xFFFFFFFFu, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char buffer[MAX_PATH] = {};
    DragQueryFileA(Drop, i, buffer, MAX_PATH);
    const std::string path = buffer;
    if (!IsFolder(path)) {
      AppendFile(path);
      continue;
    }
    SetForegroundWindow(Handle());
    if (!asked) {
      answer = MessageDlg(Handle(), kFolderQuestion, mtConfirmation, {mbYes, mbNo, mbCancel});
      asked = true;
    }
    if (answer == mrYes) {
      if (baseFolder.empty()) {
        for (int k = before - 1; k >= 0; --k) FilesListBox->Delete(k);
        baseFolder = count == 1 ? path : ExtractFilePath(path);
      }
      AddFolderFiles(path);
    } else if (answer == mrNo) {
      AddFolderFiles(path);
    } else {
      // The whole drop is undone.
      while (FilesListBox->Count() > before) FilesListBox->Delete(FilesListBox->Count() - 1);
      FRefused.clear();
      return;
    }
  }
  DragFinish(Drop);
  finish.Drop = nullptr;
  ReportRefused();
  if (answer == mrYes) {
    struct TCloseAfter {
      TZipListForm* Form;
      ~TCloseAfter() {
        if (!Form->FKeptOpen) Form->Close();
      }
    } close{this};
    AttachFolder(baseFolder);
    return;
  }
  if (FileNameEdit->Text.empty() && FilesListBox->Count() > 0)
    FileNameEdit->Text = ExtractFileName(FilesListBox->Item(0));
  FileTypeRadioGroupClick(nullptr);
}

}  // namespace vx
