// The attachment dialog: its controls, its properties and the rules that
// keep format, self-extracting option and archive name consistent.
#include "forms/zipform.h"

#include "archives/Paths.h"

namespace vx {

namespace {

struct TTypeInfo {
  const char* Ext;
  const char* Mime;
};
constexpr TTypeInfo kTypes[] = {{".lzh", "application/x-lha"},
                                {".zip", "application/zip"},
                                {".cab", "application/x-compressed"},
                                {".tgz", "application/x-compressed"},
                                {".bz2", "application/x-compressed"}};

const char kNoDllMessage[] = "圧縮に必要なDLLが見つかりません。";
const char kNoSfxMessage[] = "この形式では自己解凍ファイルが作成できません。";

}  // namespace

int CheckArchiverDlls() {
  static const char* const kLibraries[] = {"UNLHA32.DLL", "ZIP32J.DLL", "CAB32.DLL", "TAR32.DLL"};
  int mask = 0;
  for (int i = 0; i < 4; ++i) {
    if (HMODULE module = LoadLibraryA(kLibraries[i])) {
      FreeLibrary(module);
      mask |= 1 << i;
    }
  }
  return mask;
}

TZipListForm::TZipListForm(TComponent* Owner) : TForm(Owner) {
  CreateControls();
  FormCreate(this);
}

void TZipListForm::CreateControls() {
  Caption = "圧縮して添付";
  BorderStyle = bsDialog;
  ClientWidth = 472;
  ClientHeight = 353;
  Font = TFont{"ＭＳ Ｐゴシック", 12, DEFAULT_CHARSET};

  ListLabel = Make<TLabel>(nullptr, "ListLabel");
  ListLabel->Caption = "添付するファイル一覧 (&L)";
  ListLabel->SetBounds(16, 8, 0, 0);

  FilesListBox = Make<TListBox>(nullptr, "FilesListBox");
  FilesListBox->SetBounds(8, 32, 345, 217);
  FilesListBox->TabOrder = 0;
  FilesListBox->MultiSelect = true;
  FilesListBox->ItemHeight = 12;
  FilesListBox->Hint = "Drag&Dropでファイルを追加できます";
  FilesListBox->ShowHint = true;
  FilesListBox->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FilesListBoxKeyDown(s, k, sh); };
  FilesListBox->OnDblClick = [this](TObject* s) { FilesListBoxDblClick(s); };
  ListLabel->FocusControl = FilesListBox;

  AddButton = Make<TButton>(nullptr, "AddButton");
  AddButton->Caption = "追加 (&A)";
  AddButton->SetBounds(360, 32, 99, 25);
  AddButton->TabOrder = 1;
  AddButton->OnClick = [this](TObject* s) { AddButtonClick(s); };

  RemoveButton = Make<TButton>(nullptr, "RemoveButton");
  RemoveButton->Caption = "削除 (&R)";
  RemoveButton->SetBounds(360, 64, 99, 25);
  RemoveButton->TabOrder = 2;
  RemoveButton->OnClick = [this](TObject* s) { RemoveButtonClick(s); };

  FileNameLabel = Make<TLabel>(nullptr, "FileNameLabel");
  FileNameLabel->Caption = "添付ファイル名 (&F)";
  FileNameLabel->SetBounds(16, 256, 0, 0);

  FileNameEdit = Make<TEdit>(nullptr, "FileNameEdit");
  FileNameEdit->SetBounds(16, 272, 329, 20);
  FileNameEdit->TabOrder = 3;
  FileNameEdit->Hint = "拡張子は自動的に設定されます。";
  FileNameEdit->ShowHint = true;
  FileNameLabel->FocusControl = FileNameEdit;

  AttachBitBtn = Make<TBitBtn>(nullptr, "AttachBitBtn");
  AttachBitBtn->Caption = "添付(&T)";
  AttachBitBtn->SetBounds(360, 104, 99, 65);
  AttachBitBtn->TabOrder = 4;
  AttachBitBtn->Glyph = "attach";
  AttachBitBtn->DisabledGlyph = "attach-disabled";
  AttachBitBtn->OnClick = [this](TObject* s) { AttachBitBtnClick(s); };

  CancelButton = Make<TButton>(nullptr, "CancelButton");
  CancelButton->Caption = "キャンセル (&C)";
  CancelButton->SetBounds(360, 216, 99, 25);
  CancelButton->TabOrder = 5;
  CancelButton->ModalResult = mrCancel;

  ShowResultCheckBox = Make<TCheckBox>(nullptr, "ShowResultCheckBox");
  ShowResultCheckBox->Caption = "結果を表示(&H)";
  ShowResultCheckBox->SetBounds(360, 256, 97, 17);
  ShowResultCheckBox->TabOrder = 6;

  SfxCheckBox = Make<TCheckBox>(nullptr, "SfxCheckBox");
  SfxCheckBox->Caption = "自己解凍(&S)";
  SfxCheckBox->SetBounds(360, 280, 97, 17);
  SfxCheckBox->TabOrder = 7;
  SfxCheckBox->Hint = "LHa, Zip, Cab のみ作成可能です";
  SfxCheckBox->ShowHint = true;
  SfxCheckBox->OnClick = [this](TObject* s) { SfxCheckBoxClick(s); };

  ArcGroupBox = Make<TGroupBox>(nullptr, "ArcGroupBox");
  ArcGroupBox->Caption = "圧縮形式(&O)";
  ArcGroupBox->SetBounds(16, 304, 409, 41);
  ArcGroupBox->TabOrder = 8;

