#include "forms/Forms.h"

#include <exception>

#include "forms/Dialogs.h"

namespace vx {

namespace {

const char kWindowClass[] = "TVxForm";

void RegisterFormClass(WNDPROC Proc) {
  static bool registered = false;
  if (registered) return;
  // A class left behind by an earlier copy of this module (unloaded and
  // loaded again in the same process) points at a procedure that is gone:
  // replace it.
  UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  registered = RegisterClassA(&wc) != 0;
}

}  // namespace

TForm::TForm(TComponent* Owner) : TComponent(Owner) {
  RegisterFormClass(&WindowProc);
  FHandle = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (FHandle != nullptr) SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TForm::~TForm() {
  if (FHandle != nullptr) {
    DragAcceptFiles(FHandle, FALSE);
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

LRESULT CALLBACK TForm::WindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcA(hWnd, Msg, wParam, lParam);
  LRESULT result = 0;
  form->HandleEvent([&] { result = form->WndProc(Msg, wParam, lParam); });
  return result;
}

LRESULT TForm::WndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(FHandle, Msg, wParam, lParam);
}

void TForm::SetModalResult(int Value) {
  FModalResult = Value;
  if (FModal && Value != mrNone) VxEndModal(FHandle, Value);
}

int TForm::ShowModal() {
  FModalResult = mrNone;
  FVisible = true;
  FModal = true;
  struct TModalExit {
    TForm* Form;
    ~TModalExit() {
      Form->FModal = false;
      Form->FVisible = false;
    }
  } exit{this};
  VxShowModal(FHandle);
  // A loop given up without a result was closed by the user.
  if (FModalResult == mrNone) FModalResult = mrCancel;
  return FModalResult;
}

void TForm::Show() {
  FVisible = true;
  VxShowFormState(FHandle);
}

void TForm::Hide() {
  FVisible = false;
  VxShowFormState(FHandle);
}

void TForm::Close() {
  if (FModal)
    SetModalResult(mrCancel);
  else
    Hide();
}

TControl* TForm::FindControl(const std::string& Name) const {
  for (TControl* c : FControlList)
    if (c->Name == Name) return c;
  return nullptr;
}

const char kUnexpectedErrorMessage[] = "予期しないエラーが発生しました。";

void TForm::HandleEvent(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& e) {
    MessageDlg(FHandle, e.what(), mtError, {mbOK});
  } catch (...) {
    // Something that is no error object has no message of its own.
    MessageDlg(FHandle, kUnexpectedErrorMessage, mtError, {mbOK});
  }
}

bool TForm::UserClick(TControl* Control) {
  if (Control == nullptr || Control->Form != this || !Control->Usable()) return false;
  HandleEvent([Control] { Control->UserClick(); });
  return true;
}

bool TForm::UserEnterText(TEdit* Edit, const std::string& Text) {
  if (Edit == nullptr || Edit->Form != this || !Edit->Usable()) return false;
  Edit->Text = Text;
  return true;
}

bool TForm::UserSelect(TListBox* List, const std::vector<int>& Indices) {
  if (List == nullptr || List->Form != this || !List->Usable()) return false;
  for (int i : Indices)
    if (i < 0 || i >= List->Count()) return false;
  if (!List->MultiSelect && Indices.size() > 1) return false;
  for (int i = 0; i < List->Count(); ++i) List->SetSelected(i, false);
  for (int i : Indices) List->SetSelected(i, true);
  if (!Indices.empty()) List->SetItemIndex(Indices.front());
  return true;
}

bool TForm::UserKeyDown(TListBox* List, WORD Key, TShiftState Shift) {
  if (List == nullptr || List->Form != this || !List->Usable()) return false;
  HandleEvent([List, Key, Shift] {
    WORD key = Key;
    if (List->OnKeyDown) List->OnKeyDown(List, key, Shift);
  });
  return true;
}

bool TForm::UserDblClick(TListBox* List, int Index) {
  if (List == nullptr || List->Form != this || !List->Usable() || Index < 0 || Index >= List->Count())
    return false;
  // The first click of the two selects the item and makes it current.
  for (int i = 0; i < List->Count(); ++i) List->SetSelected(i, i == Index);
  List->SetItemIndex(Index);
  HandleEvent([List] {
    if (List->OnDblClick) List->OnDblClick(List);
  });
  return true;
}

void TForm::UserClose() {
  HandleEvent([this] { Close(); });
}

}  // namespace vx
