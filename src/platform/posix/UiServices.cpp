// Message boxes, the input box and modal loops, answered by the installed
// user-interface backend.
#include <cstring>
#include <iostream>
#include <map>

#include "platform/posix/vxui.h"

namespace vxui {
namespace {

Backend*& Installed() {
  static Backend* backend = nullptr;
  return backend;
}

Backend& Console() {
  static ConsoleBackend console(std::cin, std::cout);
  return console;
}

struct ModalState {
  bool ended = false;
  INT_PTR result = 0;
};

// The windows whose modal loop runs now, innermost last.
std::map<HWND, ModalState>& Modals() {
  static std::map<HWND, ModalState> modals;
  return modals;
}

std::string Sjis(const char* utf8) {
  std::string out;
  vxposix::Utf8ToCp932(utf8, out);
  return out;
}

BoxKind KindOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return BoxKind::Error;
    case MB_ICONQUESTION: return BoxKind::Confirmation;
    case MB_ICONEXCLAMATION: return BoxKind::Warning;
    case MB_ICONASTERISK: return BoxKind::Information;
    default: return BoxKind::Plain;
  }
}

}  // namespace

Backend::~Backend() = default;

Backend* SetBackend(Backend* backend) {
  Backend* previous = Installed();
  Installed() = backend;
  return previous;
}

Backend& CurrentBackend() { return Installed() != nullptr ? *Installed() : Console(); }

bool ModalEnded(HWND form, INT_PTR* result) {
  auto it = Modals().find(form);
  if (it == Modals().end() || !it->second.ended) return false;
  if (result != nullptr) *result = it->second.result;
  return true;
}

void ButtonsOf(UINT type, std::vector<int>& ids, std::vector<std::string>& labels) {
  // The labels of a Japanese system.
  static const std::map<int, std::string> kLabels = {
      {IDOK, Sjis("OK")},           {IDCANCEL, Sjis("キャンセル")}, {IDABORT, Sjis("中止(&A)")},
      {IDRETRY, Sjis("再試行(&R)")}, {IDIGNORE, Sjis("無視(&I)")},  {IDYES, Sjis("はい(&Y)")},
      {IDNO, Sjis("いいえ(&N)")}};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: ids = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: ids = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: ids = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: ids = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: ids = {IDRETRY, IDCANCEL}; break;
    default: ids = {IDOK}; break;
  }
  labels.clear();
  for (int id : ids) labels.push_back(kLabels.at(id));
}

}  // namespace vxui

using namespace vxui;

VXAPI int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  BoxRequest box;
  box.owner = hWnd;
  box.kind = KindOf(uType);
  // Windows shows "Error" for a missing caption; ours is the Japanese one.
  box.caption = lpCaption != nullptr ? lpCaption : Sjis("エラー");
  box.text = lpText != nullptr ? lpText : "";
  ButtonsOf(uType, box.buttons, box.labels);
  return CurrentBackend().MessageBox(box);
}

VXAPI BOOL WINAPI VxInputQuery(HWND hWndOwner, LPCSTR lpCaption, LPCSTR lpPrompt, LPSTR lpValue,
                               DWORD nSize) {
  if (lpValue == nullptr || nSize == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string value = lpValue;
  if (!CurrentBackend().InputQuery(hWndOwner, lpCaption ? lpCaption : "", lpPrompt ? lpPrompt : "",
                                   value))
    return FALSE;
  if (value.size() >= nSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(lpValue, value.c_str(), value.size() + 1);
  return TRUE;
}

VXAPI INT_PTR WINAPI VxShowModal(HWND hWnd) {
  if (!IsWindow(hWnd) || Modals().count(hWnd) != 0) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  Modals()[hWnd] = ModalState{};
  INT_PTR result = IDCANCEL;
  try {
    const INT_PTR given = CurrentBackend().RunModal(hWnd);
    if (!ModalEnded(hWnd, &result)) result = given;
  } catch (...) {
    Modals().erase(hWnd);
    throw;
  }
  Modals().erase(hWnd);
  return result;
}

// The console and scripted views read the form's state whenever they show
// it: there is nothing on screen to bring up to date.
VXAPI void WINAPI VxShowFormState(HWND) {}

VXAPI void WINAPI VxEndModal(HWND hWnd, INT_PTR nResult) {
  auto it = Modals().find(hWnd);
  if (it == Modals().end()) return;
  it->second.ended = true;
  it->second.result = nResult;
}
