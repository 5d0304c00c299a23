// A form: a top-level window with its controls, its modal loop and the way
// the user-interface framework runs event handlers. A view renders the form
// and delivers what the user does through the User* operations; each runs
// like a handler called from the message loop, so an error escaping it is
// shown in an error box with its message and the loop goes on.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archives/Component.h"
#include "forms/Controls.h"
#include "platform/win32api.h"

namespace vx {

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TPosition { poDesigned, poScreenCenter };

// Shown for an error that carries no message of its own.
extern const char kUnexpectedErrorMessage[];

// Modal results; the same numbers as the message box answers.
constexpr int mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO;

// <windows.h> defines both as macros with the same values.
#ifndef DEFAULT_CHARSET
constexpr int DEFAULT_CHARSET = 1;
#endif
#ifndef SHIFTJIS_CHARSET
constexpr int SHIFTJIS_CHARSET = 128;
#endif

struct TFont {
  std::string Name;
  int Height = 0;  // character height in pixels
  int Charset = DEFAULT_CHARSET;
};

class TForm : public TComponent {
 public:
  explicit TForm(TComponent* Owner);
  ~TForm() override;

  std::string ClassName() const override { return "TForm"; }

  std::string Caption;
  TBorderStyle BorderStyle = bsSizeable;
  TPosition Position = poDesigned;
  int Left = 0, Top = 0;
  int ClientWidth = 0, ClientHeight = 0;
  TFont Font;

  HWND Handle() const { return FHandle; }
  bool Visible() const { return FVisible; }
  // Both take effect on screen at once, not at the view's next update.
  void Show();
  void Hide();

  int ModalResult() const { return FModalResult; }
  // A non-zero result ends the modal loop.
  void SetModalResult(int Value);
  // Shows the form and runs its modal loop; the result that ended it.
  int ShowModal();
  // The modal result Cancel for a modal form; a form shown otherwise is hidden.
  void Close();

  // Every control, in creation order.
  const std::vector<TControl*>& Controls() const { return FControlList; }
  TControl* FindControl(const std::string& Name) const;

  // --- what a view delivers; false when the control cannot take it ---------
  bool UserClick(TControl* Control);
  bool UserEnterText(TEdit* Edit, const std::string& Text);
  // Selects exactly these items (0-based); the first becomes the current one.
  bool UserSelect(TListBox* List, const std::vector<int>& Indices);
  bool UserKeyDown(TListBox* List, WORD Key, TShiftState Shift);
  bool UserDblClick(TListBox* List, int Index);
  // The window's close box.
  void UserClose();

  // Runs a handler as the message loop does: an escaping error is shown in
  // an error box with its message.
  void HandleEvent(const std::function<void()>& Handler);

 protected:
  template <typename T>
  T* Make(TControl* Parent, const std::string& Name) {
    auto control = std::make_unique<T>(this, Parent, Name);
    T* raw = control.get();
    FControlList.push_back(raw);
    FControls.push_back(std::move(control));
    return raw;
  }
  // Window messages of the form's window (WM_DROPFILES and the like).
  virtual LRESULT WndProc(UINT Msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  bool FVisible = false;
  bool FModal = false;
  int FModalResult = mrNone;
  std::vector<std::unique_ptr<TControl>> FControls;
  std::vector<TControl*> FControlList;
};

}  // namespace vx
