// The state of a dialog's controls as the user-interface framework keeps it:
// text, checked state, enabled state, list items and selection, hints,
// positions, sizes and tab order, with the framework's click rules. A view
// shows this state and delivers the user's actions through the form
// (Forms.h); nothing here draws.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archives/Persistent.h"
#include "platform/win32api.h"

namespace vx {

class TForm;

// Modifier keys held with a key.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

enum class TControlKind { Label, Button, CheckBox, RadioButton, GroupBox, Edit, ListBox, Memo };

class TControl : public TObject {
 public:
  TControl(TForm* Form, TControl* Parent, TControlKind Kind, std::string Name);

  TForm* const Form;
  TControl* const Parent;  // the group holding it, or null for the form
  const TControlKind Kind;
  const std::string Name;

  std::string Caption;
  int Left = 0, Top = 0, Width = 0, Height = 0;  // within the parent's client area
  int TabOrder = -1;                             // -1: not a tab stop
  bool Enabled = true;
  bool Visible = true;
  std::string Hint;
  bool ShowHint = false;
  TNotifyEvent OnClick;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // Enabled and visible, and so is every group around it.
  bool Usable() const;
  // The framework's click: runs OnClick.
  virtual void Click();
  // What a click of the user does to this kind of control.
  virtual void UserClick() { Click(); }
};

class TLabel : public TControl {
 public:
  TLabel(TForm* Form, TControl* Parent, std::string Name);
  TControl* FocusControl = nullptr;  // focused by the caption's access key
};

class TButton : public TControl {
 public:
  TButton(TForm* Form, TControl* Parent, std::string Name);
  int ModalResult = 0;  // given to the form when clicked
  bool Default = false;
  // The form takes the button's modal result, then OnClick runs.
  void Click() override;
};

// A button with an image above its caption.
class TBitBtn : public TButton {
 public:
  TBitBtn(TForm* Form, TControl* Parent, std::string Name);
  std::string Glyph;          // the image's name
  std::string DisabledGlyph;  // shown while disabled
};

// A check box runs its click handler whenever its state changes, whoever
// changed it.
class TCheckBox : public TControl {
 public:
  TCheckBox(TForm* Form, TControl* Parent, std::string Name);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  void UserClick() override { SetChecked(!FChecked); }

 private:
  bool FChecked = false;
};

// A radio button runs its click handler when it becomes checked, and then
// unchecks the other radio buttons of its group (which runs nothing).
class TRadioButton : public TControl {
 public:
  TRadioButton(TForm* Form, TControl* Parent, std::string Name);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  void UserClick() override { SetChecked(true); }

 private:
  bool FChecked = false;
};

class TGroupBox : public TControl {
 public:
  TGroupBox(TForm* Form, TControl* Parent, std::string Name);
};

class TEdit : public TControl {
 public:
  TEdit(TForm* Form, TControl* Parent, std::string Name);
  std::string Text;
};

class TListBox : public TControl {
 public:
  TListBox(TForm* Form, TControl* Parent, std::string Name);

  bool MultiSelect = false;
  int ItemHeight = 13;
  TKeyEvent OnKeyDown;
  TNotifyEvent OnDblClick;

  const std::vector<std::string>& Items() const { return FItems; }
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Item(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }
  void SetItem(int Index, const std::string& Value) { FItems.at(static_cast<std::size_t>(Index)) = Value; }
  void Add(const std::string& Item);
  void Delete(int Index);
  void Clear();
  bool Selected(int Index) const { return FSelected.at(static_cast<std::size_t>(Index)); }
  void SetSelected(int Index, bool Value);
  // The current (focused) item, -1 when there is none.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Index);

 private:
  std::vector<std::string> FItems;
  std::vector<bool> FSelected;
  int FItemIndex = -1;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TControl {
 public:
  TMemo(TForm* Form, TControl* Parent, std::string Name);
  std::string Text;  // lines joined by CR LF
  bool ReadOnly = false;
  TScrollStyle ScrollBars = ssNone;
  std::string Color = "clWindow";
};

}  // namespace vx
