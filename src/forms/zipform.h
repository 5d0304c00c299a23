// The attachment dialog "圧縮して添付": the list of files to send, the
// archive name, the format and the self-extracting and result options, the
// rules that keep them consistent, and the creation of the archive.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archives/Types.h"
#include "forms/AttachSize.h"
#include "forms/Dialogs.h"
#include "forms/Forms.h"

namespace vx {

class TWalkPath;

// The packing libraries that can be loaded: 1 UNLHA32.DLL, 2 ZIP32J.DLL,
// 4 CAB32.DLL, 8 TAR32.DLL; 0 for none.
int CheckArchiverDlls();

class TZipListForm : public TForm {
 public:
  explicit TZipListForm(TComponent* Owner);

  std::string ClassName() const override { return "TZipListForm"; }

  TLabel* ListLabel;
  TListBox* FilesListBox;
  TButton* AddButton;
  TButton* RemoveButton;
  TLabel* FileNameLabel;
  TEdit* FileNameEdit;
  TBitBtn* AttachBitBtn;
  TButton* CancelButton;
  TCheckBox* ShowResultCheckBox;
  TCheckBox* SfxCheckBox;
  TGroupBox* ArcGroupBox;
  TRadioButton* LhaRadioButton;
  TRadioButton* ZipRadioButton;
  TRadioButton* CabRadioButton;
  TRadioButton* TgzRadioButton;
  TRadioButton* Bz2RadioButton;
  TButton* FolderAttachButton;
  TOpenDialog* OpenDialog1;

  // Full path of the finished archive, or empty.
  const std::string& ZipFileName() const { return FZipFileName; }
  // 0 LHA, 1 ZIP, 2 CAB, 3 tar+gzip, 4 tar+bzip2.
  int ArchiveType() const { return FArchiveType; }
  void SetArchiveType(int Value);
  bool IsSfx() const { return SfxCheckBox->Checked(); }
  void SetIsSfx(bool Value);
  // True once the archive component was asked to pack into ZipFileName, so
  // that whatever lies there is this dialog's product; before that (the
  // name chose no format, the library is missing) a file there is someone
  // else's.
  bool Packed() const { return FPacked; }
  // Result code of the last archiver call (0 is success).
  int CompressResult() const { return FCompressResult; }
  // Above this many megabytes of message part the user is asked before the
  // archive is sent; 0 never asks. A negative value gives the default.
  int WarnSizeMB() const { return FWarnSizeMB; }
  void SetWarnSizeMB(int Value);
  std::string ArchiveExt() const;
  std::string MimeType() const;

  void SetAvailableTypes(int Mask);

  // Event handlers.
  void FormCreate(TObject* Sender);
  void AddButtonClick(TObject* Sender);
  void RemoveButtonClick(TObject* Sender);
  void AttachBitBtnClick(TObject* Sender);
  void FolderAttachButtonClick(TObject* Sender);
  void FileTypeRadioGroupClick(TObject* Sender);
  void SfxCheckBoxClick(TObject* Sender);
  void FilesListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FilesListBoxDblClick(TObject* Sender);
  void WMDropFiles(HDROP Drop);

  // Every file below the folder, depth first, appended with full paths.
  void AddFolderFiles(const std::string& Folder);
  // Whole-folder mode: the list becomes relative to the folder, the
  // archive is named after it and created.
  void AttachFolder(const std::string& Folder);
  // Builds the archive from the list (relative to BaseDir when given),
  // optionally self-extracting, shows the result and ends the dialog.
  void CreateArchive(const std::string& BaseDir);

 protected:
  LRESULT WndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;

 private:
  enum TAvailableType { avLha = 1, avZip = 2, avCab = 4, avTar = 8 };

  void CreateControls();
  TRadioButton* TypeButton(int Type) const;
  // The name field gets ".exe" or the format's extension, unless empty.
  void ApplyNameExtension();
  std::string ExtensionForName() const { return SfxCheckBox->Checked() ? ".exe" : ArchiveExt(); }
  // Appends a path unless the archivers' command line cannot carry it;
  // refused paths are collected for ReportRefused.
  void AppendFile(const std::string& Path);
  void ReportRefused();
  // Walks one folder of AddFolderFiles, unless it lies on the walk's path.
  void AddFolderFilesBelow(TWalkPath& Walk, const std::string& Folder);
  // The listed file (as a full path) that Path names, or empty; list items
  // are relative to BaseDir when it is given.
  std::string ListedFileAt(const std::string& Path, const std::string& BaseDir) const;
  // Removes a file left at FileName by an earlier run; false when one
  // stays there.
  bool RemoveStaleArchive(const std::string& FileName);
  // Asks before a message too large for many mail servers is made; true
  // when the archive at ZipFileName may be sent.
  bool SizeAccepted();
  // Whole-folder mode rewrites the list and the name: kept before it
  // starts, and put back when the dialog stays open after all.
  void RememberListAndName();
  void RestoreListAndName();

  std::string FZipFileName;
  int FArchiveType = 0;
  int FAvailableTypes = 0;
  int FCompressResult = 0;
  bool FPacked = false;
  int FWarnSizeMB = kDefaultWarnSizeMB;
  // Set when the creation ended with the dialog kept open.
  bool FKeptOpen = false;
  std::vector<std::string> FRefused;
  struct TListAndName {
    std::vector<std::string> Items;
    std::string Name;
  };
  std::optional<TListAndName> FBeforeFolder;
};

}  // namespace vx
