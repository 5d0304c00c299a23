// VxShowModal, VxEndModal and VxShowFormState on Windows: a form window's
// modal loop runs in its Win32 view, which shows the form's state.
#include "platform/win32/FormView.h"
#include "platform/win32api.h"

extern "C" INT_PTR WINAPI VxShowModal(HWND hWnd) {
  auto* form = reinterpret_cast<vx::TForm*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (form == nullptr || form->Handle() != hWnd) return IDCANCEL;
  // A form shown from a handler: the forms below show what it changed.
  vxwin::TFormView::SyncAll();
  vxwin::TFormView view(*form);
  return view.RunModal();
}

extern "C" void WINAPI VxEndModal(HWND hWnd, INT_PTR nResult) {
  if (vxwin::TFormView* view = vxwin::TFormView::Find(hWnd)) view->EndModal(nResult);
}

extern "C" void WINAPI VxShowFormState(HWND hWnd) {
  if (vxwin::TFormView* view = vxwin::TFormView::Find(hWnd)) view->Sync();
}
