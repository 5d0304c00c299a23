// The compose-window command: the attachment dialog with the remembered
// choices, the archive handed to the host and deleted, the choices saved.
#include <exception>
#include <string>

#include "forms/Dialogs.h"
#include "forms/Forms.h"
#include "forms/zipform.h"
#include "plugin/IniFile.h"
#include "plugin/VxArc.h"

namespace vx {

namespace {

const char kSection[] = "Options";
const char kArchiveType[] = "ArchiveType";
const char kIsSfx[] = "IsSfx";
const char kShowResult[] = "ShowResult";
const char kWarnSizeMB[] = "WarnSizeMB";
const char kArchiveMissing[] = "圧縮ファイルの作成に失敗しました。";

bool FileExists(const std::string& Path) {
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void CompressAttach(HWND Compose) {
  TZipListForm dialog(nullptr);
  RECT rect{};
  GetWindowRect(Compose, &rect);
  dialog.Left = rect.left + 32;
  dialog.Top = rect.top + 32;

  const TIniFile ini(IniFileName);
  dialog.SetArchiveType(ini.ReadInteger(kSection, kArchiveType, -1));
  dialog.SetIsSfx(ini.ReadBool(kSection, kIsSfx, false));
  dialog.ShowResultCheckBox->SetChecked(ini.ReadBool(kSection, kShowResult, false));
  // No whole number (text, a negative value) gives the default.
  dialog.SetWarnSizeMB(ini.ReadInteger(kSection, kWarnSizeMB, kDefaultWarnSizeMB));

  dialog.ShowModal();
  const std::string archive = dialog.ZipFileName();
  if (archive.empty()) return;  // cancelled, or the dialog gave up
  // A file the dialog did not pack into (it gave up before) is not sent.
  if (!dialog.Packed() || !FileExists(archive)) {
    MessageDlg(Compose, kArchiveMissing, mtError, {mbOK});
    return;
  }
  const std::string mimeType = dialog.MimeType();
  // The host has taken the file over when this returns.
  HostAPI->CompAttachFile(Compose, archive.c_str(), mimeType.c_str());
  DeleteFileA(archive.c_str());

  try {
    ini.WriteInteger(kSection, kArchiveType, dialog.ArchiveType());
    ini.WriteBool(kSection, kIsSfx, dialog.IsSfx());
    ini.WriteBool(kSection, kShowResult, dialog.ShowResultCheckBox->Checked());
    ini.WriteInteger(kSection, kWarnSizeMB, dialog.WarnSizeMB());
  } catch (const EIniFileException& e) {
    // The attachment is made; only the remembered choices are lost.
    MessageDlg(Compose, e.Message(), mtWarning, {mbOK});
  }
}

}  // namespace

void WINAPI OnCompressAttach(HWND Compose, LONG) {
  // Nothing may escape into the host: an error is shown as the
  // user-interface framework shows errors of its handlers.
  try {
    CompressAttach(Compose);
  } catch (const std::exception& e) {
    MessageDlg(Compose, e.what(), mtError, {mbOK});
  } catch (...) {
    MessageDlg(Compose, kUnexpectedErrorMessage, mtError, {mbOK});
  }
}

}  // namespace vx
