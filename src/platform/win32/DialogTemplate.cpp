#include "platform/win32/DialogTemplate.h"

namespace vxwin {

namespace {

std::wstring Wide(const std::string& Ansi) {
  if (Ansi.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, Ansi.data(), static_cast<int>(Ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, Ansi.data(), static_cast<int>(Ansi.size()), out.data(), n);
  return out;
}

}  // namespace

TDialogTemplate::TDialogTemplate(DWORD Style, DWORD ExStyle, const RECT& Bounds, const std::string& Caption,
                                 const TDialogFont& Font) {
  Word(1);       // dlgVer
  Word(0xFFFF);  // signature of the extended form
  DWord(0);      // helpID
  DWord(ExStyle);
  DWord(Style | DS_SETFONT);
  FCountAt = FWords.size();
  Word(0);
  Word(static_cast<WORD>(Bounds.left));
  Word(static_cast<WORD>(Bounds.top));
  Word(static_cast<WORD>(Bounds.right - Bounds.left));
  Word(static_cast<WORD>(Bounds.bottom - Bounds.top));
  Word(0);  // no menu
  Word(0);  // the dialog manager's own class
  Text(Caption);
  Word(Font.PointSize);
  Word(FW_NORMAL);
  Word(static_cast<WORD>(Font.Charset << 8));  // italic 0, then the charset byte
  Text(Font.Face);
}

void TDialogTemplate::DWord(DWORD Value) {
  Word(LOWORD(Value));
  Word(HIWORD(Value));
}

void TDialogTemplate::Text(const std::string& Ansi) {
  for (wchar_t c : Wide(Ansi)) Word(static_cast<WORD>(c));
  Word(0);
}

void TDialogTemplate::AlignDWord() {
  if (FWords.size() % 2 != 0) Word(0);
}

void TDialogTemplate::AddControl(TDialogClass Class, const std::string& Caption, DWORD Style, DWORD ExStyle,
                                 const RECT& Bounds, DWORD Id) {
  AlignDWord();
  DWord(0);  // helpID
  DWord(ExStyle);
  DWord(Style | WS_CHILD);
  Word(static_cast<WORD>(Bounds.left));
  Word(static_cast<WORD>(Bounds.top));
  Word(static_cast<WORD>(Bounds.right - Bounds.left));
  Word(static_cast<WORD>(Bounds.bottom - Bounds.top));
  DWord(Id);
  Word(0xFFFF);
  Word(static_cast<WORD>(Class));
  Text(Caption);
  Word(0);  // no creation data
  ++FWords[FCountAt];
}

}  // namespace vxwin
