#include "forms/Dialogs.h"

#include <vector>

#include "archives/MbcsText.h"
#include "archives/Paths.h"

namespace vx {

namespace {

UINT TypeFlags(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return MB_ICONWARNING;
    case mtError: return MB_ICONERROR;
    case mtInformation: return MB_ICONINFORMATION;
    default: return MB_ICONQUESTION;
  }
}

const char* CaptionOf(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return "警告";
    case mtError: return "エラー";
    case mtInformation: return "情報";
    default: return "確認";
  }
}

UINT ButtonFlags(std::initializer_list<TMsgDlgBtn> Buttons) {
  bool yes = false, no = false, ok = false, cancel = false;
  for (TMsgDlgBtn b : Buttons) {
    yes |= b == mbYes;
    no |= b == mbNo;
    ok |= b == mbOK;
    cancel |= b == mbCancel;
  }
  if (yes && no) return cancel ? MB_YESNOCANCEL : MB_YESNO;
  if (ok && cancel) return MB_OKCANCEL;
  return MB_OK;
}

// A name from the dialog stands for itself when it is a full path.
bool IsFullPath(const std::string& Name) {
  return (!Name.empty() && Name[0] == '\\') ||
         (Name.size() > 2 && Name[1] == ':' && Name[2] == '\\');
}

}  // namespace

int MessageDlg(HWND Owner, const std::string& Msg, TMsgDlgType DlgType,
               std::initializer_list<TMsgDlgBtn> Buttons) {
  return MessageBoxA(Owner, Msg.c_str(), CaptionOf(DlgType), ButtonFlags(Buttons) | TypeFlags(DlgType));
}

bool InputQuery(HWND Owner, const std::string& Caption, const std::string& Prompt, std::string& Value) {
  std::vector<char> buffer(1024, '\0');
  Value.copy(buffer.data(), buffer.size() - 1);
  if (!VxInputQuery(Owner, Caption.c_str(), Prompt.c_str(), buffer.data(), static_cast<DWORD>(buffer.size())))
    return false;
  Value = buffer.data();
  return true;
}

bool TOpenDialog::Execute(HWND Owner) {
  // Room for a large selection of files.
  std::vector<char> buffer(0xFFFF, '\0');
  FileName.copy(buffer.data(), MAX_PATH - 1);
  std::string filter = Filter;
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.Flags = Flags | OFN_EXPLORER;
  if (!GetOpenFileNameA(&ofn)) return false;

  Files.clear();
  const char* p = buffer.data();
  const std::string first = p;
  p += first.size() + 1;
  if (*p == '\0') {
    Files.push_back(first);
  } else {
    const std::string dir = EndsWithPathDelimiter(first) ? first : first + "\\";
    while (*p != '\0') {
      const std::string name = p;
      p += name.size() + 1;
      Files.push_back(IsFullPath(name) ? name : dir + name);
    }
  }
  FileName = Files.front();
  return true;
}

}  // namespace vx