  struct TFormatButton {
    TRadioButton** Field;
    const char* Name;
    const char* Caption;
    int Left, Width;
  };
  const TFormatButton buttons[] = {{&LhaRadioButton, "LhaRadioButton", "Lha", 16, 49},
                                 {&ZipRadioButton, "ZipRadioButton", "Zip", 88, 49},
                                 {&CabRadioButton, "CabRadioButton", "Cab", 168, 49},
                                 {&TgzRadioButton, "TgzRadioButton", "tar+gzip", 248, 65},
                                 {&Bz2RadioButton, "Bz2RadioButton", "tar+bzip2", 328, 65}};
  // The tab order of a format button is its archive type.
  int tab = 0;
  for (const TFormatButton& format : buttons) {
    TRadioButton* button = Make<TRadioButton>(ArcGroupBox, format.Name);
    button->Caption = format.Caption;
    button->SetBounds(format.Left, 16, format.Width, 17);
    button->TabOrder = tab++;
    button->OnClick = [this](TObject* s) { FileTypeRadioGroupClick(s); };
    *format.Field = button;
  }

  FolderAttachButton = Make<TButton>(nullptr, "FolderAttachButton");
  FolderAttachButton->Caption = "フォルダごと(&D)...";
  FolderAttachButton->SetBounds(360, 176, 99, 25);
  FolderAttachButton->TabOrder = 9;
  FolderAttachButton->OnClick = [this](TObject* s) { FolderAttachButtonClick(s); };

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->Flags = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
}

void TZipListForm::FormCreate(TObject*) {
  DragAcceptFiles(Handle(), TRUE);
  FZipFileName.clear();
  SetAvailableTypes(CheckArchiverDlls());
}

LRESULT TZipListForm::WndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (Msg == WM_DROPFILES) {
    WMDropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return TForm::WndProc(Msg, wParam, lParam);
}

TRadioButton* TZipListForm::TypeButton(int Type) const {
  TRadioButton* const buttons[] = {LhaRadioButton, ZipRadioButton, CabRadioButton, TgzRadioButton,
                                   Bz2RadioButton};
  return buttons[Type];
}

std::string TZipListForm::ArchiveExt() const { return kTypes[FArchiveType].Ext; }

std::string TZipListForm::MimeType() const { return kTypes[FArchiveType].Mime; }

void TZipListForm::SetAvailableTypes(int Mask) {
  FAvailableTypes |= Mask & (avLha | avZip | avCab | avTar);
  LhaRadioButton->Enabled = (FAvailableTypes & avLha) != 0;
  ZipRadioButton->Enabled = (FAvailableTypes & avZip) != 0;
  CabRadioButton->Enabled = (FAvailableTypes & avCab) != 0;
  TgzRadioButton->Enabled = (FAvailableTypes & avTar) != 0;
  Bz2RadioButton->Enabled = (FAvailableTypes & avTar) != 0;
}

void TZipListForm::SetArchiveType(int Value) {
  if (Value < 0 || Value > 4) return;
  TRadioButton* button = TypeButton(Value);
  if (!button->Enabled) {
    MessageDlg(Handle(), kNoDllMessage, mtError, {mbOK});
    return;
  }
  FArchiveType = Value;
  button->SetChecked(true);
  FileTypeRadioGroupClick(nullptr);
}

void TZipListForm::SetIsSfx(bool Value) {
  SfxCheckBox->SetChecked(Value);
  SfxCheckBoxClick(SfxCheckBox);
}

void TZipListForm::ApplyNameExtension() {
  if (FileNameEdit->Text.empty()) return;
  FileNameEdit->Text = ChangeFileExt(FileNameEdit->Text, ExtensionForName());
}

void TZipListForm::FileTypeRadioGroupClick(TObject* Sender) {
  for (int type = 0; type <= 4; ++type)
    if (Sender != nullptr && Sender == TypeButton(type)) FArchiveType = TypeButton(type)->TabOrder;
  if (FArchiveType <= 2) {
    if (!SfxCheckBox->Enabled) {
      SfxCheckBox->Enabled = true;
      ShowResultCheckBox->Enabled = true;
    }
  } else {
    // The tar formats make neither self-extracting archives nor output.
    if (SfxCheckBox->Checked()) {
      MessageDlg(Handle(), kNoSfxMessage, mtError, {mbOK});
      SfxCheckBox->SetChecked(false);
    }
    ShowResultCheckBox->SetChecked(false);
    SfxCheckBox->Enabled = false;
    ShowResultCheckBox->Enabled = false;
  }
  ApplyNameExtension();
}

void TZipListForm::SfxCheckBoxClick(TObject*) {
  TgzRadioButton->Enabled = !SfxCheckBox->Checked() && (FAvailableTypes & avTar) != 0;
  Bz2RadioButton->Enabled = TgzRadioButton->Enabled;
  if (SfxCheckBox->Checked() && FArchiveType >= 3) {
    MessageDlg(Handle(), kNoSfxMessage, mtError, {mbOK});
    SfxCheckBox->SetChecked(false);
    ShowResultCheckBox->SetChecked(false);
  } else {
    ApplyNameExtension();
  }
}

void TZipListForm::AttachBitBtnClick(TObject*) { CreateArchive(std::string()); }

}  // namespace vx
