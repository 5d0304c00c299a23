// VxInputQuery on Windows: our own input box, a modal dialog from an
// in-memory template with the prompt, one line of text, "OK" and
// "キャンセル", centred on the screen, in the dialogs' font.
#include <algorithm>
#include <string>

#include "platform/win32/DialogTemplate.h"
#include "platform/win32/FormView.h"
#include "platform/win32/ViewModule.h"
#include "platform/win32api.h"

namespace {

constexpr int kPromptId = 100;
constexpr int kEditId = 101;
const char kFontName[] = "ＭＳ Ｐゴシック";
constexpr int kFontHeight = 12;

struct TInput {
  LPSTR Value;
  DWORD Size;
};

INT_PTR CALLBACK InputProc(HWND Dialog, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(Dialog, DWLP_USER, lParam);
      const auto* input = reinterpret_cast<const TInput*>(lParam);
      const HWND edit = GetDlgItem(Dialog, kEditId);
      SendMessageA(edit, EM_LIMITTEXT, input->Size - 1, 0);
      SetWindowTextA(edit, input->Value);
      SendMessageA(edit, EM_SETSEL, 0, -1);
      return TRUE;  // the edit, first in tab order, gets the focus
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        const auto* input = reinterpret_cast<const TInput*>(GetWindowLongPtrA(Dialog, DWLP_USER));
        GetDlgItemTextA(Dialog, kEditId, input->Value, static_cast<int>(input->Size));
        EndDialog(Dialog, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(Dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

extern "C" BOOL WINAPI VxInputQuery(HWND hWndOwner, LPCSTR lpCaption, LPCSTR lpPrompt, LPSTR lpValue, DWORD nSize) {
  if (lpValue == nullptr || nSize == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // What is on screen shows the presenters' state before the box opens.
  vxwin::TFormView::SyncAll();
  const std::string caption = lpCaption != nullptr ? lpCaption : "";
  const std::string prompt = lpPrompt != nullptr ? lpPrompt : "";

  // Laid out in dialog units, wide enough for the prompt.
  vx::TFont font{kFontName, kFontHeight, SHIFTJIS_CHARSET};
  vxwin::TFontHandle measureFont(font);
  const SIZE base = vxwin::DialogBaseUnits(measureFont.Handle());
  const SIZE promptSize = vxwin::TextExtent(measureFont.Handle(), prompt);
  const int promptWidth = MulDiv(promptSize.cx, 4, base.cx) + 2;
  const int width = std::max(180, promptWidth + 16);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  vxwin::TDialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0,
                                RECT{0, 0, width, 63}, caption,
                                vxwin::TDialogFont{kFontName, static_cast<WORD>(MulDiv(kFontHeight, 72, dpi)),
                                                   SHIFTJIS_CHARSET});
  dialog.AddControl(vxwin::TDialogClass::Static, prompt, WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                    RECT{8, 8, width - 8, 18}, kPromptId);
  dialog.AddControl(vxwin::TDialogClass::Edit, std::string(), WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                    WS_EX_CLIENTEDGE, RECT{8, 19, width - 8, 31}, kEditId);
  const int middle = width / 2;
  dialog.AddControl(vxwin::TDialogClass::Button, "OK", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0,
                    RECT{middle - 54, 41, middle - 4, 55}, IDOK);
  dialog.AddControl(vxwin::TDialogClass::Button, "キャンセル", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0,
                    RECT{middle + 4, 41, middle + 54, 55}, IDCANCEL);

  TInput input{lpValue, nSize};
  const INT_PTR answer =
      DialogBoxIndirectParamA(vxwin::ViewModule(), dialog.Data(), hWndOwner, &InputProc, reinterpret_cast<LPARAM>(&input));
  return answer == IDOK;
}
